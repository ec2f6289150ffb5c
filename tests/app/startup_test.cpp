#include "AppFixture.h"

using testing_support::AppFixture;
using testing_support::programFolder;

namespace {

std::vector<std::string> registrations(const std::vector<std::string>& journal) {
    std::vector<std::string> lines;
    for (const auto& line : journal)
        if (line.find("regsvr32") != std::string::npos)
            lines.push_back(line);
    return lines;
}

using StartupTest = AppFixture;

TEST_F(StartupTest, FirstRunRegistersInOrderAndWaitsThreeSecondsBeforeTheMainWindow) {
    std::int64_t activatedAt = -1;
    create();
    f().onActivate = [&] { activatedAt = tm.clock->slept(); };
    EXPECT_EQ(registrations(tm.journal()),
              (std::vector<std::string>{"CMD /c regsvr32 /s jscript.dll", "CMD /c regsvr32 /s vbscript.dll",
                                        "CMD /c regsvr32 /s mshtml.dll", "CMD /c regsvr32 /s msscript.ocx"}));
    EXPECT_EQ(program->splash(), nullptr);
    program->run();
    EXPECT_GE(activatedAt, 3000);
    EXPECT_TRUE(exists(std::string(programFolder) + "Kestrafen.ini"));

    // The next start is an ordinary one.
    const auto before = tm.clock->slept();
    create();
    program->run();
    EXPECT_EQ(registrations(tm.journal()).size(), 4u);
    EXPECT_LT(tm.clock->slept() - before, 3000);
}

TEST_F(StartupTest, SplashTurnsOpaqueOnlyOnAFirstRun) {
    platform = std::make_unique<platform::Platform>(tm.machine->platform());
    SplashScreen splash(app, *platform);
    EXPECT_EQ(splash.opacity(), 0);
    EXPECT_EQ(splash.Label1.caption(), "Premier chargement de Kestrafen...");
    splash.FormActivate();
    EXPECT_EQ(splash.opacity(), 255);

    ordinaryStart();
    SplashScreen again(app, *platform);
    again.FormActivate();
    EXPECT_EQ(again.opacity(), 0);
}

TEST_F(StartupTest, OlderSettingsFileIsRenamedAndNothingIsRegistered) {
    tm.write(std::string(programFolder) + "configuration2.ini", "[Kestrafen]\r\nLangue=English\r\n");
    startProgram();
    EXPECT_FALSE(exists(std::string(programFolder) + "configuration2.ini"));
    EXPECT_TRUE(registrations(tm.journal()).empty());
    EXPECT_EQ(s().language.name(), "English");
    EXPECT_LT(tm.clock->slept(), 3000);
}

TEST_F(StartupTest, BothSettingsFilesPresentLeavesTheOlderOneAlone) {
    ordinaryStart();
    tm.write(std::string(programFolder) + "configuration2.ini", "[Kestrafen]\r\nLangue=English\r\n");
    startProgram();
    EXPECT_EQ(tm.read(std::string(programFolder) + "configuration2.ini"), "[Kestrafen]\r\nLangue=English\r\n");
    EXPECT_TRUE(registrations(tm.journal()).empty());
    EXPECT_EQ(s().language.name(), "Français");
}

TEST_F(StartupTest, WindowsAreCreatedWithTheirFixedProperties) {
    ordinaryStart();
    startProgram();
    EXPECT_EQ(app.title(), "Kestrafen");
    EXPECT_EQ(f().caption(), "Kestrafen 1.3D - mavo41");
    EXPECT_EQ(f().clientWidth, 712);
    EXPECT_EQ(f().clientHeight, 462);
    EXPECT_EQ(app.mainForm(), &f());
    EXPECT_EQ(program->quotationWindow().clientWidth, 360);
}

} // namespace
