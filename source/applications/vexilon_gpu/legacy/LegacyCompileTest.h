#pragma once

// Compiles and links the GLSL test program on the current context (the legacy
// check's own), under the guards of CompileGuard. Returns only when it passed.
void LegacyCompileTest();
