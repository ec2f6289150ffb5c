#include "AppFixture.h"

#include "app/ExclusionEditor.h"
#include "app/RepairWindow.h"
#include "app/SettingsDialog.h"
#include "config/ExclusionLists.h"
#include "platform/Error.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

using testing_support::AppFixture;
using testing_support::programFolder;
using namespace std::string_literals;
using Lines = std::vector<std::string>;

namespace {

// The machine's registry, recording every write ("key|name=data") and refusing the one named.
class WatchedRegistry : public platform::Registry {
public:
    WatchedRegistry(platform::Registry& real, std::string refused)
        : real_(real), refused_(std::move(refused)) {}
    std::vector<std::string> writes; // "key|name=data"

    std::unique_ptr<platform::RegistryKey> open(platform::RegRoot root, const std::string& path,
                                                bool create) override {
        return watch(root, path, real_.open(root, path, create));
    }
    std::unique_ptr<platform::RegistryKey> openFullAccess(platform::RegRoot root,
                                                          const std::string& path) override {
        return watch(root, path, real_.openFullAccess(root, path));
    }

private:
    class Key : public platform::RegistryKey {
    public:
        Key(WatchedRegistry& owner, std::string path, std::unique_ptr<platform::RegistryKey> real)
            : owner_(owner), path_(std::move(path)), real_(std::move(real)) {}
        bool valueExists(const std::string& name) const override { return real_->valueExists(name); }
        std::optional<platform::RegValue> read(const std::string& name) const override {
            return real_->read(name);
        }
        void write(const std::string& name, const platform::RegValue& value) override {
            const std::string what = path_ + "|" + name;
            owner_.writes.push_back(what + "=" + value.data.substr(0, value.data.find('\0')));
            if (what == owner_.refused_)
                throw platform::registryWriteFailed(name);
            real_->write(name, value);
        }
        std::vector<std::string> valueNames() const override { return real_->valueNames(); }
        bool deleteValue(const std::string& name) override { return real_->deleteValue(name); }

    private:
        WatchedRegistry& owner_;
        std::string path_;
        std::unique_ptr<platform::RegistryKey> real_;
    };
    std::unique_ptr<platform::RegistryKey> watch(platform::RegRoot root, const std::string& path,
                                                 std::unique_ptr<platform::RegistryKey> key) {
        (void)root;
        if (!key)
            return key;
        return std::make_unique<Key>(*this, path, std::move(key));
    }
    platform::Registry& real_;
    std::string refused_;
};

struct ConfigWindowsTest : AppFixture {
    ConfigWindowsTest() { ordinaryStart(); }

