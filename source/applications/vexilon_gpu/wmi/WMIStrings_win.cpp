#include "wmi/WMIStrings.h"

#include "wmi/ScopedVariant.h"

bool TryGetWMIString(IWbemClassObject* row, const wchar_t* name, std::string& text)
{
    if (row == nullptr) {
        return false;
    }
    ScopedVariant value;
    if (FAILED(row->Get(name, 0, value.get(), nullptr, nullptr)) || value.type() != VT_BSTR) {
        return false;
    }
    text = EscapeWideString(value.value().bstrVal);
    return true;
}

std::string GetWMIString(IWbemClassObject* row, const wchar_t* name, bool* succeeded)
{
    std::string text;
    const bool read = TryGetWMIString(row, name, text);
    if (succeeded != nullptr) {
        *succeeded = read;
    }
    return text;
}
