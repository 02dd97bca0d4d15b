#include "OglTestSupport.h"

#include "GlxInfo.h"

#include "zeb/ogl/ExtensionManager.h"

#include <gmock/gmock.h>

#include <utility>

using ZEB::OGL::ExtensionManager;
using ZEB::OGL::teExtension;

namespace {

std::pair<unsigned, unsigned> Parsed(const char* text)
{
    std::pair<unsigned, unsigned> version(99, 99);
    ExtensionManager::parseVersion(text, version.first, version.second);
    return version;
}

typedef std::pair<unsigned, unsigned> V;

const struct {
    teExtension id;
    const char* name;
} kNamedExtensions[] = {
    {ZEB::OGL::GL_ARB_FRAGMENT_PROGRAM, "GL_ARB_fragment_program"},
    {ZEB::OGL::GL_ARB_FRAGMENT_SHADER, "GL_ARB_fragment_shader"},
    {ZEB::OGL::GL_ARB_OCCLUSION_QUERY, "GL_ARB_occlusion_query"},
    {ZEB::OGL::GL_ARB_SHADER_OBJECTS, "GL_ARB_shader_objects"},
    {ZEB::OGL::GL_ARB_SHADER_TEXTURE_LOD, "GL_ARB_shader_texture_lod"},
    {ZEB::OGL::GL_ARB_SHADING_LANGUAGE_100, "GL_ARB_shading_language_100"},
    {ZEB::OGL::GL_ARB_TEXTURE_FLOAT, "GL_ARB_texture_float"},
    {ZEB::OGL::GL_ARB_TEXTURE_NON_POWER_OF_TWO, "GL_ARB_texture_non_power_of_two"},
    {ZEB::OGL::GL_ARB_TEXTURE_RECTANGLE, "GL_ARB_texture_rectangle"},
    {ZEB::OGL::GL_ARB_VERTEX_BUFFER_OBJECT, "GL_ARB_vertex_buffer_object"},
    {ZEB::OGL::GL_ARB_VERTEX_PROGRAM, "GL_ARB_vertex_program"},
    {ZEB::OGL::GL_ARB_VERTEX_SHADER, "GL_ARB_vertex_shader"},
    {ZEB::OGL::GL_EXT_FRAMEBUFFER_OBJECT, "GL_EXT_framebuffer_object"},
};

const struct {
    teExtension id;
    unsigned major;
    unsigned minor;
} kVersions[] = {
    {ZEB::OGL::GL_VERSION_1_2, 1, 2}, {ZEB::OGL::GL_VERSION_1_3, 1, 3}, {ZEB::OGL::GL_VERSION_1_4, 1, 4},
    {ZEB::OGL::GL_VERSION_1_5, 1, 5}, {ZEB::OGL::GL_VERSION_2_0, 2, 0}, {ZEB::OGL::GL_VERSION_2_1, 2, 1},
    {ZEB::OGL::GL_VERSION_3_0, 3, 0},
};

} // namespace

TEST(ExtensionManagerParseVersion, ReadsMajorAndMinorFromTheFront)
{
    EXPECT_EQ(V(4, 5), Parsed("4.5 (Compatibility Profile) Mesa 22.3.6"));
    EXPECT_EQ(V(2, 1), Parsed("2.1.2 NVIDIA 340.108"));
    EXPECT_EQ(V(1, 1), Parsed("1.1"));
    EXPECT_EQ(V(10, 12), Parsed("10.12"));
    EXPECT_EQ(V(3, 3), Parsed("  3.3"));
}

TEST(ExtensionManagerParseVersion, GivesZeroForTextsWithoutAVersionInFront)
{
    EXPECT_EQ(V(0, 0), Parsed(nullptr));
    EXPECT_EQ(V(0, 0), Parsed(""));
    EXPECT_EQ(V(0, 0), Parsed("OpenGL ES 3.2 Mesa 22.3.6"));
    EXPECT_EQ(V(0, 0), Parsed("4"));
    EXPECT_EQ(V(0, 0), Parsed("4."));
    EXPECT_EQ(V(0, 0), Parsed(".5"));
    EXPECT_EQ(V(0, 0), Parsed("4,5"));
    EXPECT_EQ(V(0, 0), Parsed("99999999999.1"));
}

