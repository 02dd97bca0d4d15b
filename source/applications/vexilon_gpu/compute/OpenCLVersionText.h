#pragma once

#include <string>

// A platform version text taken apart: "OpenCL 1.1 CUDA 4.2.1" gives the
// OpenCL text "1.1" and the CUDA text "4.2.1".
class OpenCLVersionText {
public:
    explicit OpenCLVersionText(const std::string& platformVersion);

    // The text behind a leading "OpenCL " (the whole text when there is no
    // such prefix).
    static std::string WithoutPrefix(const std::string& platformVersion);

    // Up to " CUDA ", or the whole text without its prefix.
    const std::string& OpenCL() const { return sOpenCL_; }
    bool HasCUDA() const { return bHasCUDA_; }
    // What follows " CUDA "; empty when HasCUDA() is false.
    const std::string& CUDA() const { return sCUDA_; }

private:
    std::string sOpenCL_;
    std::string sCUDA_;
    bool bHasCUDA_;
};
