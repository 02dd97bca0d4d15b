#pragma once

#include "FakeComObject.h"
#include "FakeEnumWbemClassObject.h"

#include <string>

namespace testsupport {

// A WMI namespace that answers ExecQuery with the test's enumerator, or fails.
class FakeWbemServices : public FakeComObject<IWbemServices> {
public:
    explicit FakeWbemServices(ComJournal* journal)
        : FakeComObject<IWbemServices>("services", journal), enumerator(journal)
    {
    }

    FakeEnumWbemClassObject enumerator;
    HRESULT queryResult = WBEM_S_NO_ERROR;
    std::wstring language;
    std::wstring query;

    HRESULT STDMETHODCALLTYPE ExecQuery(const BSTR queryLanguage, const BSTR queryText, LONG, IWbemContext*,
                                        IEnumWbemClassObject** result) override
    {
        language = queryLanguage;
        query = queryText;
        *result = nullptr;
        if (FAILED(queryResult)) {
            return queryResult;
        }
        *result = enumerator.HandOut();
        return queryResult;
    }

    FAKE_COM_UNUSED(OpenNamespace, (const BSTR, LONG, IWbemContext*, IWbemServices**, IWbemCallResult**))
    FAKE_COM_UNUSED(CancelAsyncCall, (IWbemObjectSink*))
    FAKE_COM_UNUSED(QueryObjectSink, (LONG, IWbemObjectSink**))
    FAKE_COM_UNUSED(GetObject, (const BSTR, LONG, IWbemContext*, IWbemClassObject**, IWbemCallResult**))
    FAKE_COM_UNUSED(GetObjectAsync, (const BSTR, LONG, IWbemContext*, IWbemObjectSink*))
    FAKE_COM_UNUSED(PutClass, (IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**))
    FAKE_COM_UNUSED(PutClassAsync, (IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*))
    FAKE_COM_UNUSED(DeleteClass, (const BSTR, LONG, IWbemContext*, IWbemCallResult**))
    FAKE_COM_UNUSED(DeleteClassAsync, (const BSTR, LONG, IWbemContext*, IWbemObjectSink*))
    FAKE_COM_UNUSED(CreateClassEnum, (const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**))
    FAKE_COM_UNUSED(CreateClassEnumAsync, (const BSTR, LONG, IWbemContext*, IWbemObjectSink*))
    FAKE_COM_UNUSED(PutInstance, (IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**))
    FAKE_COM_UNUSED(PutInstanceAsync, (IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*))
    FAKE_COM_UNUSED(DeleteInstance, (const BSTR, LONG, IWbemContext*, IWbemCallResult**))
    FAKE_COM_UNUSED(DeleteInstanceAsync, (const BSTR, LONG, IWbemContext*, IWbemObjectSink*))
    FAKE_COM_UNUSED(CreateInstanceEnum, (const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**))
    FAKE_COM_UNUSED(CreateInstanceEnumAsync, (const BSTR, LONG, IWbemContext*, IWbemObjectSink*))
    FAKE_COM_UNUSED(ExecQueryAsync, (const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*))
    FAKE_COM_UNUSED(ExecNotificationQuery, (const BSTR, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**))
    FAKE_COM_UNUSED(ExecNotificationQueryAsync, (const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*))
    FAKE_COM_UNUSED(ExecMethod,
                    (const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*, IWbemClassObject**, IWbemCallResult**))
    FAKE_COM_UNUSED(ExecMethodAsync, (const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*, IWbemObjectSink*))
};

} // namespace testsupport
