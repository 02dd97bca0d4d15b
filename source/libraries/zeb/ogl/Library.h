#pragma once

namespace ZEB {
namespace OGL {

// Set-up of the OpenGL layer (on Windows, the window class behind offscreen
// contexts; EGL needs none).
// initialize may be called again while initialised; it then does nothing.
class Library {
public:
    struct InitOptions {
        InitOptions() {}
    };

    static void initialize(const InitOptions& options);
    static void terminate();
    static bool isInitialized();

private:
    Library() = delete;
};

} // namespace OGL
} // namespace ZEB
