// The saved files window on the sample machine: opened on RP39 from the point list, its list
// filtered, msvcr71.dll's copy saved to a folder and then put back in place.
#include "AppFixture.h"
#include "app/SavedFilesWindow.h"

namespace {

using testing_support::AppFixture;

struct SavedFilesTest : AppFixture {
    void selectPoint(const std::string& description) {
        for (int i = 0; i < f().PointR.count(); ++i)
            if (f().PointR.item(i).find(description) != std::string::npos)
                f().PointR.userSelect(i);
    }
};

TEST_F(SavedFilesTest, SavesACopyAndPutsItBackFromThePointsList) {
    ordinaryStart();
    startProgram();
    const std::string dll = "C:\\WINDOWS\\system32\\msvcr71.dll";
    const std::string before = tm.read(dll);
    selectPoint("Microsoft Office 2003");
    backend.setNextModal([&](ui::Form& form) {
        auto& w = static_cast<SavedFilesWindow&>(form);
        EXPECT_EQ(w.caption(), "Fichiers enregistrés - RP39");
        ASSERT_EQ(w.Fichiers.count(), 8); // the point's file and folder records, registry ones left out
        EXPECT_EQ(w.shown().front()->path,
                  "C:\\Documents and Settings\\All Users\\Menu Démarrer\\Programmes\\"
                  "Microsoft Office\\Microsoft Office Word 2003.lnk");
        EXPECT_EQ(w.Nombre.caption(), "8 modifications de fichiers sur 8");
        w.Fichiers.userSelect(0);
        EXPECT_FALSE(w.Enregistrer.enabled()); // a created file has no copy, and the window says so
        EXPECT_EQ(w.Nombre.caption(), "Ce fichier n'existait pas à ce point : il n'y a rien à enregistrer (" +
                                          w.shown().front()->path + ").");
        w.Recherche.userType("MSVCR");
        ASSERT_EQ(w.Fichiers.count(), 1);
        EXPECT_EQ(w.Fichiers.item(0), dll + "    [Modification, 115 octets, msiexec.exe]");
        w.Fichiers.userSelect(0);
        backend.setNextModal([](ui::Form& prompt) {
            static_cast<SaveCopyPrompt&>(prompt).Chemin.userType(
                "C:\\Documents and Settings\\Utilisateur\\Bureau");
            static_cast<SaveCopyPrompt&>(prompt).Valider.userClick();
        });
        w.Enregistrer.userClick();
        backend.setNextAnswer(true);
        w.Remettre.userClick();
        w.Fermer.userClick();
    });
    f().PointR.userChooseMenuItem(0);
    const std::string copy = tm.read("C:\\Documents and Settings\\Utilisateur\\Bureau\\msvcr71.dll");
    EXPECT_EQ(tm.read(dll), copy);
    EXPECT_EQ(tm.read("C:\\WINDOWS\\system32\\msvcr71 (avant remise en place).dll"), before);
    EXPECT_EQ(
        backend.messageTexts(),
        (std::vector<std::string>{
            "Copie enregistrée sous C:\\Documents and Settings\\Utilisateur\\Bureau\\msvcr71.dll.",
            "Remettre la copie à sa place ? " + dll + " sera remplacé ; le fichier actuel sera gardé à côté.",
            "Le fichier " + dll +
                " a été remis à sa place.\nLe fichier qui s'y trouvait est gardé sous "
                "C:\\WINDOWS\\system32\\msvcr71 (avant remise en place).dll."}));
    // Ctrl+F opens it too, for whichever point is selected.
    selectPoint("Microsoft Office 2003");
    backend.setNextModal([](ui::Form& form) { static_cast<SavedFilesWindow&>(form).Fermer.userClick(); });
    f().keyPressed(ui::vk::KeyF, ui::ShiftCtrl);
    EXPECT_EQ(backend.modalLog().back(), "TFormFichiers");
}

} // namespace
