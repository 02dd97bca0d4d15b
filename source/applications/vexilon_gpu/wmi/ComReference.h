#pragma once

// Owns one reference to a COM interface and releases it on reset() or at the
// end of its scope. Unlike some ComPtr ports, taking over a pointer never adds
// a reference.
template <typename Interface>
class ComReference {
public:
    ComReference() : pointer_(nullptr) {}
    // Takes over a reference the caller already holds.
    explicit ComReference(Interface* owned) : pointer_(owned) {}
    ~ComReference() { reset(); }

    ComReference(const ComReference&) = delete;
    ComReference& operator=(const ComReference&) = delete;

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    // The slot for an out parameter, emptied first.
    Interface** receive()
    {
        reset();
        return &pointer_;
    }

    void reset()
    {
        Interface* released = pointer_;
        pointer_ = nullptr;
        if (released != nullptr) {
            released->Release();
        }
    }

private:
    Interface* pointer_;
};
