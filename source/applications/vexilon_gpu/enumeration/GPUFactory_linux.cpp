#include "enumeration/GPUFactory.h"

#include "enumeration/GPUFactoryLinux.h"

GPUFactory& GPUFactory::SystemFactory()
{
    static GPUFactoryLinux factory;
    return factory;
}
