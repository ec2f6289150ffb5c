// System Restore on the real service: WMI through COM for the enumeration and the automation
// object, srclient.dll loaded at run time for creating and removing points.
#include "platform/Error.h"
#include "platform/win32/Ansi.h"
#include "platform/win32/Com.h"
#include "platform/win32/Services.h"

#include <windows.h> // first: the headers below need its types

#include <wbemidl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

namespace platform::win32 {

Bstr::Bstr(const std::string& utf8Text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), static_cast<int>(utf8Text.size()), nullptr, 0);
    b_ = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), static_cast<int>(utf8Text.size()), b_, length);
}

std::string toUtf8(const wchar_t* wide) {
    if (!wide)
        return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string out(length > 0 ? length - 1 : 0, '\0');
    if (length > 1)
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), length, nullptr, nullptr);
    return out;
}

void check(HRESULT result, const std::string& what) {
    if (SUCCEEDED(result))
        return;
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    throw automationFailed(what + " failed (" + code + ")", what + " (" + code + ")");
}

ComScope::ComScope() {
    const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    initialised_ = SUCCEEDED(result); // S_FALSE too: already on, one more to balance
}

ComScope::~ComScope() {
    if (initialised_)
        CoUninitialize();
}

namespace {

constexpr const char* kNamespace = "ROOT\\default";
constexpr const char* kClass = "SystemRestore";

// SWbemLocator.ConnectServer on ROOT\default, waiting at most the service's own limit.
void connect(ComPtr<IWbemServices>& services) {
    ComPtr<IWbemLocator> locator;
    check(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                           reinterpret_cast<void**>(locator.out())),
          "SWbemLocator");
    const Bstr space(kNamespace);
    check(locator->ConnectServer(space.get(), nullptr, nullptr, nullptr, WBEM_FLAG_CONNECT_USE_MAX_WAIT,
                                 nullptr, nullptr, services.out()),
          "SWbemLocator.ConnectServer");
    // The scripting objects impersonate the caller; the raw interface must be told to.
    check(CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                            RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE),
          "SWbemLocator.ConnectServer (security)");
}

WmiValue toWmi(const VARIANT& value) {
    switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
        return WmiValue();
    case VT_BSTR:
        return WmiValue(toUtf8(value.bstrVal));
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_BOOL: {
        VARIANT number;
        VariantInit(&number);
        if (FAILED(VariantChangeType(&number, const_cast<VARIANT*>(&value), 0, VT_I8)))
            return WmiValue(); // no number rather than whatever the variant held
        return WmiValue(static_cast<long long>(number.llVal));
    }
    default: {
        // Anything else reaches the program as its text, as the scripting objects give it.
        VARIANT textValue;
        VariantInit(&textValue);
        if (FAILED(VariantChangeType(&textValue, const_cast<VARIANT*>(&value), 0, VT_BSTR)))
            return WmiValue();
        WmiValue result(toUtf8(textValue.bstrVal));
        VariantClear(&textValue);
        return result;
    }
    }
}

WmiInstance properties(IWbemClassObject& object) {
    WmiInstance instance;
    check(object.BeginEnumeration(WBEM_FLAG_NONSYSTEM_ONLY), "SWbemObject.Properties_");
    for (;;) {
        BSTR name = nullptr;
        VARIANT value;
        VariantInit(&value);
        if (object.Next(0, &name, &value, nullptr, nullptr) != WBEM_S_NO_ERROR)
            break;
        instance.push_back({toUtf8(name), toWmi(value)});
        SysFreeString(name);
        VariantClear(&value);
    }
    object.EndEnumeration();
    return instance;
}

} // namespace

std::uint32_t returnValue(IWbemClassObject* outParameters) {
    if (!outParameters)
        return 0;
    VARIANT value;
    VariantInit(&value);
    if (FAILED(outParameters->Get(L"ReturnValue", 0, &value, nullptr, nullptr)))
        return 0;
    const WmiValue number = toWmi(value);
    VariantClear(&value);
    // None at all reads as 0, as a script reads it; a text that is no number throws.
    return number.isNull() ? 0 : static_cast<std::uint32_t>(number.asInteger());
}

namespace {

// The automation object: late-bound method calls on the class, as the script host makes them.
class WmiAutomation : public SrAutomation {
public:
    WmiAutomation() { connect(services_); }

