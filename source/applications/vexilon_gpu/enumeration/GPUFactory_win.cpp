#include "gpu/GPUFactory.h"

#include "gpu/GPUFactoryWin.h"

GPUFactory& GPUFactory::SystemFactory()
{
    static GPUFactoryWin factory;
    return factory;
}
