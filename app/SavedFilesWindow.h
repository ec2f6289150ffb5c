#pragma once
// The saved files window: the file changes System Restore logged for one point, sorted by path and
// filtered by what the user types, from which a kept copy is saved elsewhere or put back in place.
// Opened from the point list's context menu and by Ctrl+F on the main window.
#include "app/SharedState.h"
#include "restore/FileRecovery.h"
#include "restore/SavedFiles.h"
#include "ui/Form.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

class MainWindow;

// Asks where to save a copy: a Windows path, a folder or a file.
class SaveCopyPrompt : public ui::Form {
public:
    SaveCopyPrompt(ui::Application& app, SharedState& state);

    ui::Label Libelle;
    ui::Edit Chemin;
    ui::Button Valider;
    ui::Button Annuler;

    // The path validated, or nothing when the user cancelled.
    std::optional<std::string> ask(const std::string& suggested);

private:
    SharedState& state_;
    bool accepted_ = false;
};

class SavedFilesWindow : public ui::Form {
public:
    SavedFilesWindow(ui::Application& app, SharedState& state);

    ui::Label RechercheLibelle;
    ui::Edit Recherche;
    ui::ListBox Fichiers;
    ui::Label Nombre;
    ui::Button Enregistrer;
    ui::Button Remettre;
    ui::Button Fermer;
    SaveCopyPrompt prompt;

    // Reads the point's logs (folder "RP39") and shows the window modally; problems with the logs
    // are told first, the changes read before them still listed.
    void showPoint(const std::string& pointFolder);
    // The changes as listed, in list order.
    const std::vector<const restore::FileChange*>& shown() const { return shown_; }

    void RechercheChange();
    void FichiersClick();
    void EnregistrerClick();
    void RemettreClick();

private:
    std::string text(const char* key, std::initializer_list<std::string> values = {}) const;
    std::string line(const restore::FileChange& change) const;
    const restore::FileChange* selected() const;
    void tell(const restore::Recovery& result);
    void fill();

    SharedState& state_;
    std::string point_;
    std::vector<restore::FileChange> all_;
    std::vector<const restore::FileChange*> shown_;
    mutable std::map<std::string, std::string> texts_;
};

// Gives the main window its way in: the point list's context menu and Ctrl+F open the window for
// the selected point. The main window itself knows nothing of it.
void attachSavedFiles(MainWindow& main, SavedFilesWindow& window, SharedState& state);
