#include "wmi/BString.h"

#include <oleauto.h>

#include <new>

BString::BString(const wchar_t* text) : value_(SysAllocString(text))
{
    if (value_ == nullptr) {
        throw std::bad_alloc();
    }
}

BString::~BString() { SysFreeString(value_); }
