#include "probe/FaultRecord.h"

#include <algorithm>
#include <sstream>

namespace {

// A field holds no tab and no line end, so that each line splits back whole.
std::string Field(std::string text)
{
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

bool IsText(const std::string& line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return c == '\t' || static_cast<unsigned char>(c) >= 0x20; });
}

} // namespace

const std::int64_t FaultRecord::kLifetimeSeconds;

bool FaultRecord::Parse(const std::string& text)
{
    entries_.clear();
    // Every line ends with its line end; one without was cut short.
    if (!text.empty() && text.back() != '\n') {
        return false;
    }
    std::istringstream lines(text);
    std::vector<Entry> entries;
    for (std::string line; std::getline(lines, line);) {
        Entry entry;
        std::istringstream fields(line);
        std::string time;
        if (!IsText(line) || !std::getline(fields, time, '\t') || time.empty() ||
            time.find_first_not_of("0123456789") != std::string::npos || time.size() > 18 ||
            !std::getline(fields, entry.kind, '\t') || !std::getline(fields, entry.identity, '\t') ||
            !std::getline(fields, entry.outcome) || entry.kind.empty() || entry.outcome.find('\t') != std::string::npos) {
            return false;
        }
        entry.time = std::stoll(time);
        entries.push_back(entry);
    }
    entries_.swap(entries);
    return true;
}

std::string FaultRecord::Text() const
{
    std::string text;
    for (const Entry& entry : entries_) {
        text += std::to_string(entry.time) + "\t" + Field(entry.kind) + "\t" + Field(entry.identity) + "\t" +
                Field(entry.outcome) + "\n";
    }
    return text;
}

const FaultRecord::Entry* FaultRecord::Find(const std::string& kind, const std::string& identity,
                                            std::int64_t now) const
{
    for (const Entry& entry : entries_) {
        if (entry.kind == Field(kind) && entry.identity == Field(identity) && Fresh(entry, now)) {
            return &entry;
        }
    }
    return nullptr;
}

bool FaultRecord::Mentions(const std::string& kind, std::int64_t now) const
{
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const Entry& entry) { return entry.kind == kind && Fresh(entry, now); });
}

void FaultRecord::Add(const Entry& added, std::int64_t now)
{
    Entry entry = added;
    entry.kind = Field(entry.kind);
    entry.identity = Field(entry.identity);
    entry.outcome = Field(entry.outcome);
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [&](const Entry& kept) {
                                      return !Fresh(kept, now) ||
                                             (kept.kind == entry.kind && kept.identity == entry.identity);
                                  }),
                   entries_.end());
    entries_.push_back(entry);
}

bool FaultRecord::Fresh(const Entry& entry, std::int64_t now)
{
    return now - entry.time < kLifetimeSeconds;
}
