#include "report/Tester.h"

#include "enumeration/GPUFactory.h"
#include "compute/ProgressSignal.h"
#include "report/ReportOutput.h"
#include "report/ReportWriteError.h"
#include "report/TimeStamp.h"

#include <iostream>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

const GLenum kFragmentProgramARB = 0x8804;

void WriteLine(const std::string& line) { ReportOutput::WriteLine(line); }

void WriteField(const std::string& tag, const char* key, const std::string& value)
{
    WriteLine(tag + key + value);
}

void WriteQuotedField(const std::string& tag, const char* key, const std::string& text)
{
    WriteLine(tag + key + ReportOutput::SingleLine(text) + "\"");
}

// The block of `tag` ended early; the line sink learns why.
void FailedBlock(const std::string& tag, const std::string& what)
{
    std::cerr << "DoRunGPU exception" << std::endl;
    ReportOutput::RecordFailedBlock(tag, what);
}

// Where the system has the GPU and what it names its kernel driver: facts of
// the documents only, so the block gets no line and takes no step.
void RecordSystemFacts(GPU& gpu, const std::string& tag)
{
    const std::pair<const char*, std::string> facts[] = {{"pciBusId", gpu.Identity().pciAddress},
                                                         {"kernelDriver", gpu.KernelDriver()},
                                                         {"kernelDriverVersion", gpu.KernelDriverVersion()}};
    for (const auto& fact : facts) {
        if (!fact.second.empty()) {
            ReportOutput::RecordGPUFact(tag, fact.first, fact.second);
        }
    }
}

std::string Bool(bool value) { return value ? "1" : "0"; }

std::string SymbolLine(const std::string& symbol, std::int32_t value)
{
    return "gputag." + symbol + "=" + std::to_string(value);
}

std::string ValueList(const std::vector<GLint>& values)
{
    std::ostringstream list;
    list << '[';
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i != 0) {
            list << ", ";
        }
        list << static_cast<std::int32_t>(values[i]);
    }
    list << ']';
    return list.str();
}

typedef void (Tester::*FieldEmitter)(GPU&, const std::string&);

const struct {
    const char* name;
    FieldEmitter emit;
} kFields[] = {
    {"OGLVersion", &Tester::ReportOGLVersion},
    {"MemoryMB", &Tester::ReportMemoryMB},
    {"RectTextureSize", &Tester::ReportRectTextureSize},
    {"Renderer", &Tester::ReportRenderer},
    {"RendererID", &Tester::ReportRendererID},
    {"Vendor", &Tester::ReportVendor},
    {"VendorID", &Tester::ReportVendorID},
    {"HasNPOTSupport", &Tester::ReportHasNPOTSupport},
    {"DriverVersion", &Tester::ReportDriverVersion},
    {"Driver", &Tester::ReportDriver},
    {"DriverDate", &Tester::ReportDriverDate},
    {"CompileProgramGLSL", &Tester::ReportCompileProgramGLSL},
    {"TestFrameBuffer", &Tester::ReportTestFrameBuffer},
    {"OCLVersion", &Tester::ReportOCLVersion},
    {"CUDAVersion", &Tester::ReportCUDAVersion},
};

} // namespace

const std::size_t Tester::kFieldCount;

const char* Tester::FieldName(std::size_t field)
{
    return field < kFieldCount ? kFields[field].name : "Lumatrope query groups";
}

Tester::Tester() : failAfter(0), stepCount(0), gpuIndex_(0), gpuCount_(0), firstField_(0) {}

Tester::~Tester() {}

void Tester::Begin() { Step(); }

void Tester::Run()
{
    if (!resume.active) {
        ReportMarker("vexilonStart");
    }
    const bool fromStart = !resume.active || resume.listing;
    GPUList gpus;
    // With only the end left, no driver is asked again.
    if (fromStart || resume.gpu < resume.count) {
        ProgressSignal::Send("at listing " + std::to_string(stepCount));
        gpus = GPUFactory::Instance().GetGPUs();
    }
    gpuCount_ = fromStart ? gpus.size() : resume.count;
    if (fromStart) {
        ReportNumGPUs(gpus.size());
    }
    for (gpuIndex_ = fromStart ? 0 : resume.gpu; gpuIndex_ < gpus.size(); ++gpuIndex_) {
        firstField_ = !fromStart && gpuIndex_ == resume.gpu ? resume.field : 0;
        DoRunGPU(*gpus[gpuIndex_], GPUTag(gpuIndex_, gpus.size()));
    }
    gpuIndex_ = gpuCount_;
    Announce(0);
    ReportMarker("vexilonEnd");
}

