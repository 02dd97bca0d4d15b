#pragma once

// The GLSL test program of the compile test: compositing stages
// in two constant arrays of source strings, handed to the framework as they
// stand (the count of entries, the strings, no lengths). No entry carries a
// line break; joined in order with nothing between they form a GLSL source
// without a version line. Fragment entry 5 ends in a blank and entry 44 holds
// two statements; the counts stay 13 and 76.
class GLSLTestProgram {
public:
    static const int kVertexCount = 13;
    static const int kFragmentCount = 76;
    static const char* const* VertexSource();
    static const char* const* FragmentSource();

private:
    GLSLTestProgram() = delete;
};
