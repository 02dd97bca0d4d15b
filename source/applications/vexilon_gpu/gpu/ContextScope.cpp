#include "gpu/ContextScope.h"

ContextScope::ContextScope(const ZEB::OGL::Context& context) : spWrapper_(new ZEB::OGL::ScopedContextWrapper())
{
    context.makeCurrent();
}
