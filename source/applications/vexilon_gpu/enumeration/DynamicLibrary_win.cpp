#include "enumeration/DynamicLibrary.h"

#include "enumeration/EnumerationSystem.h"

DynamicLibrary::DynamicLibrary(const std::string& name) : hModule_(nullptr), sName_(name) {}

DynamicLibrary::~DynamicLibrary()
{
    if (hModule_ != nullptr) {
        EnumerationSystem::Current().FreeLibrary(hModule_);
        hModule_ = nullptr;
    }
}

HMODULE DynamicLibrary::Load(const char* name)
{
    if (name != nullptr) {
        sName_ = name;
    }
    if (hModule_ != nullptr) {
        EnumerationSystem::Current().FreeLibrary(hModule_);
    }
    // Never the bare name: the search order would reach the application
    // folder, the working directory and PATH before the system directory.
    hModule_ = EnumerationSystem::Current().LoadSystemLibrary(sName_);
    return hModule_;
}

FARPROC DynamicLibrary::Lookup(const char* function)
{
    if (hModule_ == nullptr && Load() == nullptr) {
        return nullptr;
    }
    return EnumerationSystem::Current().ProcAddress(hModule_, function);
}
