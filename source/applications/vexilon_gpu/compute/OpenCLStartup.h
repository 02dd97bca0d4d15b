#pragma once

// Starts the system's OpenCL runtime once, when one is there.
class OpenCLStartup {
public:
    // Initialises the runtime if it is not yet and can be loaded; a runtime
    // that fails to start counts as none. True when OpenCL is usable.
    static bool Start();

    // From now on this process has no OpenCL: Start is false and loads nothing.
    static void Disable();

private:
    OpenCLStartup() = delete;
};