    // Opens the settings dialog and from it the editor (or the repair window) with a script.
    template <class Window> void open(std::function<void(Window&)> script) {
        backend.setNextModal([](ui::Form& form) {
            auto& d = static_cast<SettingsDialog&>(form);
            (std::is_same_v<Window, ExclusionEditor> ? d.Avance : d.Reparer2).userClick();
        });
        backend.setNextModal([script](ui::Form& form) { script(static_cast<Window&>(form)); });
        f().Duree.userClick();
    }
    std::unique_ptr<platform::RegistryKey> filesKey() {
        return platform->registry.open(platform::RegRoot::LocalMachine, config::filesNotToBackupKey, false);
    }
    std::vector<std::string> journalSince(size_t from) {
        const auto all = tm.journal();
        return {all.begin() + static_cast<long>(std::min(from, all.size())), all.end()};
    }
    // Confirms a repair from a fresh message list; both buttons are off while it runs. Returns what
    // the machine's journal recorded meanwhile.
    std::vector<std::string> confirmedRepair() {
        backend.clearMessages();
        const size_t from = tm.journal().size();
        open<RepairWindow>([&](RepairWindow& r) {
            backend.setNextAnswer(true);
            r.Reparation.userClick();
            EXPECT_FALSE(r.Reparation.enabled());
            EXPECT_FALSE(r.Reinstaller.enabled());
        });
        return journalSince(from);
    }
    // Starts the program on the machine with its registry watched.
    void startWatched(WatchedRegistry& registry) {
        program.reset();
        const platform::Platform real = tm.machine->platform();
        platform = std::make_unique<platform::Platform>(platform::Platform{
            real.environment, real.files, real.profile, registry, real.systemRestore, real.shell,
            real.cabinet, real.download, real.process, real.restoreStore, real.programFolder});
        program = std::make_unique<Startup>(app, *platform);
        program->start();
        program->run();
    }
};

TEST_F(ConfigWindowsTest, EditorShowsPlaceholdersEntriesAndTheirLines) {
    startProgram();
    platform::reg::writeString(*filesKey(), "Text", "x");
    filesKey()->write("Odd", {platform::RegType::MultiSz, "a\0\0b\0c"s});
    open<ExclusionEditor>([&](ExclusionEditor& e) {
        EXPECT_EQ(e.ValeurN.text(), "Nom de la valeur");
        EXPECT_EQ(e.Donnees2.lines(), Lines{"Données"});
        EXPECT_GT(e.FichiersL.count(), 3);
        EXPECT_GT(e.RegistreL.count(), 0);
        EXPECT_TRUE(e.Creer.enabled());
        EXPECT_EQ(e.Fichiers.caption(), " Ne pas sauvegarder certains fichiers/dossiers ");

        e.FichiersL.userSelect(e.FichiersL.indexOf("Odd"));
        EXPECT_EQ(e.ValeurN.text(), "Odd");
        EXPECT_EQ(e.Donnees.lines(), (Lines{"a", "", "b"}));

        // A text value is refused by the read; the name is already shown.
        e.FichiersL.userSelect(e.FichiersL.indexOf("Text"));
        EXPECT_EQ(e.ValeurN.text(), "Text");
        EXPECT_TRUE(e.Donnees.lines().empty());
    });
    ASSERT_FALSE(backend.messages().empty());
    EXPECT_EQ(backend.messages().back().kind, ui::MessageKind::Error);
    EXPECT_EQ(backend.messages().back().text, "Type de données incorrect pour la valeur du registre 'Text'");
}

TEST_F(ConfigWindowsTest, WritingAndDeletingEntries) {
    startProgram();
    open<ExclusionEditor>([&](ExclusionEditor& e) {
        // Untouched placeholders are written as they stand.
        e.Creer.userClick();
        EXPECT_EQ(filesKey()->read("Nom de la valeur")->data, "Donn\xe9"
                                                              "es\0\0"s);

        // A new entry from typed lines; the new entry is selected without reloading the fields.
        e.ValeurN.userType("Kestrafen");
        e.Donnees.userEdit("a\r\nb\r\n");
        e.Creer.userClick();
        EXPECT_EQ(filesKey()->read("Kestrafen")->data, "a\0b\0\0"s);
        ASSERT_GE(e.FichiersL.itemIndex(), 0);
        EXPECT_EQ(e.FichiersL.item(e.FichiersL.itemIndex()), "Kestrafen");

        // Over an existing name (matched without regard to case in the list) with no lines.
        e.ValeurN.userType("KESTRAFEN");
        e.Donnees.userEdit("");
        e.Creer.userClick();
        EXPECT_EQ(filesKey()->read("KESTRAFEN")->data, "\0"s);
        EXPECT_EQ(e.FichiersL.item(e.FichiersL.itemIndex()), "Kestrafen");
        EXPECT_EQ(e.ValeurN.text(), "KESTRAFEN");

        // Deleting a name that is not there: Message12, fields and list unchanged.
        const int count = e.FichiersL.count();
        e.ValeurN.userType("Nothing");
        e.Donnees.userEdit("x\n\ny");
        e.Supprimer.userClick();
        ASSERT_FALSE(backend.messages().empty());
        EXPECT_EQ(backend.messageTexts().back(), "Erreur inconnue.");
        EXPECT_EQ(e.ValeurN.text(), "Nothing");
        EXPECT_EQ(e.Donnees.lines(), (Lines{"x", "", "y"}));
        EXPECT_EQ(e.FichiersL.count(), count);

        e.ValeurN.userType("Kestrafen");
        e.Supprimer.userClick();
        EXPECT_EQ(e.FichiersL.count(), count - 1);
        EXPECT_EQ(e.FichiersL.indexOf("Kestrafen"), -1);
    });
    EXPECT_FALSE(filesKey()->valueExists("Kestrafen"));
}

TEST_F(ConfigWindowsTest, AMissingKeyDisablesOnlyItsGroupAndARefusedWriteSaysSo) {
    // The registry file without the KeysNotToRestore section.
    const std::string reg = registryFile();
    const std::string section =
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Control\\BackupRestore\\KeysNotToRestore]";
    const size_t start = reg.find(section);
    ASSERT_NE(start, std::string::npos);
    const std::string cut = reg.substr(0, start) + reg.substr(reg.find("\r\n[", start) + 2);
    ASSERT_NE(cut, reg);
    std::ofstream(tm.folder / "registry.reg", std::ios::binary) << cut;
    tm.save(); // the machine reads its files again
    platform::Platform real = tm.machine->platform();
    WatchedRegistry registry(real.registry, config::filesNotToBackupKey + "|New"s);
    startWatched(registry);
    open<ExclusionEditor>([&](ExclusionEditor& e) {
        EXPECT_EQ(e.RegistreL.count(), 0);
        EXPECT_FALSE(e.CreerL2.enabled());
        EXPECT_FALSE(e.SupprimerL2.enabled());
        EXPECT_TRUE(e.Creer.enabled());
        EXPECT_TRUE(e.Supprimer.enabled());

        const Lines before = e.FichiersL.items();
        e.ValeurN.userType("New");
        e.Creer.userClick();
        EXPECT_EQ(backend.messageTexts(), Lines{"Valeur introuvable."});
        EXPECT_EQ(e.FichiersL.items(), before);
        EXPECT_EQ(e.ValeurN.text(), "New");
    });
}

