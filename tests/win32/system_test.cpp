// Environment, clock and System Restore on Wine. Wine's System Restore is a stand-in: it holds
// no restore point and refuses to create one, so only the plumbing is tested here.
#include "Scratch.h"

#include "platform/Error.h"
#include "platform/win32/Com.h"

#include <gtest/gtest.h>

#include <ctime>

#include <wbemidl.h>
#include <windows.h>

using namespace platform;

TEST(EnvironmentTest, ReadsSetVariablesOfAnyLengthAndNothingForUnsetOnes) {
    win32::Win32Environment environment;
    SetEnvironmentVariableA("KESTRAFEN_LONG", std::string(1000, 'x').c_str());
    SetEnvironmentVariableA("KESTRAFEN_EMPTY", "");
    SetEnvironmentVariableA("KESTRAFEN_ACCENT", "Cr\xE9"
                                                "er");
    EXPECT_EQ(environment.get("KESTRAFEN_LONG"), std::string(1000, 'x'));
    EXPECT_EQ(environment.get("KESTRAFEN_EMPTY"), "");
    EXPECT_EQ(environment.get("KESTRAFEN_ACCENT"), "Créer");
    EXPECT_EQ(environment.get("KESTRAFEN_UNSET"), std::nullopt);
    EXPECT_TRUE(environment.get("Windir").has_value());
}

TEST(ProcessTest, TheClockAdvancesWhileSleeping) {
    win32::Win32Process process;
    const auto before = process.nowMs();
    process.sleep(120);
    EXPECT_GE(process.nowMs() - before, 100);
    process.trimWorkingSet();
}

TEST(ProcessTest, TheWallClockIsTheSystemsUtcTime) {
    win32::Win32Process process;
    // The C runtime's clock counts from 1970 in UTC too.
    EXPECT_NEAR(static_cast<double>(process.unixSeconds()), static_cast<double>(std::time(nullptr)), 2.0);
    EXPECT_GT(process.unixSeconds(), 1700000000); // after November 2023
}

TEST(SystemRestoreTest, ListsTheFixedDrivesWithoutClaimingTheirMonitoring) {
    win32::Win32SystemRestore service;
    const auto drives = service.drives();
    ASSERT_FALSE(drives.empty());
    EXPECT_EQ(drives.front().root, "C:\\"); // in letter order, and Wine's C: is fixed
    for (const auto& d : drives) {
        EXPECT_EQ(d.root.size(), 3u) << d.root;
        EXPECT_EQ(d.monitored, std::nullopt) << d.root;
    }
    EXPECT_GT(drives.front().totalBytes.value_or(0), 0u);
}

TEST(SystemRestoreTest, RunsOnWineIsTrueHere) {
    EXPECT_TRUE(win32::runningOnWine()); // these tests run under Wine; the guard below relies on it
}

TEST(SystemRestoreTest, TheEnumerationConnectsAndListsNoPointOnWinesStandIn) {
    // Wine's service holds one instance without a creation time, which is no restore point.
    win32::Win32SystemRestore service;
    EXPECT_TRUE(service.restorePoints().empty());
}

