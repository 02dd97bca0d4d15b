#pragma once

#include <string>

// A NUL-terminated UTF-16 text as printable ASCII: 0x20 to 0x7E stay as they
// are, every other code unit (each half of a surrogate pair on its own)
// becomes "\x" and four lower-case hexadecimal digits. A null pointer gives
// the empty string.
std::string EscapeWideString(const wchar_t* text);
