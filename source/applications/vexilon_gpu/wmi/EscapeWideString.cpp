#include "wmi/EscapeWideString.h"

std::string EscapeWideString(const wchar_t* text)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string escaped;
    if (text == nullptr) {
        return escaped;
    }
    for (; *text != L'\0'; ++text) {
        // UTF-16 code units; where wchar_t is wider, only its low 16 bits count.
        const unsigned int unit = static_cast<unsigned int>(*text) & 0xFFFFu;
        if (unit >= 0x20 && unit <= 0x7E) {
            escaped += static_cast<char>(unit);
        } else {
            const char sequence[] = {'\\', 'x', kDigits[(unit >> 12) & 0xF], kDigits[(unit >> 8) & 0xF],
                                     kDigits[(unit >> 4) & 0xF], kDigits[unit & 0xF]};
            escaped.append(sequence, sizeof sequence);
        }
    }
    return escaped;
}
