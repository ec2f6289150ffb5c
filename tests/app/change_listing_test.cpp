// The change-log listing: checking the box makes and unpacks the diagnostic cabinet once, with its
// failures; a selection appends the records of its point.
#include "AppFixture.h"

#include "lang/Keys.h"
#include "platform/sim/Srdiag.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

using testing_support::AppFixture;
using testing_support::programFolder;

namespace {

namespace fs = std::filesystem;

std::string hostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

const std::string srdiagCommand = "CMD /c %Windir%\\system32\\Restore\\srdiag.exe /CabName:res.cab";
const std::string res = std::string(programFolder) + "res";
const std::string cabinet = std::string(programFolder) + "res.cab";
const std::string log = res + "\\SR-ChgLog.LOG";

// Records each change of a control's enabled state, in order.
struct EnabledLog : ui::ControlObserver {
    std::vector<std::string> changes;
    void changed(ui::Control& control, ui::Change what) override {
        if (what == ui::Change::Enabled)
            changes.push_back((control.enabled() ? "+" : "-") + control.name());
    }
};

struct ChangeListingTest : AppFixture {
    ChangeListingTest() { ordinaryStart(); }

    // The diagnostic tool's delay, on the machine's clock.
    void setToolDelay(long long ms) {
        tm.json()["system_restore"]["srdiag_ms"] = ms;
        saveJson();
    }
    int srdiagRuns() { return static_cast<int>(std::ranges::count(tm.journal(), srdiagCommand)); }
    std::vector<std::string> confirmations() {
        std::vector<std::string> texts;
        for (const auto& m : backend.messages())
            if (m.kind == ui::MessageKind::Confirmation)
                texts.push_back(m.text);
        return texts;
    }
    bool allEnabled() {
        const auto controls = f().mainControls();
        return std::ranges::all_of(controls, [](ui::Control* c) { return c->enabled(); });
    }
    void observe(EnabledLog& log) {
        for (ui::Control* c : f().mainControls())
            c->setObserver(&log);
    }
    // Puts bytes in place of the tool's cabinet as soon as the tool has made it and ended.
    void deliverCabinet(const std::string& bytes) {
        setToolDelay(1000);
        backend.onProcessMessages = [this, bytes] {
            if (platform->files.fileExists(cabinet) && tm.read(cabinet) != bytes) // the tool's, whole
                tm.write(cabinet, bytes);
        };
    }
};

TEST_F(ChangeListingTest, CheckingTheBoxMakesAndUnpacksTheCabinetOnce) {
    startProgram();
    // A cabinet left from elsewhere is not taken for the tool's.
    platform::sim::writeCabinet(tm.host(cabinet), {{"SR-ChgLog.LOG", "RPDir=OLD"}});
    EnabledLog order;
    observe(order);
    int waitsWithoutBusyCursor = 0;
    const std::string halfWritten = tm.read(cabinet).substr(0, 100);
    backend.onProcessMessages = [&] {
        waitsWithoutBusyCursor += !backend.busyCursor();
        // While the tool runs, its cabinet is there but not whole yet.
        if (srdiagRuns() == 1 && !exists(cabinet))
            tm.write(cabinet, halfWritten);
    };
    backend.setNextAnswer(true);
    f().Modifications.userClick();
    backend.onProcessMessages = nullptr;
    EXPECT_EQ(waitsWithoutBusyCursor, 0);
    EXPECT_FALSE(backend.busyCursor());

    EXPECT_EQ(confirmations(), std::vector<std::string>{lang::keys::atUseDefault("Question5")});
    EXPECT_EQ(srdiagRuns(), 1);
    EXPECT_EQ(tm.read(log), hostFile(tm.folder / "sr-chglog.log"));
    EXPECT_TRUE(f().Modifications.checked());
    EXPECT_TRUE(allEnabled());
    const std::vector<std::string> sequence = {"Creer",  "Detruire",  "Duree",   "Informations",
                                               "PointR", "Appliquer", "Activer", "Modifications",
                                               "Jour",   "Langue2"};
    std::vector<std::string> expected;
    for (const char* sign : {"-", "+"})
        for (const auto& name : sequence)
            expected.push_back(sign + name);
    EXPECT_EQ(order.changes, expected);
    for (ui::Control* c : f().mainControls())
        c->setObserver(nullptr);

    // The sample machine's log lists the installation of Office for its point.
    const auto& entries = f().PointR.items();
    const auto office = std::ranges::find_if(
        entries, [&](const std::string& e) { return cache(e, "DirectoryName") == "RP39"; });
    ASSERT_NE(office, entries.end());
    f().Informations.clear();
    app.dispatch([&] { f().listChanges(*office); });
    const auto& lines = f().Informations.lines();
    EXPECT_EQ(lines.size(), 2u + 6 * 10);
    EXPECT_EQ(std::ranges::count(lines, "EventString = FILE-CREATE"), 5);

    // Checked again later: the unpacked log is reused, nothing is asked or run.
    backend.clearMessages();
    tm.write(log, "RPDir=RP1");
    f().Modifications.userClick();
    f().Modifications.userClick();
    EXPECT_TRUE(f().Modifications.checked());
    EXPECT_TRUE(backend.messages().empty());
    EXPECT_EQ(srdiagRuns(), 1);
    EXPECT_EQ(tm.read(log), "RPDir=RP1");
}

TEST_F(ChangeListingTest, OnlyAMouseReleaseOverTheCheckedBoxAsksAndNoUnchecksIt) {
    startProgram();
    // The keyboard toggles the box and nothing else; unchecking by mouse asks nothing either.
    f().Modifications.userToggleByKey();
    EXPECT_TRUE(f().Modifications.checked());
    f().Modifications.userClick();
    EXPECT_FALSE(f().Modifications.checked());
    EXPECT_TRUE(confirmations().empty());

    // Checking by mouse asks; No unchecks the box.
    backend.setNextAnswer(false);
    f().Modifications.userClick();
    EXPECT_EQ(confirmations().size(), 1u);
    EXPECT_FALSE(f().Modifications.checked());

    // The release of another button over the checked box asks as well.
    f().Modifications.userToggleByKey();
    backend.setNextAnswer(false);
    f().Modifications.userMouseUp(ui::MouseButton::Right);
    EXPECT_EQ(confirmations().size(), 2u);
    EXPECT_FALSE(f().Modifications.checked());
    EXPECT_EQ(srdiagRuns(), 0);
    EXPECT_FALSE(exists(res));
}

// Every way the cabinet can fail to give a log: a message, the box unchecked, the controls
// enabled, and no res left behind, so the next check of the box tries again.
TEST_F(ChangeListingTest, FailuresToMakeTheLogAreReportedAndLeaveNoResBehind) {
    const fs::path made = tm.folder / "made.cab";
    platform::sim::writeCabinet(made, {{"SR-ChgLog.LOG", "RPDir=RP1"}, {"..\\evil.txt", "evil"}});
    const std::string hostile = hostFile(made);
    platform::sim::writeCabinet(made, {{"SR-ChgLog.LOG", std::string(200000, 'x')}});
    const std::string truncated = hostFile(made).substr(0, 300);
    fs::remove(made);

    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::string message; // the whole text, or its start when the platform says more
        int toolRuns = 1;
    };
    const std::string message6 = lang::keys::atUseDefault("Message6");
    const std::vector<Case> cases = {
        {"no cabinet in ten minutes", [&] { setToolDelay(20 * 60 * 1000); },
         lang::keys::atUseDefault("Message16")},
        {"a truncated cabinet", [&] { deliverCabinet(truncated); }, message6 + "\n" + cabinet + ": "},
        {"an entry outside res", [&] { deliverCabinet(hostile); },
         message6 + "\n" + cabinet + ": unsafe file name '..\\evil.txt' in cabinet."},
        {"no tool", [&] { fs::remove(tm.host("C:\\WINDOWS\\system32\\Restore\\srdiag.exe")); }, message6, 0},
    };
    startProgram();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        backend.clearMessages();
        c.arrange();
        const std::int64_t start = platform->process.nowMs();
        const int runsBefore = srdiagRuns();
        backend.setNextAnswer(true);
        f().Modifications.userClick();
        backend.onProcessMessages = nullptr;

