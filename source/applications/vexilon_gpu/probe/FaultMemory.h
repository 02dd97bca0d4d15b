#pragma once

#include "probe/FaultRecord.h"
#include "probe/FaultRecordFile.h"

#include <cstdint>
#include <map>
#include <string>

// What a run remembers of the driver faults of earlier runs: the pieces of
// work to skip while their driver is unchanged, and the record of a new
// fault. A run without a fault reads the record at most once and writes
// nothing. A record that cannot be read or written costs a line on standard
// error, never the run.
class FaultMemory {
public:
    // Which drivers a piece of work runs against.
    enum class Drivers { OpenCL, OpenGL, Vulkan };

    // One piece of work as the record names it: its kind, the drivers it
    // depends on, what the probe said about its device ("pci 10de:1b80
    // nvidia 535.54.03 ..."), if anything, and the mode it runs in where
    // both modes share the kind (" in tester mode"), kept with the outcome.
    struct Piece {
        std::string kind;
        Drivers drivers;
        std::string device;
        std::string mode;
    };
    // The OpenCL work of either mode: a fault in one skips it in both.
    static Piece OpenCL(bool testerMode);
    // One step of the legacy check's OpenGL stage ("context", "compile").
    static Piece LegacyOpenGL(const std::string& step);
    static Piece GPUListing();
    // The Vulkan facts of a JSON report, gathered after its end marker.
    static Piece VulkanProbe();
    // One GPU's block, from `field` on; `device` is the probe's "gpu" mark.
    static Piece GPUBlock(const std::string& field, const std::string& device);
    // One device's step of the listing, by its index among the system's
    // devices and its PCI identity ("EGL device 1, pci 0000:01:00.0 10de:2204").
    static Piece ListingStep(const std::string& device);

    // `path`: the record's file (FaultRecordFile::DefaultPath()); empty, or
    // VEXILON_FAULT_RECORD=0 in the environment: no record at all.
    // `retry`: the records are ignored and cleared, and faults recorded again.
    FaultMemory(const std::string& path, bool retry);

    // Why the piece is skipped ("signal 11 (Segmentation fault) on
    // 2026-12-07 with this driver", with the mode it faulted in where that
    // is not the piece's); empty when it is not.
    std::string Skip(const Piece& piece);
    // The piece faulted with this outcome, against the drivers now present.
    void Remember(const Piece& piece, const std::string& outcome);

    // `seconds` since 1970 as a local date, "2026-12-07".
    static std::string Date(std::int64_t seconds);

private:
    static std::int64_t Now();
    std::string Identity(const Piece& piece);
    // The record as this run first read it.
    const FaultRecord& Known();
    void Complain(const std::string& what, const std::string& why) const;

    FaultRecordFile file_;
    bool enabled_;
    bool read_ = false;
    FaultRecord known_;
    std::map<Drivers, std::string> identities_;
};
