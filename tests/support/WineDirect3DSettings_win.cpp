#include "WineDirect3DSettings.h"

#include <stdexcept>

namespace testsupport {

WineDirect3DSettings::WineDirect3DSettings() : key_(nullptr)
{
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Direct3D", 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &key_, nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot open HKCU\\Software\\Wine\\Direct3D");
    }
}

WineDirect3DSettings::~WineDirect3DSettings()
{
    for (auto saved = saved_.rbegin(); saved != saved_.rend(); ++saved) {
        if (saved->existed) {
            RegSetValueExA(key_, saved->name.c_str(), 0, saved->type, saved->data.data(),
                           static_cast<DWORD>(saved->data.size()));
        } else {
            RegDeleteValueA(key_, saved->name.c_str());
        }
    }
    RegCloseKey(key_);
}

void WineDirect3DSettings::remember(const std::string& name)
{
    Saved saved;
    saved.name = name;
    DWORD size = 0;
    saved.existed = RegQueryValueExA(key_, name.c_str(), nullptr, &saved.type, nullptr, &size) == ERROR_SUCCESS;
    if (saved.existed) {
        saved.data.resize(size);
        RegQueryValueExA(key_, name.c_str(), nullptr, &saved.type, saved.data.data(), &size);
    }
    saved_.push_back(saved);
}

void WineDirect3DSettings::setDword(const std::string& name, DWORD value)
{
    remember(name);
    RegSetValueExA(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void WineDirect3DSettings::setString(const std::string& name, const std::string& value)
{
    remember(name);
    RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

} // namespace testsupport
