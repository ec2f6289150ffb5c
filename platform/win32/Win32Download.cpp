// The internet download: URLDownloadToFileA on a thread of its own, in its own apartment, while
// the window waits for it with its messages processed; and DeleteUrlCacheEntry. The wait ends at
// the limits whatever the download does: past them it is abandoned, and ends on its own.
#include "platform/win32/Ansi.h"
#include "platform/win32/Com.h"
#include "platform/win32/Services.h"

#include <windows.h> // first: the headers below need its types

#include <urlmon.h>
#include <wininet.h>

namespace platform::win32 {

namespace {

enum : LONG { kRunning = 0, kAbandoned = 1, kDelivered = 2 };

// One download, shared by the waiting window and the downloading thread: the last of the two to
// let go of it deletes it.
struct Job {
    std::string url, target, part; // ANSI; the answer arrives in part, then replaces target
    DWORD start = GetTickCount();
    DWORD connectMs = 0, totalMs = 0;
    volatile LONG references = 2;
    volatile LONG connected = 0;
    volatile LONG state = kRunning;
    bool fetched = false; // read once the thread has ended

    void release() {
        if (InterlockedDecrement(&references) == 0)
            delete this;
    }
    // The limit that applies now, in milliseconds from the start.
    DWORD limit() const { return connected ? totalMs : (connectMs < totalMs ? connectMs : totalMs); }
};

// Asks for a fresh copy and stops the download once the window gave up on it.
class Callback : public IBindStatusCallback, public IHttpNegotiate {
public:
    explicit Callback(Job& job) : job_(job) {}

    // IUnknown: the object lives on the thread's stack for the whole download.
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

    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetPriority(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG, ULONG, ULONG status, LPCWSTR) override {
        // The request goes out once the connection stands.
        if (status == BINDSTATUS_SENDINGREQUEST || status == BINDSTATUS_BEGINDOWNLOADDATA ||
            status == BINDSTATUS_DOWNLOADINGDATA || status == BINDSTATUS_ENDDOWNLOADDATA)
            InterlockedExchange(&job_.connected, 1);
        return job_.state == kAbandoned ? E_ABORT : S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
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
    Job& job_;
};

DWORD WINAPI downloadThread(void* context) {
    Job& job = *static_cast<Job*>(context);
    {
        const ComScope com;
        Callback callback(job);
        const HRESULT result = URLDownloadToFileA(nullptr, job.url.c_str(), job.part.c_str(), 0, &callback);
        // The answer replaces the target only while the window still waits for it.
        if (result == S_OK && InterlockedCompareExchange(&job.state, kDelivered, kRunning) == kRunning)
            job.fetched = MoveFileExA(job.part.c_str(), job.target.c_str(),
                                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        DeleteFileA(job.part.c_str());
    }
    job.release();
    return 0;
}

// Repaints, timers and posted messages go on while the window waits; the user's input waits
// for the answer, as it would for any other busy moment.
void processWaitingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_POSTMESSAGE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam)); // for the window's own loop
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Waits for the thread until the job's limit; true when it ended within it.
bool waitWithin(Job& job, HANDLE thread) {
    for (;;) {
        const DWORD elapsed = GetTickCount() - job.start;
        const DWORD limit = job.limit();
        if (elapsed >= limit)
            return false;
        // Not past the connection's limit unseen: the thread may connect meanwhile.
        const DWORD slice = limit - elapsed < 50 ? limit - elapsed : 50;
        const DWORD woken =
            MsgWaitForMultipleObjects(1, &thread, FALSE, slice, QS_PAINT | QS_POSTMESSAGE | QS_TIMER);
        if (woken == WAIT_OBJECT_0)
            return true;
        if (woken == WAIT_FAILED)
            return false;
        processWaitingMessages();
    }
}

// A name for the answer in the target's folder, so that moving it over the target is a rename.
std::string partName(const std::string& ansiTarget) {
    const std::size_t slash = ansiTarget.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "." : ansiTarget.substr(0, slash + 1);
    char name[MAX_PATH + 1];
    return GetTempFileNameA(folder.c_str(), "kst", 0, name) ? std::string(name) : std::string();
}

} // namespace

bool Win32Download::toFile(const std::string& url, const std::string& path, const DownloadLimits& limits) {
    forgetCached(url);
    auto* job = new Job;
    job->url = ansi(url);
    job->target = ansi(path);
    job->part = partName(job->target);
    job->connectMs = static_cast<DWORD>(limits.connect.count());
    job->totalMs = static_cast<DWORD>(limits.total.count());
    const HANDLE thread =
        job->part.empty() ? nullptr : CreateThread(nullptr, 0, downloadThread, job, 0, nullptr);
    if (!thread) {
        if (!job->part.empty())
            DeleteFileA(job->part.c_str());
        delete job;
        return false;
    }
    bool ended = waitWithin(*job, thread);
    // Past the limit: abandoned, unless the answer is being put in place this very moment.
    if (!ended && InterlockedCompareExchange(&job->state, kAbandoned, kRunning) == kDelivered)
        ended = WaitForSingleObject(thread, INFINITE) == WAIT_OBJECT_0;
    CloseHandle(thread);
    const bool fetched = ended && job->fetched;
    job->release();
    return fetched;
}

void Win32Download::forgetCached(const std::string& url) {
    DeleteUrlCacheEntryA(ansi(url).c_str());
}

} // namespace platform::win32
