#include "WineDllOverrides.h"

#include <stdexcept>

namespace testsupport {

namespace {

HKEY CreateKey(HKEY parent, const std::string& path, bool& made)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, &disposition) !=
        ERROR_SUCCESS) {
        throw std::runtime_error("cannot open HKCU\\" + path);
    }
    made = disposition == REG_CREATED_NEW_KEY;
    return key;
}

} // namespace

WineDllOverrides::WineDllOverrides(const std::string& programFileName)
    : programKey_("Software\\Wine\\AppDefaults\\" + programFileName), overrides_(nullptr)
{
    RegCloseKey(CreateKey(HKEY_CURRENT_USER, programKey_, madeProgramKey_));
    overrides_ = CreateKey(HKEY_CURRENT_USER, programKey_ + "\\DllOverrides", madeOverridesKey_);
}

WineDllOverrides::~WineDllOverrides()
{
    for (auto saved = saved_.rbegin(); saved != saved_.rend(); ++saved) {
        if (saved->existed) {
            RegSetValueExA(overrides_, saved->name.c_str(), 0, saved->type, saved->data.data(),
                           static_cast<DWORD>(saved->data.size()));
        } else {
            RegDeleteValueA(overrides_, saved->name.c_str());
        }
    }
    RegCloseKey(overrides_);
    if (madeOverridesKey_) {
        RegDeleteKeyA(HKEY_CURRENT_USER, (programKey_ + "\\DllOverrides").c_str());
    }
    if (madeProgramKey_) {
        RegDeleteKeyA(HKEY_CURRENT_USER, programKey_.c_str());
    }
}

void WineDllOverrides::disable(const std::string& library)
{
    Saved saved;
    saved.name = library;
    DWORD size = 0;
    saved.existed = RegQueryValueExA(overrides_, library.c_str(), nullptr, &saved.type, nullptr, &size) ==
                    ERROR_SUCCESS;
    if (saved.existed) {
        saved.data.resize(size);
        RegQueryValueExA(overrides_, library.c_str(), nullptr, &saved.type, saved.data.data(), &size);
    }
    saved_.push_back(saved);
    // An empty load order means "disabled".
    const BYTE empty[] = {0};
    RegSetValueExA(overrides_, library.c_str(), 0, REG_SZ, empty, sizeof empty);
}

std::string WineDllOverrides::ThisProgram()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string full(path, length);
    const std::string::size_type slash = full.find_last_of("\\/");
    return slash == std::string::npos ? full : full.substr(slash + 1);
}

} // namespace testsupport
