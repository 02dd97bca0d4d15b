#pragma once

#include "gpu/GPU.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Writes the machine-readable report of tester mode on standard output, one
// flushed line at a time, and counts report steps so that a run can be made
// to fail after a chosen number of them.
class Tester {
public:
    // Where a run picks up after an earlier process lost its work on a
    // driver fault: the step count and the lines written so far are the
    // earlier process's; this run neither begins the report nor writes its
    // start marker and count line again.
    struct Resume {
        bool active = false;
        bool listing = false;   // at the listing: the count line and every block are still to come
        std::size_t gpu = 0;    // the GPU to carry on with (the count: only the end)
        std::size_t field = 0;  // its first field to ask (kFieldCount: what follows the fields)
        std::size_t count = 0;  // the GPUs listed
    };

    // The fifteen fields of a GPU's block, in their order; a Lumatrope block
    // goes on with its query groups at position kFieldCount.
    static const std::size_t kFieldCount = 15;
    static const char* FieldName(std::size_t field);
    // "gpu" for a single adapter, "gpu[i]" when there are several.
    static std::string GPUTag(std::size_t index, std::size_t count);

    Tester();
    virtual ~Tester();

    virtual void Begin();
    virtual void Run();
    virtual void DoRunGPU(GPU& gpu, const std::string& tag);
    virtual void End();
    virtual void Fail();
    virtual void ReportMarker(const std::string& name);
    virtual void ReportNumGPUs(std::uint64_t count);

    virtual void ReportOGLVersion(GPU& gpu, const std::string& tag);
    virtual void ReportMemoryMB(GPU& gpu, const std::string& tag);
    virtual void ReportRectTextureSize(GPU& gpu, const std::string& tag);
    virtual void ReportRenderer(GPU& gpu, const std::string& tag);
    virtual void ReportRendererID(GPU& gpu, const std::string& tag);
    virtual void ReportVendor(GPU& gpu, const std::string& tag);
    virtual void ReportVendorID(GPU& gpu, const std::string& tag);
    virtual void ReportHasNPOTSupport(GPU& gpu, const std::string& tag);
    virtual void ReportDriverVersion(GPU& gpu, const std::string& tag);
    virtual void ReportDriver(GPU& gpu, const std::string& tag);
    virtual void ReportDriverDate(GPU& gpu, const std::string& tag);
    virtual void ReportCompileProgramGLSL(GPU& gpu, const std::string& tag);
    virtual void ReportTestFrameBuffer(GPU& gpu, const std::string& tag);
    virtual void ReportOCLVersion(GPU& gpu, const std::string& tag);
    virtual void ReportCUDAVersion(GPU& gpu, const std::string& tag);

    virtual void ReportGLString(GPU& gpu, const std::string& tag, const std::string& symbol, GLenum value);
    virtual void ReportGLIntegerv(GPU& gpu, const std::string& tag, const std::string& symbol, GLenum value,
                                  std::uint64_t count);
    virtual void ReportGLProgramivARB(GPU& gpu, const std::string& tag, const std::string& symbol, GLenum value,
                                      std::uint64_t count);
    virtual void ReportExtension(GPU& gpu, const std::string& tag, const std::string& symbol,
                                 ZEB::OGL::teExtension extension);

    // Counts one report step; raises the programmed failure once `failAfter`
    // steps have been taken.
    void Step();

    std::uint32_t failAfter;
    std::uint32_t stepCount;
    Resume resume;

protected:
    // Tells a watcher which GPU and field come next and how many steps were
    // taken before them ("at <gpu> <field> <steps> <count>").
    void Announce(std::size_t field) const;
    // Tells a watcher which GPU that is, by its PCI ids and driver
    // ("gpu <index> pci 10de:1b80 driver nvidia 535.54.03 20230601").
    void AnnounceDevice(GPU& gpu) const;

private:
    std::size_t gpuIndex_;
    std::size_t gpuCount_;
    std::size_t firstField_;
};
