#include "legacy/LegacyCompileTest.h"

#include "gpu/GLSLTestProgram.h"
#include "legacy/CompileGuard.h"

#include "zeb/ogl/Program.h"

namespace {

void CompileTestProgram()
{
    ZEB::OGL::Program program;
    program.loadVertexShader(GLSLTestProgram::kVertexCount, GLSLTestProgram::VertexSource(), nullptr);
    program.loadFragmentShader(GLSLTestProgram::kFragmentCount, GLSLTestProgram::FragmentSource(), nullptr);
    program.link(true);
}

} // namespace

void LegacyCompileTest() { CompileGuard::Run(&CompileTestProgram); }