        EXPECT_EQ(srdiagRuns() - runsBefore, c.toolRuns);
        ASSERT_EQ(backend.messages().size(), 2u);
        const std::string& shown = backend.messages()[1].text;
        EXPECT_EQ(shown.substr(0, c.message.size()), c.message) << shown;
        EXPECT_FALSE(backend.messages()[1].busyCursor); // the wait is over when it is said
        EXPECT_FALSE(f().Modifications.checked());
        EXPECT_TRUE(allEnabled());
        EXPECT_FALSE(exists(res));
        EXPECT_FALSE(exists(std::string(programFolder) + "evil.txt"));
        const std::int64_t waited = platform->process.nowMs() - start;
        EXPECT_LE(waited, 10 * 60 * 1000 + 1000);
        if (c.message == lang::keys::atUseDefault("Message16")) {
            EXPECT_GE(waited, 10 * 60 * 1000);
        }
    }
    EXPECT_EQ(backend.messages()[1].text, message6); // nothing more when the tool is missing
}

TEST_F(ChangeListingTest, ClosingTheWindowWhileWaitingForTheCabinetEndsTheWait) {
    setToolDelay(5 * 60 * 1000);
    startProgram();
    backend.setNextAnswer(true);
    backend.onProcessMessages = [this] {
        if (srdiagRuns() == 1)
            f().closeRequested();
    };
    const std::int64_t start = platform->process.nowMs();
    f().Modifications.userClick();
    backend.onProcessMessages = nullptr;

    EXPECT_LT(platform->process.nowMs() - start, 2000);
    EXPECT_FALSE(f().visible());
    EXPECT_EQ(backend.messages().size(), 1u); // the question only
    EXPECT_FALSE(exists(res));
    EXPECT_FALSE(exists(cabinet));
}