void Tester::DoRunGPU(GPU& gpu, const std::string& tag)
{
    try {
        if (firstField_ == 0) {
            RecordSystemFacts(gpu, tag);
        }
        for (std::size_t field = firstField_; field < sizeof kFields / sizeof kFields[0]; ++field) {
            Announce(field);
            if (field == firstField_) {
                AnnounceDevice(gpu);
            }
            (this->*kFields[field].emit)(gpu, tag);
        }
    } catch (const ReportWriteError&) {
        throw;  // the report itself is lost, not this GPU's block
    } catch (const std::exception& exception) {
        FailedBlock(tag, exception.what());
    } catch (...) {
        FailedBlock(tag, "unknown exception");
    }
}

void Tester::End() { Step(); }

void Tester::Fail() { throw std::runtime_error("programmed failure"); }

void Tester::ReportMarker(const std::string& name)
{
    WriteLine(name + "=\"" + TimeStamp::Now() + "\"");
    Step();
}

void Tester::ReportNumGPUs(std::uint64_t count)
{
    WriteLine("NumGPUs=" + std::to_string(count));
    Step();
}

void Tester::ReportOGLVersion(GPU& gpu, const std::string& tag)
{
    const std::string version = gpu.OGLVersion();
    WriteQuotedField(tag, ".OGLVersion=\"", version);
    Step();
}

void Tester::ReportMemoryMB(GPU& gpu, const std::string& tag)
{
    const std::uint32_t megabytes = gpu.MemoryMB();
    WriteField(tag, ".MemoryMB=", std::to_string(megabytes));
    Step();
}

void Tester::ReportRectTextureSize(GPU& gpu, const std::string& tag)
{
    const std::uint32_t size = static_cast<std::uint32_t>(gpu.RectTextureSize());
    WriteField(tag, ".RectTextureSize=", std::to_string(size));
    Step();
}

void Tester::ReportRenderer(GPU& gpu, const std::string& tag)
{
    const std::string renderer = gpu.Renderer();
    WriteQuotedField(tag, ".Renderer=\"", renderer);
    Step();
}

void Tester::ReportRendererID(GPU& gpu, const std::string& tag)
{
    const std::uint32_t id = gpu.RendererID();
    WriteField(tag, ".RendererID=", std::to_string(id));
    Step();
}

void Tester::ReportVendor(GPU& gpu, const std::string& tag)
{
    const std::string vendor = gpu.Vendor();
    WriteQuotedField(tag, ".Vendor=\"", vendor);
    Step();
}

void Tester::ReportVendorID(GPU& gpu, const std::string& tag)
{
    const std::uint32_t id = gpu.VendorID();
    WriteField(tag, ".VendorID=", std::to_string(id));
    Step();
}

void Tester::ReportHasNPOTSupport(GPU& gpu, const std::string& tag)
{
    const bool supported = gpu.HasNPOTSupport();
    WriteField(tag, ".HasNPOTSupport=", Bool(supported));
    Step();
}

void Tester::ReportDriverVersion(GPU& gpu, const std::string& tag)
{
    const std::string version = gpu.DriverVersion();
    if (!version.empty()) {
        WriteQuotedField(tag, ".DriverVersion=\"", version);
    }
    Step();
}

void Tester::ReportDriver(GPU& gpu, const std::string& tag)
{
    const std::string driver = gpu.Driver();
    if (!driver.empty()) {
        WriteQuotedField(tag, ".Driver=\"", driver);
    }
    Step();
}

void Tester::ReportDriverDate(GPU& gpu, const std::string& tag)
{
    const std::string date = gpu.DriverDate();
    if (!date.empty()) {
        WriteQuotedField(tag, ".DriverDate=\"", date);
    }
    Step();
}

void Tester::ReportCompileProgramGLSL(GPU& gpu, const std::string& tag)
{
    const bool compiled = gpu.DoCompileProgramGLSL();
    WriteField(tag, ".CompileProgramGLSL=", Bool(compiled));
    Step();
}

