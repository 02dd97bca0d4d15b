#pragma once

#include "zeb/ogl/Context.h"
#include "zeb/ogl/ScopedContextWrapper.h"

#include <boost/shared_ptr.hpp>

// Makes a GPU's context current for the length of a scope and puts back
// whatever context was current before, also when the scope is left by an
// exception.
class ContextScope {
public:
    explicit ContextScope(const ZEB::OGL::Context& context);

private:
    ContextScope(const ContextScope&) = delete;
    ContextScope& operator=(const ContextScope&) = delete;

    boost::shared_ptr<ZEB::OGL::ScopedContextWrapper> spWrapper_;
};
