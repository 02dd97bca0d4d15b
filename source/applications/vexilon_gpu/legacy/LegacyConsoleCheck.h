#pragma once

// The default, human-readable check of the primary display device. Returns
// the verdict (1: OpenGL usable, 3: OpenGL and OpenCL usable); every failing
// path ends the process itself with exit status 0.
// With `resumeAfterOpenCL`, only the last step and the verdict of a check
// without OpenCL; with `resumeAtContext`, the check without its controller
// lines, which were written already (see LegacyCheck).
int LegacyConsoleCheck(int argc, char** argv, bool resumeAfterOpenCL = false, bool resumeAtContext = false);
