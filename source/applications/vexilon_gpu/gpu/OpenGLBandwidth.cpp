#include "gpu/OpenGLBandwidth.h"

#include "gpu/ContextScope.h"
#include "compute/DeviceRate.h"
#include "compute/MeasurementClock.h"
#include "compute/ProgressSignal.h"

#include "zeb/core/geometry/PositionExtentInPixelSpace.h"
#include "zeb/ogl/Buffer.h"
#include "zeb/ogl/ExtensionManager.h"
#include "zeb/ogl/Framebuffer.h"
#include "zeb/ogl/TextureRECT.h"
#include "zeb/ogl/TextureUnit.h"

#include <stdexcept>

namespace {

const GLenum kTextureRectangle = 0x84F5;
const GLenum kClampToEdge = 0x812F;
const GLenum kTimeElapsed = 0x88BF;
const GLenum kQueryResult = 0x8866;
const int kSide = 1024;
const int kDraws = 128;
// 128 draws x 1024 x 1024 texels x 16 bytes.
const std::uint64_t kBytesDrawn = 0x80000000ull;

// The query object of one measurement.
class TimerQuery {
public:
    explicit TimerQuery(const ZEB::OGL::FunctionTable& table) : table_(table), uQuery_(0)
    {
        table_.glGenQueries(1, &uQuery_);
    }
    ~TimerQuery() { table_.glDeleteQueries(1, &uQuery_); }

    GLuint handle() const { return uQuery_; }

private:
    TimerQuery(const TimerQuery&) = delete;
    TimerQuery& operator=(const TimerQuery&) = delete;

    const ZEB::OGL::FunctionTable& table_;
    GLuint uQuery_;
};

// The matrices the measurement changes, put back when it ends.
class PushedMatrices {
public:
    PushedMatrices()
    {
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, kSide, 0, kSide, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
    }
    ~PushedMatrices()
    {
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
    }

private:
    PushedMatrices(const PushedMatrices&) = delete;
    PushedMatrices& operator=(const PushedMatrices&) = delete;
};

void DrawRectangle(const ZEB::PositionExtentInPixelSpace& rectangle)
{
    const int x = rectangle.x();
    const int y = rectangle.y();
    const int width = rectangle.width();
    const int height = rectangle.height();
    glBegin(GL_QUADS);
    glTexCoord2i(0, 0);
    glVertex2i(x, y);
    glTexCoord2i(0, kSide);
    glVertex2i(x, y + height);
    glTexCoord2i(kSide, kSide);
    glVertex2i(x + width, y + height);
    glTexCoord2i(kSide, 0);
    glVertex2i(x + width, y);
    glEnd();
}

} // namespace

std::uint64_t OpenGLBandwidth::Measure(const ZEB::OGL::Context& context)
{
    const MeasurementClock::Scope timed;
    ProgressSignal::Beat();
    ContextScope scope(context);
    ZEB::OGL::ExtensionManager* manager = ZEB::OGL::ExtensionManager::Instance();
    if (manager == nullptr) {
        throw std::runtime_error("ZEB::OGL::ExtensionManager::Instance() returned NULL");
    }
    if (!manager->isSupported(ZEB::OGL::GL_EXT_TIMER_QUERY)) {
        return 0;
    }
    const ZEB::OGL::FunctionTable& table = manager->table();

    // The texture uploads source this buffer, so both textures start from its bytes.
    ZEB::OGL::Buffer pixels(16777216, ZEB::OGL::Buffer::TYPE_PIXEL_UNPACK, ZEB::OGL::Buffer::USAGE_STREAM_COPY,
                            nullptr);
    pixels.bind();
    ZEB::OGL::TextureRECT destination(ZEB::OGL::Texture::INTERNAL_FORMAT_RGBA32F, kSide, kSide, nullptr);
    ZEB::OGL::TextureRECT source(ZEB::OGL::Texture::INTERNAL_FORMAT_RGBA32F, kSide, kSide, nullptr);

    ZEB::OGL::Framebuffer framebuffer;
    framebuffer.bind();
    framebuffer.attach(destination, 0, 0);
    ZEB::OGL::TextureUnit::Unit(0).bind(source);

    std::uint64_t elapsed = 0;
    {
        PushedMatrices matrices;
        glTexParameteri(kTextureRectangle, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(kTextureRectangle, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(kTextureRectangle, GL_TEXTURE_WRAP_S, kClampToEdge);
        glTexParameteri(kTextureRectangle, GL_TEXTURE_WRAP_T, kClampToEdge);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glViewport(0, 0, kSide, kSide);
        glScissor(0, 0, 0, 0);
        const ZEB::PositionExtentInPixelSpace rectangle(ZEB::PositionInPixelSpace(0, 0),
                                                        ZEB::ExtentInPixelSpace(kSide, kSide));

        TimerQuery query(table);
        glFinish();
        table.glBeginQuery(kTimeElapsed, query.handle());
        for (int i = 0; i < kDraws; ++i) {
            DrawRectangle(rectangle);
            glFlush();
        }
        table.glEndQuery(kTimeElapsed);
        ZEB::OGL::FunctionTable::UInt64 nanoseconds = 0;
        table.glGetQueryObjectui64v(query.handle(), kQueryResult, &nanoseconds);
        elapsed = nanoseconds;
    }
    framebuffer.unbind();
    pixels.unbind();
    return DeviceRate::FromInteger(kBytesDrawn, elapsed);
}
