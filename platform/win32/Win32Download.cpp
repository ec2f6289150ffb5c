// The internet download: URLDownloadToFileA with a status callback that asks for a fresh copy and
// ends the download past its limits, and DeleteUrlCacheEntry.
#include "platform/win32/Ansi.h"
#include "platform/win32/Services.h"

#include <windows.h> // first: the headers below need its types

#include <urlmon.h>
#include <wininet.h>

namespace platform::win32 {

namespace {

// Watches one download. The download calls it on the caller's thread; a watchdog thread of its
// own aborts the binding when the server is silent, since no status comes then.
class BoundedDownload : public IBindStatusCallback, public IHttpNegotiate {
public:
    explicit BoundedDownload(const DownloadLimits& limits)
        : start_(GetTickCount()), connectMs_(static_cast<DWORD>(limits.connect.count())),
          totalMs_(static_cast<DWORD>(limits.total.count())) {
        InitializeCriticalSection(&lock_);
        done_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (done_)
            watchdog_ = CreateThread(nullptr, 0, &BoundedDownload::watch, this, 0, nullptr);
    }
    ~BoundedDownload() {
        if (done_)
            SetEvent(done_);
        if (watchdog_) {
            WaitForSingleObject(watchdog_, INFINITE);
            CloseHandle(watchdog_);
        }
        if (done_)
            CloseHandle(done_);
        releaseBinding();
        DeleteCriticalSection(&lock_);
    }
    BoundedDownload(const BoundedDownload&) = delete;
    BoundedDownload& operator=(const BoundedDownload&) = delete;

    // True when the watch could not start: the download must not run without its limits.
    bool unwatched() const { return watchdog_ == nullptr; }
    bool expired() const { return expired_ != 0; }

    // IUnknown: the object lives on the caller's stack for the whole download.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback)) {
            *object = static_cast<IBindStatusCallback*>(this);
            return S_OK;
        }
        if (IsEqualIID(riid, IID_IHttpNegotiate)) {
            *object = static_cast<IHttpNegotiate*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding* binding) override {
        EnterCriticalSection(&lock_);
        if (binding)
            binding->AddRef();
        binding_ = binding;
        LeaveCriticalSection(&lock_);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPriority(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG, ULONG, ULONG status, LPCWSTR) override {
        // The request goes out once the connection stands.
        if (status == BINDSTATUS_SENDINGREQUEST || status == BINDSTATUS_BEGINDOWNLOADDATA ||
            status == BINDSTATUS_DOWNLOADINGDATA || status == BINDSTATUS_ENDDOWNLOADDATA)
            InterlockedExchange(&connected_, 1);
        return checkLimits() ? S_OK : E_ABORT;
    }
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT, LPCWSTR) override {
        releaseBinding();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO*) override {
        // From the server every time, with a request that tells caches on the way to ask it too.
        *flags |= BINDF_GETNEWESTVERSION | BINDF_RESYNCHRONIZE | BINDF_PRAGMA_NO_CACHE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

    // The same in the request itself, for proxies and for systems that take no binding flags.
    HRESULT STDMETHODCALLTYPE BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additional) override {
        static const wchar_t headers[] = L"Cache-Control: no-cache\r\nPragma: no-cache\r\n";
        *additional = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof headers));
        if (*additional)
            CopyMemory(*additional, headers, sizeof headers);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnResponse(DWORD, LPCWSTR, LPCWSTR, LPWSTR* additional) override {
        *additional = nullptr;
        return S_OK;
    }

private:
    // False, once and for good, when a limit has passed.
    bool checkLimits() {
        const DWORD elapsed = GetTickCount() - start_;
        if (elapsed >= totalMs_ || (!connected_ && elapsed >= connectMs_))
            InterlockedExchange(&expired_, 1);
        return !expired_;
    }

    void releaseBinding() {
        EnterCriticalSection(&lock_);
        if (binding_)
            binding_->Release();
        binding_ = nullptr;
        LeaveCriticalSection(&lock_);
    }

    static DWORD WINAPI watch(void* self) {
        auto* download = static_cast<BoundedDownload*>(self);
        while (WaitForSingleObject(download->done_, 50) == WAIT_TIMEOUT) {
            if (download->checkLimits())
                continue;
            // Held by a reference of its own: the abort may end the binding meanwhile.
            EnterCriticalSection(&download->lock_);
            IBinding* binding = download->binding_;
            if (binding)
                binding->AddRef();
            LeaveCriticalSection(&download->lock_);
            if (binding) {
                binding->Abort();
                binding->Release();
            }
            break;
        }
        return 0;
    }

    const DWORD start_;
    const DWORD connectMs_;
    const DWORD totalMs_;
    volatile LONG connected_ = 0;
    volatile LONG expired_ = 0;
    CRITICAL_SECTION lock_;
    IBinding* binding_ = nullptr;
    HANDLE done_ = nullptr;
    HANDLE watchdog_ = nullptr;
};

} // namespace

bool Win32Download::toFile(const std::string& url, const std::string& path, const DownloadLimits& limits) {
    BoundedDownload watch(limits);
    if (watch.unwatched())
        return false;
    forgetCached(url);
    const HRESULT result = URLDownloadToFileA(nullptr, ansi(url).c_str(), ansi(path).c_str(), 0, &watch);
    return result == S_OK && !watch.expired();
}

void Win32Download::forgetCached(const std::string& url) {
    DeleteUrlCacheEntryA(ansi(url).c_str());
}

} // namespace platform::win32