    std::uint32_t Restore(std::int32_t sequenceNumber) override {
        VARIANT number;
        VariantInit(&number);
        number.vt = VT_I4;
        number.lVal = sequenceNumber;
        return call("Restore", "SequenceNumber", number);
    }
    std::uint32_t Enable(const std::string& drive) override { return call("Enable", "Drive", text(drive)); }
    std::uint32_t Disable(const std::string& drive) override { return call("Disable", "Drive", text(drive)); }

private:
    static VARIANT text(const std::string& utf8Text) {
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_BSTR;
        const Bstr wide(utf8Text);
        value.bstrVal = SysAllocString(wide.get());
        return value;
    }

    // The method's ReturnValue; the call itself failing throws.
    std::uint32_t call(const std::string& method, const std::string& parameter, VARIANT argument) {
        const std::string what = std::string(kClass) + "." + method;
        const Bstr className(kClass), methodName(method), parameterName(parameter);
        ComPtr<IWbemClassObject> classObject, signature, inParameters, outParameters;
        try {
            check(services_->GetObject(className.get(), 0, nullptr, classObject.out(), nullptr), what);
            check(classObject->GetMethod(methodName.get(), 0, signature.out(), nullptr), what);
            IWbemClassObject* arguments = nullptr;
            if (signature) {
                check(signature->SpawnInstance(0, inParameters.out()), what);
                check(inParameters->Put(parameterName.get(), 0, &argument, 0), what);
                arguments = inParameters.get();
            }
            check(services_->ExecMethod(className.get(), methodName.get(), 0, nullptr, arguments,
                                        outParameters.out(), nullptr),
                  what);
        } catch (...) {
            VariantClear(&argument);
            throw;
        }
        VariantClear(&argument);
        return returnValue(outParameters.get());
    }

