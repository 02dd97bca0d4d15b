#pragma once

#include "FakeComObject.h"

#include <wbemidl.h>

#include <map>
#include <string>

namespace testsupport {

// A WMI row whose properties the test sets; Get hands out copies of them.
class FakeWbemClassObject : public FakeComObject<IWbemClassObject> {
public:
    explicit FakeWbemClassObject(const std::string& name = "row", ComJournal* journal = nullptr)
        : FakeComObject<IWbemClassObject>(name, journal)
    {
    }
    ~FakeWbemClassObject() override
    {
        for (auto& property : properties_) {
            VariantClear(&property.second.value);
        }
    }

    void setText(const std::wstring& name, const std::wstring& text)
    {
        VARIANT& value = Reset(name);
        value.vt = VT_BSTR;
        value.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    void setInt(const std::wstring& name, LONG number)
    {
        VARIANT& value = Reset(name);
        value.vt = VT_I4;
        value.lVal = number;
    }
    void setUnsigned(const std::wstring& name, ULONG number)
    {
        VARIANT& value = Reset(name);
        value.vt = VT_UI4;
        value.ulVal = number;
    }
    void setNull(const std::wstring& name) { Reset(name).vt = VT_NULL; }
    // Get fails with `result`, though it leaves a value behind.
    void setFailure(const std::wstring& name, HRESULT result, const std::wstring& text = L"left behind")
    {
        setText(name, text);
        properties_[name].result = result;
    }

    HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG, VARIANT* value, CIMTYPE* type, LONG* flavor) override
    {
        if (type != nullptr || flavor != nullptr) {
            return WBEM_E_INVALID_PARAMETER;  // never asked for by the code under test
        }
        const auto found = properties_.find(name);
        if (found == properties_.end()) {
            return WBEM_E_NOT_FOUND;
        }
        VariantCopy(value, &found->second.value);
        return found->second.result;
    }

    FAKE_COM_UNUSED(GetQualifierSet, (IWbemQualifierSet**))
    FAKE_COM_UNUSED(Put, (LPCWSTR, LONG, VARIANT*, CIMTYPE))
    FAKE_COM_UNUSED(Delete, (LPCWSTR))
    FAKE_COM_UNUSED(GetNames, (LPCWSTR, LONG, VARIANT*, SAFEARRAY**))
    FAKE_COM_UNUSED(BeginEnumeration, (LONG))
    FAKE_COM_UNUSED(Next, (LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*))
    FAKE_COM_UNUSED(EndEnumeration, ())
    FAKE_COM_UNUSED(GetPropertyQualifierSet, (LPCWSTR, IWbemQualifierSet**))
    FAKE_COM_UNUSED(Clone, (IWbemClassObject**))
    FAKE_COM_UNUSED(GetObjectText, (LONG, BSTR*))
    FAKE_COM_UNUSED(SpawnDerivedClass, (LONG, IWbemClassObject**))
    FAKE_COM_UNUSED(SpawnInstance, (LONG, IWbemClassObject**))
    FAKE_COM_UNUSED(CompareTo, (LONG, IWbemClassObject*))
    FAKE_COM_UNUSED(GetPropertyOrigin, (LPCWSTR, BSTR*))
    FAKE_COM_UNUSED(InheritsFrom, (LPCWSTR))
    FAKE_COM_UNUSED(GetMethod, (LPCWSTR, LONG, IWbemClassObject**, IWbemClassObject**))
    FAKE_COM_UNUSED(PutMethod, (LPCWSTR, LONG, IWbemClassObject*, IWbemClassObject*))
    FAKE_COM_UNUSED(DeleteMethod, (LPCWSTR))
    FAKE_COM_UNUSED(BeginMethodEnumeration, (LONG))
    FAKE_COM_UNUSED(NextMethod, (LONG, BSTR*, IWbemClassObject**, IWbemClassObject**))
    FAKE_COM_UNUSED(EndMethodEnumeration, ())
    FAKE_COM_UNUSED(GetMethodQualifierSet, (LPCWSTR, IWbemQualifierSet**))
    FAKE_COM_UNUSED(GetMethodOrigin, (LPCWSTR, BSTR*))

private:
    struct Property {
        Property() : result(WBEM_S_NO_ERROR) { VariantInit(&value); }
        HRESULT result;
        VARIANT value;
    };
    VARIANT& Reset(const std::wstring& name)
    {
        Property& property = properties_[name];
        VariantClear(&property.value);
        property.result = WBEM_S_NO_ERROR;
        return property.value;
    }

    std::map<std::wstring, Property> properties_;
};

} // namespace testsupport
