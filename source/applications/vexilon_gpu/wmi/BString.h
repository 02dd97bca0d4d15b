#pragma once

#include <windows.h>
#include <wtypes.h>

// A BSTR made from a wide text and freed at the end of its scope. Allocation
// failure throws std::bad_alloc.
class BString {
public:
    explicit BString(const wchar_t* text);
    ~BString();

    BString(const BString&) = delete;
    BString& operator=(const BString&) = delete;

    BSTR get() const { return value_; }

private:
    BSTR value_;
};
