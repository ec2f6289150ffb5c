#include "app/AppFixture.h"
#include "platform/Text.h"

using testing_support::AppFixture;
using testing_support::programFolder;

namespace {

struct LanguageTest : AppFixture {
    const std::string settings = std::string(programFolder) + "Kestrafen.ini";
    const std::string languages = std::string(programFolder) + "langues.ini";
    const std::string profile = "C:\\Documents and Settings\\Utilisateur";

    void writeLanguages(const std::string& utf8) { tm.write(languages, platform::text::toCp1252(utf8)); }
    std::string storedLanguage() {
        return tm.machine->platform().profile.readString(settings, "Kestrafen", "Langue", "<none>");
    }
    void readOnlyProgramFolder(bool on) {
        using namespace std::filesystem;
        permissions(tm.host(programFolder), perms::owner_write | perms::group_write | perms::others_write,
                    on ? perm_options::remove : perm_options::add);
    }
    void useProfileFolders(bool bureau, bool desktop) {
        std::filesystem::remove_all(tm.host(profile + "\\Bureau"));
        std::filesystem::remove_all(tm.host(profile + "\\Desktop"));
        if (bureau)
            tm.write(profile + "\\Bureau\\desktop.ini", "");
        if (desktop)
            tm.write(profile + "\\Desktop\\desktop.ini", "");
    }
    std::vector<std::string> captions() {
        return {f().Creer.caption(),  f().Detruire.caption(),     f().Appliquer.caption(),
                f().Autres.caption(), f().Duree.caption(),        f().Activer.caption(),
                f().Jour.caption(),   f().Modifications.caption()};
    }
};

TEST_F(LanguageTest, FirstRunChoiceFollowsTheProfileFolders) {
    struct Case {
        bool bureau, desktop;
        const char* expected;
    };
    for (Case c :
         {Case{true, true, "Français"}, Case{false, true, "English"}, Case{false, false, "Français"}}) {
        useProfileFolders(c.bureau, c.desktop);
        std::filesystem::remove(tm.host(settings));
        create();
        EXPECT_EQ(storedLanguage(), c.expected);
        EXPECT_EQ(s().language.name(), c.expected);
    }
    EXPECT_EQ(f().Creer.caption(), "Créer un point de restauration");
}

TEST_F(LanguageTest, FirstRunWithoutUserProfileChoosesFrench) {
    useProfileFolders(false, true);
    tm.json()["environment"].erase("Userprofile");
    saveJson();
    create();
    EXPECT_EQ(storedLanguage(), "Français");
}

TEST_F(LanguageTest, EnglishStartPutsEnglishOnEveryCaption) {
    useProfileFolders(false, true);
    startProgram();
    EXPECT_EQ(f().Langue2.text(), "English");
    for (const auto& caption : captions())
        EXPECT_EQ(caption.find("restauration"), std::string::npos) << caption;
    EXPECT_EQ(f().Autres.caption().front(), ' ');
    EXPECT_EQ(f().Autres.caption().back(), ' ');
    EXPECT_NE(s().texts().get("Valider"), "Valider");
}

TEST_F(LanguageTest, EmptyStoredLanguageIsChosenAgainAndLowerCaseSelectsTheEntry) {
    tm.write(settings, "[Kestrafen]\r\nLangue=\r\n");
    create();
    EXPECT_EQ(storedLanguage(), "Français");

    tm.write(settings, "[Kestrafen]\r\nLangue=english\r\n");
    create();
    EXPECT_EQ(s().language.name(), "English");
    EXPECT_EQ(f().Langue2.text(), "English");
    EXPECT_EQ(storedLanguage(), "english");
}

TEST_F(LanguageTest, StoredLanguageThatIsNoSectionFallsBackToFrenchDefaults) {
    tm.write(settings, "[Kestrafen]\r\nLangue=Klingon\r\n");
    create();
    EXPECT_EQ(f().Langue2.itemIndex(), -1);
    EXPECT_EQ(s().language.name(), "");
    EXPECT_EQ(f().Creer.caption(), "Créer un point de restauration");
    EXPECT_EQ(s().texts().get("TitreRequis"), "Titre requis");
    EXPECT_EQ(storedLanguage(), "Klingon");
}

TEST_F(LanguageTest, NoLanguageFileGivesFrenchDefaultsEverywhere) {
    ordinaryStart("English");
    std::filesystem::remove(tm.host(languages));
    create();
    EXPECT_TRUE(f().Langue2.items().empty());
    EXPECT_EQ(f().Creer.caption(), "Créer un point de restauration");
    EXPECT_EQ(f().Autres.caption(), " Autres ");
    EXPECT_FALSE(confirm(app, s().language, "Q ?"));
    EXPECT_EQ(backend.messages().back().yes, "Oui");
    EXPECT_EQ(backend.messages().back().no, "Non");
    EXPECT_EQ(backend.messages().back().title, "Confirmation");
}

TEST_F(LanguageTest, EmptyValueGivesEmptyTextAndLongValuesAreCut) {
    ordinaryStart("Test");
    writeLanguages("[Test]\r\nCréer=\r\nSupprimer=" + std::string(3000, 'x') + "\r\nValider=OK\r\n");
    create();
    EXPECT_EQ(f().Creer.caption(), "");
    EXPECT_EQ(f().Detruire.caption(), std::string(2047, 'x'));
    EXPECT_EQ(s().texts().get("Valider"), "OK");
    EXPECT_EQ(s().texts().get("Annuler"), "Annuler");
}

TEST_F(LanguageTest, DatePatternOfTheNewLanguageReListsThePointsWhenServiceIsOn) {
    ordinaryStart("Français");
    writeLanguages("[Français]\r\n[Iso]\r\nDate=yyyy-MM-dd\r\nDésactiver=Off\r\n");
    setPoints({point("20060401103000.000000+120", "A", 0, 1)});
    startProgram();
    EXPECT_EQ(f().PointR.items(), std::vector<std::string>{"(01/04/2006 10:30:00) A"});
    f().Langue2.userSelect(1);
    EXPECT_EQ(f().PointR.items(), std::vector<std::string>{"(2006-04-01 10:30:00) A"});
    EXPECT_EQ(f().Activer.caption(), "Off");
    EXPECT_EQ(storedLanguage(), "Iso");
    EXPECT_EQ(cache("(01/04/2006 10:30:00) A", "Number"), "<none>");
}

TEST_F(LanguageTest, DatePatternChangeDoesNotEnumerateWhenServiceIsOff) {
    ordinaryStart("Français");
    writeLanguages("[Français]\r\n[Iso]\r\nDate=yyyy-MM-dd\r\n");
    setServiceStart(4);
    startProgram();
    f().Langue2.userSelect(1);
    EXPECT_TRUE(f().PointR.items().empty());
    EXPECT_EQ(s().language.datePattern().format, "yyyy-MM-dd");
    EXPECT_FALSE(exists(std::string(programFolder) + "KestrafenTemp.ini"));
}

TEST_F(LanguageTest, SeparatorChangesOnlyAtTheNextStart) {
    ordinaryStart("A");
    writeLanguages("[A]\r\nSéparateur=/\r\n[B]\r\nSéparateur=-\r\n");
    setPoints({point("20060401103000.000000+120", "P", 0, 1)});
    startProgram();
    f().Langue2.userSelect(1);
    EXPECT_EQ(f().PointR.items(), std::vector<std::string>{"(01/04/2006 10:30:00) P"});
    f().close();
    startProgram();
    EXPECT_EQ(f().PointR.items(), std::vector<std::string>{"(01-04-2006 10:30:00) P"});
}

TEST_F(LanguageTest, SeparatorIsOneCharacterNotOneByte) {
    ordinaryStart("A");
    writeLanguages("[A]\r\nSéparateur=·-\r\n"); // 0xB7 in the file
    setPoints({point("20060401103000.000000+120", "P", 0, 1)});
    startProgram();
    const std::string entry = "(01·04·2006 10:30:00) P";
    EXPECT_EQ(f().PointR.items(), std::vector<std::string>{entry});
    EXPECT_EQ(cache(entry, "Number"), "1");
}

TEST(FirstCharacter, TakesOneWholeCharacterAndNeverABrokenSequencesNeighbour) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"/-", "/"},
        {"\xC2\xB7-", "\xC2\xB7"},
        {"\xE2\x80\x93x", "\xE2\x80\x93"},
        {"\xF0\x9F\x98\x80x", "\xF0\x9F\x98\x80"},
        {"\xEC\r", "\xEC"},       // cut sequence: the line break stays out
        {"\xE2\x80", "\xE2\x80"}, // cut at the end of the text
        {"\xC3-x", "\xC3"},
        {"\x9B/", "\x9B"}, // a stray continuation byte stands alone
        {"", ""},
    };
    for (const auto& [text, first] : cases)
        EXPECT_EQ(lang::firstCharacter(text), first) << text;
}

