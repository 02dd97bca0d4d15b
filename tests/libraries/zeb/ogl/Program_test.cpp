#include "OglTestSupport.h"

#include "gpu/GLSLTestProgram.h"

#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ogl/Program.h"

#include <gmock/gmock.h>

#include <cstring>

using ZEB::OGL::Program;
using ::testing::HasSubstr;

namespace {

class ProgramTest : public ogltest::CurrentContextTest {
};

const char* const kVertexMain[] = {"void main(void){gl_Position = ftransform();}"};
const char* const kWhiteFragment[] = {"void main(void){gl_FragColor = vec4(1.0);}"};

} // namespace

TEST(GLSLTestProgramSource, HasTheExpectedEntries)
{
    const char* const* vertex = GLSLTestProgram::VertexSource();
    const char* const* fragment = GLSLTestProgram::FragmentSource();
    EXPECT_STREQ("void V_Sampler(void){}", vertex[0]);
    EXPECT_STREQ("}", vertex[12]);
    EXPECT_STREQ("uniform float sample_scale; ", fragment[4]);
    EXPECT_STREQ("sum_wt += weight[6];tex_coord = gl_TexCoord[0].st + sample_scale * offset_y[7] * duvdy;",
                 fragment[43]);
    EXPECT_STREQ("}", fragment[75]);
    for (int i = 0; i < GLSLTestProgram::kFragmentCount; ++i) {
        EXPECT_EQ(nullptr, std::strchr(fragment[i], '\n')) << i;
    }
}

TEST_F(ProgramTest, TheGLSLTestProgramCompilesAndLinks)
{
    Program program;
    program.loadVertexShader(GLSLTestProgram::kVertexCount, GLSLTestProgram::VertexSource(), nullptr);
    program.loadFragmentShader(GLSLTestProgram::kFragmentCount, GLSLTestProgram::FragmentSource(), nullptr);
    EXPECT_TRUE(program.link(true));
    EXPECT_NE(0u, program.handle());
}

TEST_F(ProgramTest, EntriesAreJoinedInOrderWithNothingBetweenAndLengthsCutThem)
{
    // Would not compile if a separator were put between "ma" and "in", or if
    // the length did not cut off the junk.
    const char* const vertex[] = {"void ma", "in(void){gl_Position = ftransform();}junk that is cut off"};
    const GLint lengths[] = {-1, static_cast<GLint>(std::strlen("in(void){gl_Position = ftransform();}"))};
    Program program;
    program.loadVertexShader(2, vertex, lengths);
    program.loadFragmentShader(1, kWhiteFragment, nullptr);
    EXPECT_TRUE(program.link(true));
}

TEST_F(ProgramTest, ABrokenShaderThrowsWithTheDriversLog)
{
    const char* const broken[] = {"void main(void){gl_FragColor = undeclared_colour;}"};
    Program program;
    program.loadVertexShader(1, kVertexMain, nullptr);
    try {
        program.loadFragmentShader(1, broken, nullptr);
        FAIL() << "a broken shader compiled";
    } catch (const ZEB::RuntimeException& e) {
        EXPECT_THAT(e.what(), HasSubstr("fragment shader failed to compile"));
        EXPECT_THAT(e.what(), HasSubstr("undeclared_colour"));  // from the driver's info log
    }
}

TEST_F(ProgramTest, AFailedLinkThrowsWithTheLogOrReturnsFalse)
{
    // Compiles, but the program has no fragment main.
    const char* const noMain[] = {"vec4 colour(void){return vec4(1.0);}"};
    Program program;
    program.loadVertexShader(1, kVertexMain, nullptr);
    program.loadFragmentShader(1, noMain, nullptr);
    EXPECT_FALSE(program.link(false));
    try {
        program.link(true);
        FAIL() << "a program without a fragment main linked";
    } catch (const ZEB::RuntimeException& e) {
        EXPECT_THAT(e.what(), HasSubstr("failed to link: "));
        EXPECT_THAT(e.what(), HasSubstr("main"));
    }
}

TEST(ProgramWithoutContext, ThrowsAFrameworkException)
{
    ZEB::OGL::ScopedContextWrapper scope;
    ogltest::ReleaseCurrent();
    EXPECT_THROW(Program(), ZEB::RuntimeException);
}
