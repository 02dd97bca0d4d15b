// The fault record read back: what it writes of a text it takes reads back
// the same, also with an entry added.
#include "probe/FaultRecord.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    FaultRecord record;
    if (!record.Parse(text)) {
        return 0;
    }
    FaultRecord reread;
    if (!reread.Parse(record.Text()) || reread.Text() != record.Text()) {
        std::abort();
    }
    FaultRecord::Entry entry;
    entry.time = 1765000000;
    entry.kind = "GPU block, Renderer";
    entry.identity = text.substr(0, 64);
    entry.outcome = "signal 11";
    record.Add(entry, entry.time);
    FaultRecord again;
    if (!again.Parse(record.Text()) || again.Text() != record.Text() ||
        again.Find(entry.kind, entry.identity, entry.time) == nullptr) {
        std::abort();
    }
    return 0;
}
