#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The faults that drivers have caused, as remembered between runs: one line
// per piece of work that crashed or hung, with the driver it ran against.
// A line is "<seconds since 1970>\t<kind>\t<driver identity>\t<outcome>".
class FaultRecord {
public:
    struct Entry {
        std::int64_t time = 0;  // seconds since 1970, UTC
        std::string kind;       // the piece of work: "OpenCL probe", "GPU block, Renderer", ...
        std::string identity;   // the driver it ran against
        std::string outcome;    // "signal 11 (Segmentation fault)", "no progress for 20 s"
    };

    // A record is forgotten this long after its fault.
    static const std::int64_t kLifetimeSeconds = 30 * 24 * 60 * 60;

    // False, leaving the record empty, for a text that is not a whole record
    // (not text, a line cut short).
    bool Parse(const std::string& text);
    std::string Text() const;

    // The entry for this piece and driver that is not yet forgotten at `now`; null when none.
    const Entry* Find(const std::string& kind, const std::string& identity, std::int64_t now) const;
    // Whether an entry of this kind is not yet forgotten, whatever its driver.
    bool Mentions(const std::string& kind, std::int64_t now) const;
    // Replaces the piece's entry for this driver, and leaves the forgotten out.
    void Add(const Entry& entry, std::int64_t now);
    bool Empty() const { return entries_.empty(); }

private:
    static bool Fresh(const Entry& entry, std::int64_t now);

    std::vector<Entry> entries_;
};
