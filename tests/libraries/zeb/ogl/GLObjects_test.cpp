#include "OglTestSupport.h"

#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ogl/Buffer.h"
#include "zeb/ogl/ExtensionManager.h"
#include "zeb/ogl/Framebuffer.h"
#include "zeb/ogl/Texture2D.h"
#include "zeb/ogl/TextureRECT.h"
#include "zeb/ogl/TextureUnit.h"

#include <cstdint>
#include <vector>

using namespace ZEB::OGL;

namespace {

const GLenum kTextureRectangle = 0x84F5;
const GLenum kTextureInternalFormat = 0x1003;
const GLenum kRGBA8 = 0x8058;
const GLenum kRGBA32F = 0x8814;
const GLenum kFramebuffer = 0x8D40;
const GLenum kFramebufferComplete = 0x8CD5;
const GLenum kTimeElapsed = 0x88BF;
const GLenum kQueryResult = 0x8866;
const GLenum kClampToEdge = 0x812F;

class GLObjectsTest : public ogltest::CurrentContextTest {
protected:
    const FunctionTable& table() { return ExtensionManager::Instance()->table(); }

    GLint LevelParameter(GLenum target, GLenum name)
    {
        GLint value = 0;
        glGetTexLevelParameteriv(target, 0, name, &value);
        return value;
    }
};

} // namespace

