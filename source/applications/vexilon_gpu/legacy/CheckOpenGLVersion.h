#pragma once

namespace ZEB {
namespace OGL {
class ExtensionManager;
} // namespace OGL
} // namespace ZEB

// The legacy check's version gate: writes "OpenGL Version " and the highest
// of 3.0, 2.0 and 1.5 that the current context reaches, on standard output.
// False (after "(Unsupported GL version)") for a context of 1.0 to 1.4;
// throws ZEB::InternalException (after "(Error determining GL version)") when
// the version fits none of these.
bool CheckOpenGLVersion(ZEB::OGL::ExtensionManager& manager);