void Tester::ReportTestFrameBuffer(GPU& gpu, const std::string& tag)
{
    const bool passed = gpu.DoTestFrameBuffer();
    WriteField(tag, ".TestFrameBuffer=", Bool(passed));
    Step();
}

void Tester::ReportOCLVersion(GPU& gpu, const std::string& tag)
{
    const std::string version = gpu.OCLVersion();
    if (!version.empty()) {
        WriteQuotedField(tag, ".OCLVersion=\"", version);
    }
    Step();
}

void Tester::ReportCUDAVersion(GPU& gpu, const std::string& tag)
{
    // The version cache hands its text out once, so the text written comes from
    // a second ask (and with it a second probe).
    if (!gpu.CUDAVersion().empty()) {
        WriteQuotedField(tag, ".CUDAVersion=\"", gpu.CUDAVersion());
    }
    Step();
}

void Tester::ReportGLString(GPU& gpu, const std::string& tag, const std::string& symbol, GLenum value)
{
    WriteLine(SymbolLine(symbol, static_cast<std::int32_t>(value)));
    const GLubyte* text = gpu.GetString(value);
    const std::string written = text != nullptr ? reinterpret_cast<const char*>(text) : "";
    WriteLine(tag + ".glGetString[" + symbol + "]=\"" + ReportOutput::SingleLine(written) + "\"");
}

void Tester::ReportGLIntegerv(GPU& gpu, const std::string& tag, const std::string& symbol, GLenum value,
                              std::uint64_t count)
{
    std::vector<GLint> values(count, 0);
    gpu.GetIntegerv(value, values.data());
    WriteLine(SymbolLine(symbol, static_cast<std::int32_t>(value)));
    WriteLine(tag + ".glGetIntegerv[" + symbol + "]=" + ValueList(values));
}

void Tester::ReportGLProgramivARB(GPU& gpu, const std::string& tag, const std::string& symbol, GLenum value,
                                  std::uint64_t count)
{
    std::vector<GLint> values(count, 0);
    WriteLine(SymbolLine("GL_FRAGMENT_PROGRAM_ARB", static_cast<std::int32_t>(kFragmentProgramARB)));
    WriteLine(SymbolLine(symbol, static_cast<std::int32_t>(value)));
    gpu.GetProgramivARB(kFragmentProgramARB, value, values.data());
    WriteLine(tag + ".glGetProgramivARB[GL_FRAGMENT_PROGRAM_ARB][" + symbol + "]=" + ValueList(values));
}

void Tester::ReportExtension(GPU& gpu, const std::string& tag, const std::string& symbol,
                             ZEB::OGL::teExtension extension)
{
    WriteLine(SymbolLine(symbol, static_cast<std::int32_t>(extension)));
    const bool supported = gpu.IsExtensionSupported(extension);
    WriteLine(tag + ".extension[" + symbol + "]=" + Bool(supported));
}

void Tester::Announce(std::size_t field) const
{
    ProgressSignal::Send("at " + std::to_string(gpuIndex_) + " " + std::to_string(field) + " " +
                         std::to_string(stepCount) + " " + std::to_string(gpuCount_));
}

void Tester::AnnounceDevice(GPU& gpu) const
{
    if (!ProgressSignal::Listening()) {
        return;
    }
    // What the system says (NVIDIA without a system source: its GL version text), asked once the block has begun.
    std::ostringstream device;
    try {
        device << "pci " << std::hex << gpu.VendorID() << ":" << gpu.RendererID() << std::dec << " driver "
               << gpu.Driver() << " " << gpu.DriverVersion() << " " << gpu.DriverDate();
    } catch (const std::exception&) {
        device << " unknown";
    }
    ProgressSignal::Send("gpu " + std::to_string(gpuIndex_) + " " + ReportOutput::SingleLine(device.str()));
}

void Tester::Step()
{
    const std::uint32_t taken = stepCount;
    stepCount = taken + 1;
    if (taken < failAfter) {
        return;
    }
    Fail();
    // An override of Fail that returns must not let the run go on.
    Tester::Fail();
}

std::string Tester::GPUTag(std::size_t index, std::size_t count)
{
    if (count > 1) {
        return "gpu[" + std::to_string(index) + "]";
    }
    return "gpu";
}
