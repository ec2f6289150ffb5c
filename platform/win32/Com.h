#pragma once
// The little of COM the System Restore service needs: an owning interface pointer, BSTRs from
// UTF-8, and HRESULT failures as platform errors naming the call.
#include <windows.h> // first: the headers below need its types

#include <oleauto.h>

#include <cstdint>
#include <string>

struct IWbemClassObject;

namespace platform::win32 {

template <class T> class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For calls that hand out a new reference.
    T** out() {
        reset();
        return &p_;
    }
    void reset() {
        if (p_)
            p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

class Bstr {
public:
    explicit Bstr(const std::string& utf8Text);
    ~Bstr() { SysFreeString(b_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return b_; }

private:
    BSTR b_;
};

std::string toUtf8(const wchar_t* wide);

// Throws platform::Error "<what> failed (0x8004100E)" when the call failed.
void check(HRESULT result, const std::string& what);

// The ReturnValue of a WMI method's out-parameters: 0 (accepted) when the method gives none.
std::uint32_t returnValue(IWbemClassObject* outParameters);

// COM for the calling thread while the object lives (the program has one thread).
class ComScope {
public:
    ComScope();
    ~ComScope();
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialised_;
};

} // namespace platform::win32
