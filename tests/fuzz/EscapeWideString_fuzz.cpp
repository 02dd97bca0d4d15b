// The escaping of WMI texts: printable ASCII out, one character or one
// "\xhhhh" per UTF-16 code unit in.
#include "wmi/EscapeWideString.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<wchar_t> text;
    std::size_t expectedLength = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const unsigned unit = data[i] | (data[i + 1] << 8);
        if (unit == 0) {
            break;
        }
        text.push_back(static_cast<wchar_t>(unit));
        expectedLength += (unit >= 0x20 && unit <= 0x7E) ? 1 : 6;
    }
    text.push_back(L'\0');

    const std::string escaped = EscapeWideString(text.data());
    if (escaped.size() != expectedLength) {
        std::abort();
    }
    for (const char c : escaped) {
        if (c < 0x20 || c > 0x7E) {
            std::abort();
        }
    }
    return 0;
}