TEST(Fill, PutsEachValueInOnceAndNeverReadsAValueAgain) {
    struct Case {
        const char* text;
        std::string first, second;
        const char* filled;
    };
    const std::vector<Case> cases{
        {"Lecteur %1 : %2", "C:\\", "surveillé", "Lecteur C:\\ : surveillé"},
        {"%1, créé il y a %2 jours", "(20/11/2006) 50 %2 de remise", "3",
         "(20/11/2006) 50 %2 de remise, créé il y a 3 jours"},
        {"%2 puis %1", "%2", "%1", "%1 puis %2"},
        {"100 % ; %3 sans valeur ; %", "a", "b", "100 % ; %3 sans valeur ; %"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lang::fill(c.text, {c.first, c.second}), c.filled) << c.text;
}

TEST_F(LanguageTest, EmptySeparatorKeepsTheSlash) {
    ordinaryStart("A");
    writeLanguages("[A]\r\nSéparateur=\r\n");
    create();
    EXPECT_EQ(s().language.datePattern().separator, "/");
}

TEST_F(LanguageTest, ReadOnlyProgramFolderAtFirstRunKeepsBuiltInCaptionsAndSkipsTheRest) {
    useProfileFolders(false, true);
    readOnlyProgramFolder(true);
    create();
    readOnlyProgramFolder(false);
    ASSERT_EQ(backend.messages().size(), 1u);
    EXPECT_EQ(backend.messages()[0].kind, ui::MessageKind::Error);
    EXPECT_EQ(backend.messages()[0].text,
              "Impossible d'écrire le fichier C:\\Program Files\\Kestrafen\\Kestrafen.ini.");
    EXPECT_EQ(f().Creer.caption(), "Créer un point de restauration");
    EXPECT_TRUE(s().texts().empty());
    EXPECT_EQ(s().machineGuid, ""); // the identifier is read after the texts: never reached
}

// A change that cannot be stored changes nothing: the box, the error, every caption (the one the
// recovery sets included) and every later lookup stay in the previous language.
TEST_F(LanguageTest, ReadOnlyProgramFolderDuringAChangeKeepsThePreviousLanguage) {
    ordinaryStart("Français");
    startProgram();
    const std::vector<std::string> before = captions();
    readOnlyProgramFolder(true);
    f().Langue2.userSelect(1);
    readOnlyProgramFolder(false);
    ASSERT_FALSE(backend.messages().empty());
    EXPECT_EQ(backend.messages().back().text,
              "Impossible d'écrire le fichier C:\\Program Files\\Kestrafen\\Kestrafen.ini.");
    EXPECT_EQ(f().Langue2.itemIndex(), 0);
    EXPECT_EQ(captions(), before);
    EXPECT_EQ(s().language.name(), "Français");
    EXPECT_EQ(s().lookup("Oui", "Oui"), "Oui");
}

} // namespace