TEST_F(ConfigWindowsTest, AReadOnlyRegistryGivesEmptyListsAndNoSettings) {
    tm.json()["registry_read_only"] = true; // as for a user without administrator rights
    tm.save();
    startProgram();
    backend.setNextModal([](ui::Form& form) {
        auto& d = static_cast<SettingsDialog&>(form);
        EXPECT_EQ(d.Titre.text(), "0");
        EXPECT_EQ(d.Titre2.text(), "0");
        d.Avance.userClick();
    });
    backend.setNextModal([](ui::Form& form) {
        auto& e = static_cast<ExclusionEditor&>(form);
        EXPECT_EQ(e.FichiersL.count(), 0);
        EXPECT_EQ(e.RegistreL.count(), 0);
        for (ui::Button* button : {&e.Creer, &e.Supprimer, &e.CreerL2, &e.SupprimerL2})
            EXPECT_FALSE(button->enabled()) << button->name();
    });
    f().Duree.userClick();
    EXPECT_TRUE(backend.messages().empty());
}

TEST_F(ConfigWindowsTest, RepairAskedNoChangesNothing) {
    startProgram();
    const size_t from = tm.journal().size();
    const std::string reg = registryFile();
    open<RepairWindow>([&](RepairWindow& r) {
        EXPECT_EQ(r.caption(), "Réparer la restauration système");
        backend.setNextAnswer(false);
        r.Reparation.userClick();
        EXPECT_TRUE(r.Reparation.enabled());
        EXPECT_TRUE(r.Reinstaller.enabled());
    });
    ASSERT_FALSE(backend.messages().empty());
    EXPECT_EQ(backend.messageTexts().back(), "Voulez-vous vraiment tenter la réparation ?");
    EXPECT_TRUE(journalSince(from).empty());
    EXPECT_EQ(registryFile(), reg);
}

TEST_F(ConfigWindowsTest, RepairRunsItsSequenceAndWarnsAtLowSpace) {
    for (const std::uint64_t kilobytes : {204800ull, 204801ull}) {
        tm.json()["drives"]["C"]["free_bytes"] = kilobytes * 1024;
        saveJson();
        tm.write("C:\\WINDOWS\\system32\\dllcache\\srclient.dll", "cached");
        tm.write(std::string(programFolder) + "configuration.ini", "x");
        tm.write(std::string(programFolder) + "res.cab", "x");
        startProgram();
        EXPECT_EQ(confirmedRepair(), (std::vector<std::string>{
                                         "CMD /c sc config remote srservice start= auto",
                                         "CMD /c sc start remote srservice",
                                         "CMD /c sc config remote schedule start= auto",
                                         "CMD /c sc start remote schedule",
                                         "CMD /c regsvr32 /s jscript.dll",
                                         "CMD /c regsvr32 /s vbscript.dll",
                                         "CMD /c regsvr32 /s mshtml.dll",
                                         "CMD /c shutdown -r -t 0",
                                         "Restart",
                                     }));
        const auto texts = backend.messageTexts();
        const bool warned =
            std::count(texts.begin(), texts.end(),
                       "Vous avez moins de 200Mo disponible. Le système de restauration a besoin "
                       "d'un minimum de 200Mo pour fonctionner.") == 1;
        EXPECT_EQ(warned, kilobytes == 204800) << kilobytes;
        EXPECT_EQ(texts.back(), "Votre ordinateur va maintenant redémarrer. Veuillez fermer toutes vos "
                                "applications en cours.");
        EXPECT_EQ(tm.read("C:\\WINDOWS\\system32\\srclient.dll"), "cached");
        EXPECT_FALSE(exists(std::string(programFolder) + "configuration.ini"));
        EXPECT_FALSE(exists(std::string(programFolder) + "res.cab"));
        const std::string reg = registryFile();
        EXPECT_NE(reg.find("[HKEY_CLASSES_ROOT\\MIME\\Database\\Content Type\\text/x-component]\r\n"
                           "\"CLSID\"=\"{3050f4f8-98b5-11cf-bb82-00aa00bdce0b}\"\r\n\"Extension\"=\".htc\""),
                  std::string::npos);
    }
}

