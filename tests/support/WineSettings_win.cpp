#include "WineSettings.h"

#include <stdexcept>

namespace testsupport {

WineSettings::~WineSettings()
{
    for (auto saved = saved_.rbegin(); saved != saved_.rend(); ++saved) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, saved->key.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
            continue;
        }
        if (saved->existed) {
            RegSetValueExA(key, saved->name.c_str(), 0, saved->type, saved->data.data(),
                           static_cast<DWORD>(saved->data.size()));
        } else {
            RegDeleteValueA(key, saved->name.c_str());
        }
        RegCloseKey(key);
    }
    for (auto made = madeKeys_.rbegin(); made != madeKeys_.rend(); ++made) {
        RegDeleteKeyA(HKEY_CURRENT_USER, made->c_str());
    }
}

void WineSettings::set(const std::string& path, const std::string& name, DWORD type, const void* data,
                               DWORD size)
{
    // Key by key, so that each one made can go again.
    HKEY key = nullptr;
    for (std::string::size_type end = 0; end != std::string::npos;) {
        end = path.find('\\', end + 1);
        DWORD disposition = 0;
        if (key != nullptr) {
            RegCloseKey(key);
        }
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path.substr(0, end).c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                            nullptr, &key, &disposition) != ERROR_SUCCESS) {
            throw std::runtime_error("cannot open HKCU\\" + path);
        }
        if (disposition == REG_CREATED_NEW_KEY) {
            madeKeys_.push_back(path.substr(0, end));
        }
    }
    Saved saved{path, name, false, 0, {}};
    DWORD savedSize = 0;
    saved.existed = RegQueryValueExA(key, name.c_str(), nullptr, &saved.type, nullptr, &savedSize) == ERROR_SUCCESS;
    saved.data.resize(savedSize);
    if (saved.existed) {
        RegQueryValueExA(key, name.c_str(), nullptr, &saved.type, saved.data.data(), &savedSize);
    }
    saved_.push_back(saved);
    RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void WineSettings::setDword(const std::string& name, DWORD value)
{
    set("Software\\Wine\\Direct3D", name, REG_DWORD, &value, sizeof value);
}

void WineSettings::setString(const std::string& name, const std::string& value)
{
    setString("Software\\Wine\\Direct3D", name, value);
}

void WineSettings::setString(const std::string& key, const std::string& name, const std::string& value)
{
    set(key, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void WineSettings::disableLibrary(const std::string& library)
{
    // An empty load order means "disabled".
    setString("Software\\Wine\\AppDefaults\\vexilon_gpu.exe\\DllOverrides", library, "");
}

} // namespace testsupport
