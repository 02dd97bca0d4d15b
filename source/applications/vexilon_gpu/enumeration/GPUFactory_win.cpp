#include "enumeration/GPUFactory.h"

#include "enumeration/GPUFactoryWin.h"

GPUFactory& GPUFactory::SystemFactory()
{
    static GPUFactoryWin factory;
    return factory;
}
