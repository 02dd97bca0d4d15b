#pragma once

#include <windows.h>
#include <unknwn.h>

#include <string>
#include <vector>

// A method of the faked interface that the code under test never calls.
#define FAKE_COM_UNUSED(method, parameters) \
    HRESULT STDMETHODCALLTYPE method parameters override { return E_NOTIMPL; }

namespace testsupport {

// What happened to a set of test doubles, in order ("release locator", ...).
typedef std::vector<std::string> ComJournal;

// IUnknown for a COM test double that the test owns: counts the references
// the code under test holds and notes the last release (or one too many) in
// the journal. The object itself lives as long as the test keeps it.
template <typename Interface>
class FakeComObject : public Interface {
public:
    FakeComObject(const std::string& name, ComJournal* journal) : name_(name), journal_(journal) {}
    virtual ~FakeComObject() {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        if (references_ == 0) {
            Note("over-release " + name_);
            return 0;
        }
        if (--references_ == 0) {
            Note("release " + name_);
        }
        return references_;
    }

    // References held by the code under test.
    ULONG references() const { return references_; }
    // The object as an out parameter hands it: with a reference added.
    Interface* HandOut()
    {
        AddRef();
        return this;
    }

protected:
    void Note(const std::string& event)
    {
        if (journal_ != nullptr) {
            journal_->push_back(event);
        }
    }

private:
    std::string name_;
    ComJournal* journal_;
    ULONG references_ = 0;
};

} // namespace testsupport
