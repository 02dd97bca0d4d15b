#pragma once

#include <windows.h>

#include <string>

// A Windows library loaded on first use, from the system directory only, and
// freed with the object. A failed load is tried again at the next lookup.
class DynamicLibrary {
public:
    explicit DynamicLibrary(const std::string& name);
    ~DynamicLibrary();

    // Loads the library (under `name` when one is given); null on failure.
    HMODULE Load(const char* name = nullptr);
    // The function's address; null when the function or the library is missing.
    FARPROC Lookup(const char* function);

    const std::string& Name() const { return sName_; }

private:
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    HMODULE hModule_;
    std::string sName_;
};