TEST(SystemRestoreTest, CimDateTimesBecomeLocalTime) {
    // The script runs the tests with TZ=Europe/Paris: UTC+1 in winter, UTC+2 in summer.
    win32::Win32SystemRestore service;
    struct Case {
        int year, month, day, hour, minute, offset;
        LocalDateTime local;
    };
    const std::vector<Case> cases = {
        {2006, 11, 10, 12, 30, 0, {2006, 11, 10, 13, 30, 0}},  // winter, given in UTC
        {2006, 7, 1, 12, 0, 0, {2006, 7, 1, 14, 0, 0}},        // summer, given in UTC
        {2006, 11, 10, 12, 30, 60, {2006, 11, 10, 12, 30, 0}}, // already local
        {2006, 12, 31, 23, 30, -300, {2007, 1, 1, 5, 30, 0}},  // New York's evening, next day here
    };
    for (const Case& c : cases) {
        const LocalDateTime got =
            service.toLocalTime(c.year, c.month, c.day, c.hour, c.minute, 15, 0, c.offset);
        EXPECT_EQ(
            std::vector<int>({got.year, got.month, got.day, got.hour, got.minute, got.second}),
            std::vector<int>({c.local.year, c.local.month, c.local.day, c.local.hour, c.local.minute, 15}))
            << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute << " "
            << c.offset;
    }
    EXPECT_THROW(service.toLocalTime(2006, 2, 30, 0, 0, 0, 0, 0), Error);
    EXPECT_THROW(service.toLocalTime(2006, 13, 1, 0, 0, 0, 0, 0), Error);
    EXPECT_THROW(service.toLocalTime(2006, 1, 1, 0, 0, 0, 1000000, 0), Error);
}

TEST(SystemRestoreTest, WinesStandInRefusesToCreateAPointAndRemovalIsNeverCalled) {
    KESTRAFEN_ONLY_UNDER_WINE();
    win32::Win32SystemRestore service;
    RestorePointInfoA info;
    info.eventType = 100;
    info.restorePointType = 0;
    const std::string title = "Kestrafen test";
    std::copy(title.begin(), title.end(), info.description.begin());
    StateMgrStatus status{12345, 678};
    EXPECT_FALSE(service.SRSetRestorePointA(info, status));
    // Removal would end the process on Wine: the guard answers instead.
    EXPECT_EQ(service.SRRemoveRestorePoint(1), static_cast<std::uint32_t>(ERROR_CALL_NOT_IMPLEMENTED));
}

TEST(SystemRestoreTest, TheAutomationObjectCallsTheServicesMethods) {
    KESTRAFEN_ONLY_UNDER_WINE();
    // Wine's methods do nothing, but the call goes the whole way: class, method signature, input
    // parameters, execution, and the ReturnValue of Enable's out-parameters (Disable and Restore
    // give none on Wine).
    win32::Win32SystemRestore service;
    const auto automation = service.automationObject();
    ASSERT_NE(automation, nullptr);
    EXPECT_EQ(automation->Enable("C:\\"), 0u);
    EXPECT_EQ(automation->Disable("C:\\"), 0u);
    EXPECT_EQ(automation->Restore(1), 0u);
}

TEST(SystemRestoreTest, AMethodAnswersWhatItsOutParametersSay) {
    // Wine's service accepts everything: its Enable signature's out-parameters, filled as the real
    // service fills them when it refuses, stand in for the answer.
    win32::ComScope com;
    win32::ComPtr<IWbemLocator> locator;
    win32::ComPtr<IWbemServices> services;
    win32::ComPtr<IWbemClassObject> restore, out, answer;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_IWbemLocator, reinterpret_cast<void**>(locator.out())));
    const win32::Bstr space("ROOT\\default"), name("SystemRestore"), method("Enable");
    ASSERT_HRESULT_SUCCEEDED(
        locator->ConnectServer(space.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, services.out()));
    ASSERT_HRESULT_SUCCEEDED(services->GetObject(name.get(), 0, nullptr, restore.out(), nullptr));
    ASSERT_HRESULT_SUCCEEDED(restore->GetMethod(method.get(), 0, nullptr, out.out()));
    ASSERT_TRUE(out);
    ASSERT_HRESULT_SUCCEEDED(out->SpawnInstance(0, answer.out()));
    VARIANT refused;
    VariantInit(&refused);
    refused.vt = VT_UI4;
    refused.ulVal = 1058; // the service is disabled
    ASSERT_HRESULT_SUCCEEDED(answer->Put(L"ReturnValue", 0, &refused, CIM_UINT32));
    EXPECT_EQ(win32::returnValue(answer.get()), 1058u);
    EXPECT_EQ(win32::returnValue(nullptr), 0u);
}