    ComScope com_;
    ComPtr<IWbemServices> services_;
};

// The date as a file time, or nothing when it is no real date of the range Windows can hold.
std::optional<FILETIME> toFileTime(int year, int month, int day, int hour, int minute, int second) {
    if (year < 1601 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    SYSTEMTIME fields{};
    fields.wYear = static_cast<WORD>(year);
    fields.wMonth = static_cast<WORD>(month);
    fields.wDay = static_cast<WORD>(day);
    fields.wHour = static_cast<WORD>(hour);
    fields.wMinute = static_cast<WORD>(minute);
    fields.wSecond = static_cast<WORD>(second);
    FILETIME time;
    if (!SystemTimeToFileTime(&fields, &time))
        return std::nullopt;
    return time;
}

// srclient.dll's two entry points, found at run time: the library is absent where System
// Restore is not installed. The records are passed byte for byte (packed, 80 and 12 bytes).
using SetRestorePointFn = BOOL(WINAPI*)(void* info, void* status);
using RemoveRestorePointFn = DWORD(WINAPI*)(DWORD sequenceNumber);

// Taken from the system folder only: the program runs as administrator. A failed load is tried
// again at the next call, so its error is today's.
HMODULE srclientLibrary() {
    static HMODULE library = nullptr;
    if (!library)
        library = static_cast<HMODULE>(loadSystemLibrary("srclient.dll"));
    if (!library)
        throw Error("srclient.dll: " + systemMessage(GetLastError()));
    return library;
}

template <class Function> Function srclient(const char* function) {
    const HMODULE library = srclientLibrary();
    const FARPROC address = GetProcAddress(library, function);
    if (!address)
        throw Error(std::string("srclient.dll: ") + function + ": " + systemMessage(GetLastError()));
    // Through a generic function type: the exported address has the type its caller declares.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

} // namespace

std::unique_ptr<SrAutomation> Win32SystemRestore::automationObject() {
    return std::make_unique<WmiAutomation>();
}

std::vector<WmiInstance> Win32SystemRestore::restorePoints() {
    ComScope com;
    ComPtr<IWbemServices> services;
    connect(services);
    ComPtr<IEnumWbemClassObject> instances;
    const Bstr className(kClass);
    check(services->CreateInstanceEnum(className.get(), WBEM_FLAG_SHALLOW, nullptr, instances.out()),
          "SWbemServices.InstancesOf");
    std::vector<WmiInstance> points;
    for (;;) {
        ComPtr<IWbemClassObject> object;
        ULONG returned = 0;
        const HRESULT result = instances->Next(WBEM_INFINITE, 1, object.out(), &returned);
        check(result, "SWbemObjectSet");
        if (returned == 0)
            break;
        WmiInstance point = properties(*object.get());
        // Every restore point has a creation time. Wine's stand-in service lists one instance
        // without any, which is no point: handed on, it would fail the date conversion.
        const bool dated = std::any_of(point.begin(), point.end(), [](const WmiProperty& property) {
            return property.name == "CreationTime" && !property.value.isNull();
        });
        if (dated)
            points.push_back(std::move(point));
    }
    return points;
}

LocalDateTime Win32SystemRestore::toLocalTime(int year, int month, int day, int hour, int minute, int second,
                                              int microseconds, int utcOffsetMinutes) {
    const std::optional<FILETIME> stamp = toFileTime(year, month, day, hour, minute, second);
    if (!stamp || microseconds < 0 || microseconds > 999999 || utcOffsetMinutes < -999 ||
        utcOffsetMinutes > 999) {
        char cim[64];
        std::snprintf(cim, sizeof cim, "%04d%02d%02d%02d%02d%02d.%06d%+04d", year, month, day, hour, minute,
                      second, microseconds, utcOffsetMinutes);
        throw invalidDateTime(cim);
    }
    ULARGE_INTEGER ticks;
    ticks.LowPart = stamp->dwLowDateTime;
    ticks.HighPart = stamp->dwHighDateTime;
    ticks.QuadPart -= static_cast<ULONGLONG>(static_cast<LONGLONG>(utcOffsetMinutes) * 60 * 10000000LL);
    FILETIME shifted;
    shifted.dwLowDateTime = ticks.LowPart;
    shifted.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME utc{}, local{};
    if (!FileTimeToSystemTime(&shifted, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        throw Error("Invalid date-time value: " + systemMessage(GetLastError()));
    return LocalDateTime{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

bool Win32SystemRestore::SRSetRestorePointA(const RestorePointInfoA& info, StateMgrStatus& status) {
    const auto function = srclient<SetRestorePointFn>("SRSetRestorePointA");
    std::array<std::uint8_t, 80> record = info.bytes();
    std::uint8_t statusRecord[12] = {};
    const BOOL done = function(record.data(), statusRecord);
    std::uint32_t code = 0;
    std::int64_t sequence = 0;
    std::memcpy(&code, statusRecord, 4); // little-endian, as the machine
    std::memcpy(&sequence, statusRecord + 4, 8);
    status = StateMgrStatus{code, sequence};
    return done != FALSE;
}

const text::AnsiCodePage& Win32SystemRestore::codePage() const {
    return systemCodePage();
}

std::uint32_t Win32SystemRestore::SRRemoveRestorePoint(std::uint32_t sequenceNumber) {
    // Wine's own srclient has no such function: calling its stub ends the process. Refuse instead.
    // (Wine marks the images of its own DLLs after their DOS header.)
    static const char kWineMark[] = "Wine builtin DLL";
    if (runningOnWine() && std::memcmp(reinterpret_cast<const char*>(srclientLibrary()) + 0x40, kWineMark,
                                       sizeof kWineMark - 1) == 0)
        return ERROR_CALL_NOT_IMPLEMENTED;
    const auto function = srclient<RemoveRestorePointFn>("SRRemoveRestorePoint");
    return function(sequenceNumber);
}

} // namespace platform::win32

namespace platform::win32 {

// The fixed drives with their sizes; which of them System Restore watches is kept in its own
// store, which the program does not read, so that stays unknown here.
std::vector<DriveState> Win32SystemRestore::drives() {
    std::vector<DriveState> found;
    const DWORD letters = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(letters & (1u << i)))
            continue;
        const std::string root = std::string(1, static_cast<char>('A' + i)) + ":\\";
        if (GetDriveTypeA(root.c_str()) != DRIVE_FIXED)
            continue;
        ULARGE_INTEGER available{}, total{};
        std::optional<std::uint64_t> size;
        if (GetDiskFreeSpaceExA(root.c_str(), &available, &total, nullptr))
            size = total.QuadPart;
        found.push_back({root, std::nullopt, size});
    }
    return found;
}

} // namespace platform::win32
