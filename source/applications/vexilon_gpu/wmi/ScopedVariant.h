#pragma once

#include <windows.h>
#include <oaidl.h>

// A VARIANT that is initialised on construction and cleared (freeing a BSTR
// or releasing an interface it holds) at the end of its scope.
class ScopedVariant {
public:
    ScopedVariant();
    ~ScopedVariant();

    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;

    VARIANT* get() { return &value_; }
    const VARIANT& value() const { return value_; }
    VARTYPE type() const { return value_.vt; }
    void clear();

private:
    VARIANT value_;
};
