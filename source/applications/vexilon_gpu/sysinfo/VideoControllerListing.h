#pragma once

// The legacy check's list of video controllers on standard output, one line
// per controller with its name and video memory in MiB: WMI's
// Win32_VideoController rows on Windows, the PCI display controllers on
// Linux. 0 when the listing ran to its end, 1 when it failed.
int PrintVideoControllers();

#ifdef _WIN32

#include <windows.h>
#include <objbase.h>

#include <iosfwd>

struct IEnumWbemClassObject;

// The legacy check's list of video controllers: one line per
// Win32_VideoController row with its caption and video memory in MiB. Runs
// its own WMI query in the multithreaded apartment and keeps nothing.
class VideoControllerListing {
public:
    // The COM library calls the listing makes, so that tests can stand in for
    // COM; the rest of the work goes through the interfaces these hand out.
    struct ComLibrary {
        decltype(&::CoInitializeEx) initialize;
        decltype(&::CoInitializeSecurity) initializeSecurity;
        decltype(&::CoCreateInstance) createInstance;
        decltype(&::CoUninitialize) uninitialize;
    };
    static ComLibrary SystemComLibrary();

    VideoControllerListing(const ComLibrary& com, std::ostream& out);

    // 0 when the listing ran to its end (no rows included), 1 when a COM or
    // WMI step failed (after one error line). Throws std::bad_alloc when a
    // query string cannot be allocated.
    int Print();

private:
    int PrintWithComInitialized();
    // Writes a line per row; false (after the error line) when a caption cannot be read.
    bool ListRows(IEnumWbemClassObject* enumerator);
    void WriteError(const char* message, HRESULT code);

    ComLibrary com_;
    std::ostream& out_;
};

#endif
