#pragma once

#include "probe/FaultMemory.h"
#include "probe/ProbePosition.h"

#include <cstddef>
#include <string>

// The fault record's questions about a watched probe's work: which piece of
// work the probe is at, whether an earlier run's fault there is reason to
// skip it, and remembering a fault of this run.
class FaultGate {
public:
    // Work that faulted in an earlier run with the same driver is skipped,
    // unless `retryFaults`.
    FaultGate(bool testerMode, bool retryFaults);

    // Why the OpenCL work, which faulted with this driver before in either
    // mode, is left out from the start; empty when it is not.
    std::string SkipOpenCL();
    // The probe said this about GPU `gpu` ("gpu <index> pci ...").
    void DeviceSaid(std::size_t gpu, const std::string& mark);
    // The probe has announced a new place.
    void PlaceChanged() { placeChanged_ = true; }
    // True, with why, when the place the probe has just announced faulted
    // with this driver before; the probe is then ended as if it faulted.
    bool SkipHere(const ProbePosition& at, bool openCL, std::string& why);
    // The probe was ended for a fault of an earlier run.
    bool Skipped() const { return skipped_; }
    // A fault of this run at `at`: remembered, unless it was a skip.
    void Remember(const ProbePosition& at, bool openCL, const std::string& fault);
    // The next probe starts.
    void NextProbe() { skipped_ = false; }

private:
    // The piece of work at `at`, as the fault record names it; false for none.
    bool PieceAt(const ProbePosition& at, bool openCL, FaultMemory::Piece& piece) const;

    bool testerMode_;
    FaultMemory memory_;
    bool placeChanged_ = false;
    bool skipped_ = false;
    std::size_t deviceGPU_ = static_cast<std::size_t>(-1);
    std::string device_;  // what the probe said about the GPU `deviceGPU_`
};
