#pragma once

#include "FakeComObject.h"
#include "FakeWbemServices.h"

#include <string>

namespace testsupport {

// A WMI locator that connects to the test's namespace, or fails.
class FakeWbemLocator : public FakeComObject<IWbemLocator> {
public:
    explicit FakeWbemLocator(ComJournal* journal) : FakeComObject<IWbemLocator>("locator", journal), services(journal)
    {
    }

    FakeWbemServices services;
    HRESULT connectResult = WBEM_S_NO_ERROR;
    std::wstring wmiNamespace;

    HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR resource, const BSTR, const BSTR, const BSTR, LONG,
                                            const BSTR, IWbemContext*, IWbemServices** result) override
    {
        wmiNamespace = resource;
        *result = nullptr;
        if (FAILED(connectResult)) {
            return connectResult;
        }
        *result = services.HandOut();
        return connectResult;
    }
};

} // namespace testsupport