TEST(ExtensionManagerTexts, VersionIdentifiersAreSupportedUpToTheContextsVersion)
{
    const ExtensionManager v21("2.1 Mesa 7.10", "");
    EXPECT_EQ(2u, v21.majorVersion());
    EXPECT_EQ(1u, v21.minorVersion());
    EXPECT_TRUE(v21.isSupported(ZEB::OGL::GL_VERSION_1_2));
    EXPECT_TRUE(v21.isSupported(ZEB::OGL::GL_VERSION_2_1));
    EXPECT_FALSE(v21.isSupported(ZEB::OGL::GL_VERSION_3_0));

    const ExtensionManager v46("4.6.0 NVIDIA 535.54", "");
    EXPECT_TRUE(v46.isSupported(ZEB::OGL::GL_VERSION_3_0));
    EXPECT_TRUE(v46.isSupported(ZEB::OGL::GL_VERSION_1_5));  // a later major version covers higher minors

    const ExtensionManager v11("1.1.0", "");
    const ExtensionManager none(nullptr, nullptr);
    for (const auto& version : kVersions) {
        EXPECT_FALSE(v11.isSupported(version.id)) << version.id;
        EXPECT_FALSE(none.isSupported(version.id)) << version.id;
    }
}

TEST(ExtensionManagerTexts, ExtensionIdentifiersNeedTheExactNameAdvertised)
{
    const ExtensionManager manager("2.0",
                                   " GL_ARB_texture_rectangle  GL_EXT_framebuffer_object_extra\tGL_ARB_timer_query ");
    EXPECT_TRUE(manager.isSupported(ZEB::OGL::GL_ARB_TEXTURE_RECTANGLE));
    EXPECT_FALSE(manager.isSupported(ZEB::OGL::GL_EXT_FRAMEBUFFER_OBJECT));
    EXPECT_FALSE(manager.isSupported(ZEB::OGL::GL_ARB_TEXTURE_NON_POWER_OF_TWO));
    EXPECT_FALSE(manager.isSupported(static_cast<teExtension>(999)));
    // Advertised, but with no context current there are no entry points to time with.
    EXPECT_FALSE(manager.isSupported(ZEB::OGL::GL_EXT_TIMER_QUERY));
}

TEST(ExtensionManagerInstance, IsNullWithoutACurrentContext)
{
    ZEB::OGL::ScopedContextWrapper scope;
    ogltest::ReleaseCurrent();
    EXPECT_EQ(nullptr, ExtensionManager::Instance());
}

class ExtensionManagerContextTest : public ogltest::CurrentContextTest {
};

TEST_F(ExtensionManagerContextTest, IsCachedPerRenderContext)
{
    ExtensionManager* manager = ExtensionManager::Instance();
    ASSERT_NE(nullptr, manager);
    EXPECT_EQ(manager, ExtensionManager::Instance());

    const std::unique_ptr<ZEB::OGL::ContextOffscreen> other = ogltest::NewContext();
    other->makeCurrent();
    EXPECT_NE(manager, ExtensionManager::Instance());
    context_->makeCurrent();
    EXPECT_EQ(manager, ExtensionManager::Instance());
}

TEST_F(ExtensionManagerContextTest, AnswersAgreeWithTheContextsVersionAndExtensionList)
{
    const ExtensionManager* manager = ExtensionManager::Instance();
    ASSERT_NE(nullptr, manager);

    unsigned major = 0, minor = 0;
    ExtensionManager::parseVersion(ogltest::GLString(GL_VERSION).c_str(), major, minor);
    ASSERT_GT(major, 0u);
    EXPECT_EQ(major, manager->majorVersion());
    EXPECT_EQ(minor, manager->minorVersion());
    for (const auto& version : kVersions) {
        const bool reached = major > version.major || (major == version.major && minor >= version.minor);
        EXPECT_EQ(reached, manager->isSupported(version.id)) << version.id;
    }

    const std::set<std::string> advertised = ogltest::Words(ogltest::GLString(GL_EXTENSIONS));
    ASSERT_FALSE(advertised.empty());
    for (const auto& extension : kNamedExtensions) {
        EXPECT_EQ(advertised.count(extension.name) != 0, manager->isSupported(extension.id)) << extension.name;
    }
}

