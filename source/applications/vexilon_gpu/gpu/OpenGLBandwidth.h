#pragma once

#include <cstdint>

namespace ZEB {
namespace OGL {
class Context;
} // namespace OGL
} // namespace ZEB

// Draw rate of an OpenGL context in bytes per nanosecond: 128 full draws of a
// 1024 x 1024 rectangle into a 16-byte-per-texel rectangle texture, timed by
// a GL_TIME_ELAPSED query. 0 when the context has no timer query.
class OpenGLBandwidth {
public:
    static std::uint64_t Measure(const ZEB::OGL::Context& context);

private:
    OpenGLBandwidth() = delete;
};
