#include "probe/FaultGate.h"

#include "probe/FaultRecordFile.h"
#include "report/Tester.h"

namespace {

const std::size_t kOCLVersionField = 13;

} // namespace

FaultGate::FaultGate(bool testerMode, bool retryFaults)
    : testerMode_(testerMode), memory_(FaultRecordFile::DefaultPath(), retryFaults)
{
}

std::string FaultGate::SkipOpenCL()
{
    return memory_.Skip(FaultMemory::OpenCL(testerMode_));
}

void FaultGate::DeviceSaid(std::size_t gpu, const std::string& mark)
{
    // Two GPUs of one model are told apart by their places in the list.
    deviceGPU_ = gpu;
    device_ = mark;
    placeChanged_ = true;
}

bool FaultGate::SkipHere(const ProbePosition& at, bool openCL, std::string& why)
{
    FaultMemory::Piece piece;
    const bool announced = placeChanged_;
    placeChanged_ = false;
    // A GPU's block is known by what the probe says about the GPU.
    const bool inBlock = !at.atDevice && !at.vulkan && at.known;
    if (!announced || !PieceAt(at, openCL, piece) || (inBlock && deviceGPU_ != at.gpu)) {
        return false;
    }
    why = memory_.Skip(piece);
    skipped_ = !why.empty();
    return skipped_;
}

void FaultGate::Remember(const ProbePosition& at, bool openCL, const std::string& fault)
{
    FaultMemory::Piece piece;
    if (!skipped_ && PieceAt(at, openCL, piece)) {
        memory_.Remember(piece, fault);
    }
}

bool FaultGate::PieceAt(const ProbePosition& at, bool openCL, FaultMemory::Piece& piece) const
{
    // The check looks for its device through the same steps as the report.
    if (at.atDevice) {
        piece = FaultMemory::ListingStep("device " + std::to_string(at.device.index) + " " + at.device.identity);
        return true;
    }
    if (!testerMode_) {
        const std::string& stage = at.legacyStage;
        piece = stage == "opencl" ? FaultMemory::OpenCL(false) : FaultMemory::LegacyOpenGL(at.legacyStep);
        return stage == "gl" || (stage == "opencl" && openCL);
    }
    if (at.vulkan) {
        piece = FaultMemory::VulkanProbe();
        return true;
    }
    if (!at.known) {
        piece = FaultMemory::GPUListing();
        return true;
    }
    if (at.gpu >= at.count) {
        return false;
    }
    const bool inOpenCL = at.field >= kOCLVersionField && at.field < Tester::kFieldCount;
    piece = inOpenCL && openCL ? FaultMemory::OpenCL(true)
                               : FaultMemory::GPUBlock(Tester::FieldName(at.field), deviceGPU_ == at.gpu ? device_ : "");
    return true;
}
