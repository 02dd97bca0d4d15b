#pragma once

#include "compute/OpenCLVersionText.h"

#include <cstdint>
#include <string>

// Keeps the version texts of the fastest OpenCL device seen so far. Only a
// strictly greater rate wins, so the first of equals keeps its texts, and a
// device that measured nothing (rate 0) never wins.
class BestOpenCLDevice {
public:
    BestOpenCLDevice() : uRate_(0), bFound_(false) {}

    void Offer(std::uint64_t rate, const OpenCLVersionText& version);

    bool Found() const { return bFound_; }
    std::uint64_t Rate() const { return uRate_; }
    std::string& OpenCL() { return sOpenCL_; }
    // The CUDA text of the best device that had one: a later, faster device
    // without a CUDA text keeps it.
    std::string& CUDA() { return sCUDA_; }

private:
    std::uint64_t uRate_;
    bool bFound_;
    std::string sOpenCL_;
    std::string sCUDA_;
};