// What a selection appends below the five detail lines, for the point whose folder is given.
TEST_F(ChangeListingTest, ASelectionListsTheFirstBlockOfItsPoint) {
    const std::string records =
        "Journal des modifications\r\n"
        "RPDir=RP12,Drive=C:\\,EventString=FILE-CREATE,Path1=\\a12.txt,Path2=,Temp=\r\n"
        "RPDir=RP1,Drive=C:\\,EventString=FILE-DELETE,Path1=\\a1.txt,Path2=,Temp=A1.txt\r\n"
        "RPDir=RP5,Drive=C:\\,EventString=X,Path1=a=b,Path2=,Temp=t\r\n"
        "\r\n"
        "RPDir=RP5,Drive=D:\\,EventString=FILE-RENAME,Path1=\\Temp\\x.tmp,Path2=\\R\xe9sum\xe9.doc,"
        "Temp=A2.doc\r\n"
        "RPDir=RP2,Drive=C:\\,EventString=DIR-CREATE,Path1=\\b,Path2=,Temp=\r\n"
        "RPDir=RP5,Drive=C:\\,EventString=LATER,Path1=\\c,Path2=,Temp=\r\n";
    const std::vector<std::string> details = {"GUID : x", "Dossier : y", "Type : z", "Num\xc3\xa9ro : 5",
                                              "Date"};
    struct Case {
        std::string folder;
        std::vector<std::string> listed;
    };
    const std::vector<Case> cases = {
        {"RP5",
         {"", "- C:\\", "EventString = X", "Path1 = a=b", "Path2 = ", "Temp = t", "", "- D:\\",
          "EventString = FILE-RENAME", "Path1 = \\Temp\\x.tmp", "Path2 = \\R\xc3\xa9sum\xc3\xa9.doc",
          "Temp = "}},
        {"RP1", {"", "- C:\\", "EventString = FILE-DELETE", "Path1 = \\a1.txt", "Path2 = ", "Temp = A1.txt"}},
        {"RP7", {}},
    };
    startProgram();
    tm.write(log, records);
    EnabledLog order;
    observe(order);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        s().pointCache.writeString("(01/01/2007 10:00:00) Point", "DirectoryName", c.folder);
        f().Informations.setLines(details);
        order.changes.clear();
        app.dispatch([&] { f().listChanges("(01/01/2007 10:00:00) Point"); });
        EXPECT_EQ(order.changes,
                  (std::vector<std::string>{"-Creer",   "-Detruire",      "-Duree",        "-Informations",
                                            "-PointR",  "-Appliquer",     "-Activer",      "-Modifications",
                                            "-Jour",    "-Langue2",       "+Informations", "+PointR",
                                            "+Creer",   "+Detruire",      "+Duree",        "+Appliquer",
                                            "+Activer", "+Modifications", "+Jour",         "+Langue2"}));

        std::vector<std::string> expected = details;
        expected.push_back("");
        expected.push_back("Modification(s) :");
        expected.insert(expected.end(), c.listed.begin(), c.listed.end());
        EXPECT_EQ(f().Informations.lines(), expected);
        EXPECT_TRUE(f().Informations.caretAtEnd());
        EXPECT_TRUE(allEnabled());
    }

    for (ui::Control* control : f().mainControls())
        control->setObserver(nullptr);

    // A cabinet without the change log lists nothing.
    fs::remove(tm.host(log));
    f().Informations.setLines(details);
    app.dispatch([&] { f().listChanges("(01/01/2007 10:00:00) Point"); });
    EXPECT_EQ(f().Informations.lines(), details);
    EXPECT_TRUE(backend.messages().empty());

    // An unreadable log is said, naming the file, rather than listed as no changes at all.
    tm.write(log, records);
    fs::permissions(tm.host(log), fs::perms::none);
    app.dispatch([&] { f().listChanges("(01/01/2007 10:00:00) Point"); });
    fs::permissions(tm.host(log), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(f().Informations.lines(), details);
    EXPECT_EQ(backend.messageTexts(),
              std::vector<std::string>{"Impossible de lire la liste des modifications : " + log});
    EXPECT_TRUE(allEnabled());
}