TEST_F(ExtensionManagerContextTest, TimerQueryIsSupportedWithTheEntryPointsItNeeds)
{
    const ExtensionManager* manager = ExtensionManager::Instance();
    ASSERT_NE(nullptr, manager);
    const std::set<std::string> advertised = ogltest::Words(ogltest::GLString(GL_EXTENSIONS));
    ASSERT_TRUE(advertised.count("GL_ARB_timer_query") || advertised.count("GL_EXT_timer_query"));

    ASSERT_TRUE(manager->isSupported(ZEB::OGL::GL_EXT_TIMER_QUERY));
    const ZEB::OGL::FunctionTable& table = manager->table();
    EXPECT_NE(nullptr, table.glGenQueries);
    EXPECT_NE(nullptr, table.glDeleteQueries);
    EXPECT_NE(nullptr, table.glBeginQuery);
    EXPECT_NE(nullptr, table.glEndQuery);
    EXPECT_NE(nullptr, table.glGetQueryObjectui64v);
}

TEST_F(ExtensionManagerContextTest, TableHoldsTheEntryPointsOfTheGLObjects)
{
    const ZEB::OGL::FunctionTable& table = ExtensionManager::Instance()->table();
    EXPECT_NE(nullptr, table.glGetProgramivARB);
    EXPECT_NE(nullptr, table.glGenFramebuffers);
    EXPECT_NE(nullptr, table.glCheckFramebufferStatus);
    EXPECT_NE(nullptr, table.glCreateShader);
    EXPECT_NE(nullptr, table.glGetProgramInfoLog);
    EXPECT_NE(nullptr, table.glGenBuffers);
    EXPECT_NE(nullptr, table.glBufferData);
    EXPECT_NE(nullptr, table.glActiveTexture);

    // The entries work on this context: GL_MAX_PROGRAM_INSTRUCTIONS_ARB of
    // GL_VERTEX_PROGRAM_ARB, as the report asks it.
    GLint instructions = 0;
    table.glGetProgramivARB(0x8620, 0x88A1, &instructions);
    EXPECT_GT(instructions, 0);
}

TEST(GlxInfoParse, ReadsTheCompatibilityProfileSections)
{
    const testsupport::GlxInfo info = testsupport::GlxInfo::Parse(
        "OpenGL vendor string: Mesa\n"
        "OpenGL renderer string: llvmpipe (LLVM 15.0.6, 256 bits)\n"
        "OpenGL core profile version string: 4.5 (Core Profile) Mesa 22.3.6\n"
        "OpenGL core profile extensions:\n"
        "    GL_ARB_core_only, \n"
        "OpenGL core profile limits:\n"
        "    GL_MAX_TEXTURE_SIZE = 1\n"
        "OpenGL version string: 4.5 (Compatibility Profile) Mesa 22.3.6\r\n"
        "OpenGL shading language version string: 4.50\n"
        "OpenGL extensions:\n"
        "    GL_ARB_one, GL_ARB_two, \n"
        "    GL_EXT_three\n"
        "OpenGL limits:\n"
        "    GL_MAX_TEXTURE_SIZE = 16384\n"
        "  GL_NV_texture_rectangle:\n"
        "    GL_MAX_RECTANGLE_TEXTURE_SIZE_NV = 8192\n"
        "    GL_MAX_VIEWPORT_DIMS = 16384, 16384\n"
        "\n"
        "OpenGL ES profile version string: OpenGL ES 3.2 Mesa 22.3.6\n"
        "OpenGL ES profile extensions:\n"
        "    GL_OES_only\n");
    EXPECT_EQ("Mesa", info.vendor());
    EXPECT_EQ("llvmpipe (LLVM 15.0.6, 256 bits)", info.renderer());
    EXPECT_EQ("4.5 (Compatibility Profile) Mesa 22.3.6", info.version());
    EXPECT_EQ("4.50", info.shadingLanguageVersion());
    EXPECT_EQ((std::set<std::string>{"GL_ARB_one", "GL_ARB_two", "GL_EXT_three"}), info.extensions());
    EXPECT_EQ(16384, info.limit("GL_MAX_TEXTURE_SIZE"));
    EXPECT_EQ(8192, info.limit("GL_MAX_RECTANGLE_TEXTURE_SIZE_NV", "GL_NV_texture_rectangle"));
    EXPECT_EQ(16384, info.limit("GL_MAX_VIEWPORT_DIMS"));
    EXPECT_FALSE(info.hasLimit("GL_MAX_TEXTURE_SIZE", "GL_NV_texture_rectangle"));
}
