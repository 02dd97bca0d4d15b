#include "report/LumatropeTester.h"

#include "report/ReportOutput.h"

namespace {

struct IntegerQuery {
    const char* symbol;
    GLenum value;
};

const IntegerQuery kIntegerQueries[] = {
    {"GL_MAX_TEXTURE_UNITS", 0x84E2},
    {"GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS", 0x8B4D},
    {"GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS", 0x8B4C},
    {"GL_MAX_TEXTURE_IMAGE_UNITS", 0x8872},
    {"GL_MAX_DRAW_BUFFERS", 0x8824},
    {"GL_MAX_VERTEX_UNIFORM_COMPONENTS", 0x8B4A},
    {"GL_MAX_FRAGMENT_UNIFORM_COMPONENTS", 0x8B49},
    {"GL_MAX_VARYING_FLOATS", 0x8B4B},
    {"GL_MAX_VERTEX_ATTRIBS", 0x8869},
};

struct ExtensionQuery {
    const char* symbol;
    ZEB::OGL::teExtension extension;
};

const ExtensionQuery kExtensionQueries[] = {
    {"ZEB::OGL::GL_ARB_VERTEX_PROGRAM", ZEB::OGL::GL_ARB_VERTEX_PROGRAM},
    {"ZEB::OGL::GL_ARB_FRAGMENT_PROGRAM", ZEB::OGL::GL_ARB_FRAGMENT_PROGRAM},
    {"ZEB::OGL::GL_ARB_VERTEX_SHADER", ZEB::OGL::GL_ARB_VERTEX_SHADER},
    {"ZEB::OGL::GL_ARB_FRAGMENT_SHADER", ZEB::OGL::GL_ARB_FRAGMENT_SHADER},
    {"ZEB::OGL::GL_EXT_FRAMEBUFFER_OBJECT", ZEB::OGL::GL_EXT_FRAMEBUFFER_OBJECT},
    {"ZEB::OGL::GL_ARB_TEXTURE_RECTANGLE", ZEB::OGL::GL_ARB_TEXTURE_RECTANGLE},
    {"ZEB::OGL::GL_ARB_TEXTURE_FLOAT", ZEB::OGL::GL_ARB_TEXTURE_FLOAT},
    {"ZEB::OGL::GL_ARB_OCCLUSION_QUERY", ZEB::OGL::GL_ARB_OCCLUSION_QUERY},
    {"ZEB::OGL::GL_ARB_VERTEX_BUFFER_OBJECT", ZEB::OGL::GL_ARB_VERTEX_BUFFER_OBJECT},
    {"ZEB::OGL::GL_ARB_SHADER_TEXTURE_LOD", ZEB::OGL::GL_ARB_SHADER_TEXTURE_LOD},
};

} // namespace

void LumatropeTester::Begin()
{
    Step();
    ReportOutput::WriteLine("Tester=\"Lumatrope\"");
    Step();
}

void LumatropeTester::DoRunGPU(GPU& gpu, const std::string& tag)
{
    Tester::DoRunGPU(gpu, tag);

    // These run outside the base handler: a failure here ends the whole report.
    Announce(kFieldCount);
    ReportGLString(gpu, tag, "GL_SHADING_LANGUAGE_VERSION", 0x8B8C);
    Step();
    ReportGLProgramivARB(gpu, tag, "GL_MAX_PROGRAM_INSTRUCTIONS_ARB", 0x88A1, 1);
    Step();
    for (const IntegerQuery& query : kIntegerQueries) {
        ReportGLIntegerv(gpu, tag, query.symbol, query.value, 1);
        Step();
    }
    for (const ExtensionQuery& query : kExtensionQueries) {
        ReportExtension(gpu, tag, query.symbol, query.extension);
        Step();
    }
}
