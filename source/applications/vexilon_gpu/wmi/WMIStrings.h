#pragma once

#include "wmi/EscapeWideString.h"

#include <windows.h>
#include <wbemidl.h>

#include <string>

// Reads the text property `name` of a WMI row into `text`, escaped to
// printable ASCII. Returns false, leaving `text` as it was, when the read
// fails or the value is not a BSTR.
bool TryGetWMIString(IWbemClassObject* row, const wchar_t* name, std::string& text);

// The text property `name` of a WMI row, escaped to printable ASCII; empty
// when it cannot be read. Stores the outcome through `succeeded` if given.
std::string GetWMIString(IWbemClassObject* row, const wchar_t* name, bool* succeeded = nullptr);
