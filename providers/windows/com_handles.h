// Owners for the COM resources of one query cycle: an interface pointer, a BSTR and a VARIANT.
// Each gives its resource back exactly once, on every path out of the cycle.
#pragma once

#include <oaidl.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace moravel::windows {

// An interface pointer that is released when its owner goes.
template <class Interface>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ~ComPtr() { reset(); }

    void reset() {
        if (pointer_) std::exchange(pointer_, nullptr)->Release();
    }
    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For the out-parameter of a call that yields a new reference.
    Interface** receive() {
        reset();
        return &pointer_;
    }
    void** receiveVoid() { return reinterpret_cast<void**>(receive()); }

private:
    Interface* pointer_ = nullptr;
};

// A BSTR made from wide text, freed when its owner goes. Holds nullptr if allocation failed.
class Bstr {
public:
    explicit Bstr(const std::wstring& text) : bstr_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(bstr_); }

    BSTR get() const { return bstr_; }
    explicit operator bool() const { return bstr_ != nullptr; }

private:
    BSTR bstr_;
};

// A VARIANT that is cleared when its owner goes.
class Variant {
public:
    Variant() { VariantInit(&variant_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&variant_); }

    VARIANT* get() { return &variant_; }
    const VARIANT& operator*() const { return variant_; }

private:
    VARIANT variant_;
};

}  // namespace moravel::windows
