#include "gpu/GPUFactory.h"

#include "gpu/GPUFactoryLinux.h"

GPUFactory& GPUFactory::SystemFactory()
{
    static GPUFactoryLinux factory;
    return factory;
}