// The .htc association is written value by value in its order; a refused write ends the repair
// there: no registration, no restart, and the buttons stay off.
TEST_F(ConfigWindowsTest, HtcValuesGoInOrderAndARefusedOneStopsTheRepair) {
    const std::string clsid = "{3050f4f8-98b5-11cf-bb82-00aa00bdce0b}";
    const std::string mime = "MIME\\Database\\Content Type\\text/x-component";
    const std::vector<std::string> all = {
        ".htc|Content Type=text/x-component",
        ".htc|=htcfile",
        mime + "|CLSID=" + clsid,
        mime + "|Extension=.htc",
        "CLSID\\" + clsid + "|=Microsoft Html Component",
        "CLSID\\" + clsid + "\\InProcServer32|=C:\\WINDOWS\\system32\\mshtml.dll",
        "CLSID\\" + clsid + "\\InProcServer32|ThreadingModel=Apartment",
    };
    const struct {
        std::string refused;
        size_t written; // writes tried, the refused one included
    } cases[] = {{"", all.size()}, {mime + "|CLSID", 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refused);
        platform::Platform real = tm.machine->platform();
        WatchedRegistry registry(real.registry, c.refused);
        startWatched(registry);
        const std::vector<std::string> journal = confirmedRepair();
        EXPECT_EQ(registry.writes, std::vector<std::string>(all.begin(), all.begin() + c.written));
        const bool registered = std::ranges::count(journal, "CMD /c regsvr32 /s jscript.dll") == 1;
        const bool restarted = std::ranges::count(journal, "Restart") == 1;
        EXPECT_EQ(registered, c.refused.empty());
        EXPECT_EQ(restarted, c.refused.empty());
        if (!c.refused.empty()) {
            EXPECT_EQ(backend.messages().back().kind, ui::MessageKind::Error);
            EXPECT_EQ(backend.messages().back().text,
                      "Impossible d'écrire dans le registre la valeur 'CLSID'");
        }
        program.reset();
    }
}

TEST_F(ConfigWindowsTest, ReinstallNeedsTheCdThenEndsTheProgram) {
    startProgram();
    size_t from = tm.journal().size();
    bool stillOpen = false;
    open<RepairWindow>([&](RepairWindow& r) {
        backend.setNextAnswer(true);
        backend.setNextAnswer(false);
        r.Reinstaller.userClick();
        stillOpen = r.modalResult() == ui::mr::None;
    });
    EXPECT_TRUE(stillOpen);
    ASSERT_FALSE(backend.messages().empty());
    EXPECT_EQ(backend.messageTexts().back(), "Il vous faut le CD pour procéder à la réinstallation.");
    EXPECT_TRUE(journalSince(from).empty());
    EXPECT_TRUE(f().visible());

    from = tm.journal().size();
    tm.write(std::string(programFolder) + "res.cab", "x");
    const size_t modalsBefore = backend.modalLog().size();
    open<RepairWindow>([&](RepairWindow& r) {
        backend.setNextAnswer(true);
        backend.setNextAnswer(true);
        r.Reinstaller.userClick();
    });
    EXPECT_EQ(journalSince(from),
              std::vector<std::string>{
                  "WinExec rundll32.exe advpack.dll,LaunchINFSection C:\\Windows\\Inf\\sr.inf"});
    // The settings dialog is not shown again, and the main window has closed with its clean-up.
    EXPECT_EQ(backend.modalLog().size(), modalsBefore + 2);
    EXPECT_FALSE(program->settingsDialog().visible());
    EXPECT_FALSE(f().visible());
    EXPECT_FALSE(exists(std::string(programFolder) + "res.cab"));
}

} // namespace
