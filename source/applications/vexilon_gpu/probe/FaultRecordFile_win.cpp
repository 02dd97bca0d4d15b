#include "probe/FaultRecordFile.h"

#include <windows.h>

#include <cstdlib>

std::string FaultRecordFile::DefaultPath()
{
    const char* folder = std::getenv("LOCALAPPDATA");
    if (folder == nullptr || folder[0] == '\0') {
        return std::string();
    }
    return std::string(folder) + "\\vexilon_gpu\\faults";
}

bool FaultRecordFile::Rename(const std::string& from, const std::string& to, std::string& error)
{
    // A run that reads the record at this moment holds it briefly; it lets go within milliseconds.
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        if (GetLastError() != ERROR_ACCESS_DENIED && GetLastError() != ERROR_SHARING_VIOLATION) {
            break;
        }
        Sleep(10);
    }
    error = "cannot replace the file (Windows error " + std::to_string(GetLastError()) + ")";
    return false;
}