TEST_F(GLObjectsTest, AFramebufferWithASmallFormat26TextureBindsAndClears)
{
    Texture2D texture(Texture::InternalFormat(26), 32, 32, false, nullptr);
    Framebuffer framebuffer;
    framebuffer.bind();
    framebuffer.attach(texture, 0, 0);
    EXPECT_EQ(kFramebufferComplete, table().glCheckFramebufferStatus(kFramebuffer));

    glClearColor(255.0f, 255.0f, 255.0f, 255.0f);  // as the framebuffer test does: clamped to white
    glClear(GL_COLOR_BUFFER_BIT);
    std::vector<GLubyte> texels(32 * 32 * 4, 0);
    glReadPixels(0, 0, 32, 32, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    framebuffer.unbind();
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
    EXPECT_EQ(std::vector<GLubyte>(texels.size(), 255), texels);

    glBindTexture(GL_TEXTURE_2D, texture.handle());
    EXPECT_EQ(GLint(kRGBA8), LevelParameter(GL_TEXTURE_2D, kTextureInternalFormat));
    EXPECT_EQ(32, LevelParameter(GL_TEXTURE_2D, GL_TEXTURE_WIDTH));
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(GLObjectsTest, Format38TakesSixteenBytesPerTexel)
{
    TextureRECT texture(Texture::InternalFormat(38), 8, 4, nullptr);
    EXPECT_EQ(kTextureRectangle, texture.target());
    glBindTexture(kTextureRectangle, texture.handle());
    EXPECT_EQ(GLint(kRGBA32F), LevelParameter(kTextureRectangle, kTextureInternalFormat));
    const GLint bits = LevelParameter(kTextureRectangle, GL_TEXTURE_RED_SIZE) +
                       LevelParameter(kTextureRectangle, GL_TEXTURE_GREEN_SIZE) +
                       LevelParameter(kTextureRectangle, GL_TEXTURE_BLUE_SIZE) +
                       LevelParameter(kTextureRectangle, GL_TEXTURE_ALPHA_SIZE);
    EXPECT_EQ(16 * 8, bits);
    glBindTexture(kTextureRectangle, 0);
}

TEST_F(GLObjectsTest, ATextureMadeWhileAType0BufferIsBoundTakesItsTexelsFromTheBuffer)
{
    std::vector<float> source(4 * 4 * 4);
    for (std::size_t i = 0; i < source.size(); ++i) {
        source[i] = static_cast<float>(i) * 0.25f;
    }
    Buffer buffer(source.size() * sizeof(float), Buffer::Type(0), Buffer::Usage(3), source.data());
    buffer.bind();
    TextureRECT texture(Texture::InternalFormat(38), 4, 4, nullptr);
    buffer.unbind();

    std::vector<float> read(source.size(), -1.0f);
    glBindTexture(kTextureRectangle, texture.handle());
    glGetTexImage(kTextureRectangle, 0, GL_RGBA, GL_FLOAT, read.data());
    glBindTexture(kTextureRectangle, 0);
    EXPECT_EQ(source, read);
}

TEST_F(GLObjectsTest, CreationFailuresThrowAndLeaveNoErrorPending)
{
    EXPECT_THROW(Texture2D(Texture::InternalFormat(26), -1, 32, false, nullptr), ZEB::RuntimeException);
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());

    // A texture that reads past the end of the bound unpack buffer.
    Buffer small(16, Buffer::Type(0), Buffer::Usage(3), nullptr);
    small.bind();
    EXPECT_THROW(TextureRECT(Texture::InternalFormat(38), 64, 64, nullptr), ZEB::RuntimeException);
    small.unbind();
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

TEST(GLObjectsWithoutContext, ThrowAFrameworkException)
{
    ScopedContextWrapper scope;
    ogltest::ReleaseCurrent();
    EXPECT_THROW(Texture2D(Texture::InternalFormat(26), 32, 32, false, nullptr), ZEB::RuntimeException);
    EXPECT_THROW(Framebuffer(), ZEB::RuntimeException);
    EXPECT_THROW(Buffer(16, Buffer::Type(0), Buffer::Usage(3), nullptr), ZEB::RuntimeException);
}

// The OpenGL bandwidth measurement of the OpenCL probe, with fewer draws.
TEST_F(GLObjectsTest, ATimeElapsedQueryAroundRectangleDrawsMeasuresTime)
{
    ASSERT_TRUE(ExtensionManager::Instance()->isSupported(GL_EXT_TIMER_QUERY));
    const FunctionTable& gl = table();

    Buffer buffer(16777216, Buffer::Type(0), Buffer::Usage(3), nullptr);
    buffer.bind();
    TextureRECT destination(Texture::InternalFormat(38), 1024, 1024, nullptr);
    TextureRECT source(Texture::InternalFormat(38), 1024, 1024, nullptr);
    ASSERT_EQ(GLenum(GL_NO_ERROR), glGetError());

    Framebuffer framebuffer;
    framebuffer.bind();
    framebuffer.attach(destination, 0, 0);
    TextureUnit::Unit(0).bind(source);
    EXPECT_EQ(kFramebufferComplete, gl.glCheckFramebufferStatus(kFramebuffer));

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1024, 0, 1024, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTexParameteri(kTextureRectangle, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(kTextureRectangle, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(kTextureRectangle, GL_TEXTURE_WRAP_S, kClampToEdge);
    glTexParameteri(kTextureRectangle, GL_TEXTURE_WRAP_T, kClampToEdge);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glViewport(0, 0, 1024, 1024);
    glScissor(0, 0, 0, 0);

    GLuint query = 0;
    gl.glGenQueries(1, &query);
    glFinish();
    gl.glBeginQuery(kTimeElapsed, query);
    for (int i = 0; i < 16; ++i) {
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex2f(0, 0);
        glTexCoord2f(0, 1024);
        glVertex2f(0, 1024);
        glTexCoord2f(1024, 1024);
        glVertex2f(1024, 1024);
        glTexCoord2f(1024, 0);
        glVertex2f(1024, 0);
        glEnd();
        glFlush();
    }
    gl.glEndQuery(kTimeElapsed);
    FunctionTable::UInt64 elapsed = 0;
    gl.glGetQueryObjectui64v(query, kQueryResult, &elapsed);
    gl.glDeleteQueries(1, &query);
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
    EXPECT_GT(elapsed, 0u);

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    framebuffer.unbind();
    glDisable(kTextureRectangle);
}