TEST_F(ChangeListingTest, ALogOfAGigabyteIsRefusedAtOnceWithoutReadingIt) {
    startProgram();
    tm.write(log, "");
    fs::resize_file(tm.host(log), 1ull << 30); // sparse: no disk space, no time
    s().pointCache.writeString("Point", "DirectoryName", "RP5");
    f().Informations.setLines({"GUID : x"});
    const auto started = std::chrono::steady_clock::now();
    app.dispatch([&] { f().listChanges("Point"); });
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    EXPECT_EQ(backend.messageTexts(),
              std::vector<std::string>{"Impossible de lire la liste des modifications : " + log +
                                       " (1024 MB > 256 MB)"});
    EXPECT_EQ(f().Informations.lines(), std::vector<std::string>{"GUID : x"});
    EXPECT_TRUE(allEnabled());
}

TEST_F(ChangeListingTest, ClosingTheWindowDuringALongListingStopsIt) {
    std::string records;
    for (int i = 0; i < 1000; ++i)
        records += "RPDir=RP5,Drive=C:\\,EventString=FILE-CREATE,Path1=\\f" + std::to_string(i) +
                   ",Path2=,Temp=\r\n";
    startProgram();
    tm.write(log, records);
    s().pointCache.writeString("Point", "DirectoryName", "RP5");
    f().Informations.clear();
    int records_listed = 0;
    backend.onProcessMessages = [&] {
        if (f().Informations.lines().size() > 2 && ++records_listed == 3)
            f().closeRequested();
    };
    app.dispatch([&] { f().listChanges("Point"); });
    backend.onProcessMessages = nullptr;

    EXPECT_EQ(f().Informations.lines().size(), 2u + 3 * 6);
    EXPECT_FALSE(f().visible());
    EXPECT_FALSE(exists(res));
}

} // namespace
