#pragma once

#include <string>

// Where the fault record lives and how it is read and replaced. It is
// written whole or not at all: a private file beside it, renamed over it, so
// a reader, or a run writing at the same time, never sees half a record.
class FaultRecordFile {
public:
    // This user's record: Linux $XDG_CACHE_HOME/vexilon_gpu/faults
    // (~/.cache/vexilon_gpu/faults when unset), Windows
    // %LOCALAPPDATA%\vexilon_gpu\faults. Empty for an account without a
    // cache or home folder: it has no record.
    static std::string DefaultPath();

    explicit FaultRecordFile(const std::string& path) : path_(path) {}
    const std::string& Path() const { return path_; }
    // The lock file beside the record (FaultRecordLock).
    std::string LockPath() const { return path_ + ".lock"; }

    // The record's bytes, empty when there is no record; false and why when
    // it is there but cannot be read.
    bool Read(std::string& text, std::string& error) const;
    // The record's folder, made when needed.
    bool MakeFolder(std::string& error) const;
    // Puts `text` in the record's place, making its folder when needed.
    bool Replace(const std::string& text, std::string& error) const;
    // No record any more (none there is no error).
    bool Remove(std::string& error) const;

private:
    // Renames over an existing file in one step.
    static bool Rename(const std::string& from, const std::string& to, std::string& error);

    std::string path_;
};
