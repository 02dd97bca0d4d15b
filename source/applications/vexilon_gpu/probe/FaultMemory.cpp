#include "probe/FaultMemory.h"

#include "probe/FaultRecordLock.h"
#include "sysinfo/DriverIdentity.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>

namespace {

bool RecordTurnedOff()
{
    const char* value = std::getenv("VEXILON_FAULT_RECORD");
    return value != nullptr && std::strcmp(value, "0") == 0;
}

} // namespace

FaultMemory::Piece FaultMemory::OpenCL(bool testerMode)
{
    // Both modes start the same runtime and ask it the same first questions.
    return {"OpenCL", Drivers::OpenCL, "", testerMode ? " in tester mode" : " in the legacy check"};
}

FaultMemory::Piece FaultMemory::LegacyOpenGL(const std::string& step)
{
    return {"OpenGL check, " + step, Drivers::OpenGL, "", ""};
}

FaultMemory::Piece FaultMemory::GPUListing() { return {"listing the GPUs", Drivers::OpenGL, "", ""}; }

FaultMemory::Piece FaultMemory::VulkanProbe() { return {"Vulkan probe", Drivers::Vulkan, "", ""}; }

FaultMemory::Piece FaultMemory::GPUBlock(const std::string& field, const std::string& device)
{
    return {"GPU block, " + field, Drivers::OpenGL, device, ""};
}

FaultMemory::Piece FaultMemory::ListingStep(const std::string& device)
{
    return {"listing step", Drivers::OpenGL, device, ""};
}

FaultMemory::FaultMemory(const std::string& path, bool retry)
    : file_(path), enabled_(!path.empty() && !RecordTurnedOff())
{
    if (enabled_ && retry) {
        read_ = true;  // nothing to go by in this run
        std::string error;
        if (!file_.Remove(error)) {
            Complain("not cleared", error);
        }
    }
}

std::string FaultMemory::Skip(const Piece& piece)
{
    if (!enabled_ || !Known().Mentions(piece.kind, Now())) {
        return std::string();
    }
    const FaultRecord::Entry* entry = Known().Find(piece.kind, Identity(piece), Now());
    if (entry == nullptr) {
        return std::string();
    }
    std::string outcome = entry->outcome;
    const std::size_t own = outcome.size() - std::min(outcome.size(), piece.mode.size());
    if (!piece.mode.empty() && outcome.compare(own, std::string::npos, piece.mode) == 0) {
        outcome.erase(own);  // the mode goes without saying
    }
    return outcome + " on " + Date(entry->time) + " with this driver";
}

void FaultMemory::Remember(const Piece& piece, const std::string& outcome)
{
    if (!enabled_) {
        return;
    }
    std::string error;
    if (!file_.MakeFolder(error)) {
        Complain("not written", error);
        return;
    }
    // One run at a time reads, merges and replaces, or none would be sure to keep the others' faults.
    const FaultRecordLock lock(file_.LockPath(), FaultRecordLock::kWaitMs);
    if (!lock.Held()) {
        Complain("not written", "lock: " + lock.Error());
        return;
    }
    // The record as it is now: another run may have added to it since.
    std::string text;
    FaultRecord record;
    if (file_.Read(text, error)) {
        record.Parse(text);
    }
    FaultRecord::Entry entry;
    entry.time = Now();
    entry.kind = piece.kind;
    entry.identity = Identity(piece);
    entry.outcome = outcome + piece.mode;
    record.Add(entry, entry.time);
    if (!file_.Replace(record.Text(), error)) {
        Complain("not written", error);
    }
}

std::string FaultMemory::Date(std::int64_t seconds)
{
    const std::time_t time = static_cast<std::time_t>(seconds);
    const std::tm* local = std::localtime(&time);
    char text[16] = {};
    if (local == nullptr || std::strftime(text, sizeof text, "%Y-%m-%d", local) == 0) {
        return "an unknown date";
    }
    return text;
}

std::int64_t FaultMemory::Now() { return static_cast<std::int64_t>(std::time(nullptr)); }

std::string FaultMemory::Identity(const Piece& piece)
{
    auto known = identities_.find(piece.drivers);
    if (known == identities_.end()) {
        const std::string drivers = piece.drivers == Drivers::OpenCL   ? DriverIdentity::OpenCL()
                                    : piece.drivers == Drivers::Vulkan ? DriverIdentity::Vulkan()
                                                                       : DriverIdentity::OpenGL();
        known = identities_.emplace(piece.drivers, drivers).first;
    }
    return piece.device.empty() ? known->second : piece.device + "; " + known->second;
}

const FaultRecord& FaultMemory::Known()
{
    if (!read_) {
        read_ = true;
        std::string text;
        std::string error;
        if (!file_.Read(text, error)) {
            Complain("ignored", error);
        } else if (!known_.Parse(text)) {
            Complain("ignored", "not a fault record");
        }
    }
    return known_;
}

void FaultMemory::Complain(const std::string& what, const std::string& why) const
{
    std::cerr << "fault record " << what << ": " << file_.Path() << ": " << why << std::endl;
}
