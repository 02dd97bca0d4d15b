#pragma once

#include "FakeComObject.h"
#include "FakeWbemClassObject.h"

#include <vector>

namespace testsupport {

// A query result that hands out the test's rows one by one.
class FakeEnumWbemClassObject : public FakeComObject<IEnumWbemClassObject> {
public:
    explicit FakeEnumWbemClassObject(ComJournal* journal) : FakeComObject<IEnumWbemClassObject>("enumerator", journal)
    {
    }

    std::vector<FakeWbemClassObject*> rows;
    // What Next returns along with a row (the count alone should matter).
    HRESULT nextResult = WBEM_S_NO_ERROR;
    // The Next call with this number (from 0) fails and hands out nothing.
    int failingCall = -1;
    int calls = 0;

    HRESULT STDMETHODCALLTYPE Reset() override
    {
        position_ = 0;
        return WBEM_S_NO_ERROR;
    }
    HRESULT STDMETHODCALLTYPE Next(LONG, ULONG count, IWbemClassObject** objects, ULONG* returned) override
    {
        *returned = 0;
        if (calls++ == failingCall) {
            return WBEM_E_FAILED;
        }
        if (count == 0 || position_ >= rows.size()) {
            return WBEM_S_FALSE;
        }
        objects[0] = rows[position_++]->HandOut();
        *returned = 1;
        return nextResult;
    }
    FAKE_COM_UNUSED(NextAsync, (ULONG, IWbemObjectSink*))
    FAKE_COM_UNUSED(Clone, (IEnumWbemClassObject**))
    FAKE_COM_UNUSED(Skip, (LONG, ULONG))

private:
    std::size_t position_ = 0;
};

} // namespace testsupport
