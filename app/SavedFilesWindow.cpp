#include "app/SavedFilesWindow.h"

#include "app/MainWindow.h"
#include "lang/Keys.h"
#include "lang/Language.h"
#include "ui/Application.h"

SaveCopyPrompt::SaveCopyPrompt(ui::Application& app, SharedState& state)
    : ui::Form(app, "TFormEnregistrer"),
      Libelle(*this, "Libelle", nullptr, ui::Rect{8, 8, 400, 13}, "Enregistrer la copie sous :"),
      Chemin(*this, "Chemin", nullptr, ui::Rect{8, 26, 400, 21}),
      Valider(*this, "Valider", nullptr, ui::Rect{240, 56, 80, 25}, "Valider"),
      Annuler(*this, "Annuler", nullptr, ui::Rect{328, 56, 80, 25}, "Annuler"), state_(state) {
    clientWidth = 416;
    clientHeight = 88;
    minimizeButton = false;
    position = ui::Position::MainFormCenter;
    activeControl = &Chemin;
    Valider.isDefault = true;
    Annuler.isCancel = true;
    Valider.onClick = [this] {
        accepted_ = !Chemin.text().empty();
        setModalResult(ui::mr::Ok);
    };
    Annuler.onClick = [this] { setModalResult(ui::mr::Cancel); };
}

std::optional<std::string> SaveCopyPrompt::ask(const std::string& suggested) {
    setCaption(state_.lookup("EnregistrerCopie", lang::keys::savedFilesDefault("EnregistrerCopie")));
    Libelle.setCaption(state_.lookup("EnregistrerSous", lang::keys::savedFilesDefault("EnregistrerSous")));
    Valider.setCaption(state_.texts().get("Valider"));
    Annuler.setCaption(state_.texts().get("Annuler"));
    Chemin.setText(suggested);
    accepted_ = false;
    showModal();
    return accepted_ ? std::optional(Chemin.text()) : std::nullopt;
}

SavedFilesWindow::SavedFilesWindow(ui::Application& app, SharedState& state)
    : ui::Form(app, "TFormFichiers"),
      RechercheLibelle(*this, "RechercheLibelle", nullptr, ui::Rect{8, 11, 90, 13}, "Rechercher :"),
      Recherche(*this, "Recherche", nullptr, ui::Rect{100, 8, 532, 21}),
      Fichiers(*this, "Fichiers", nullptr, ui::Rect{8, 36, 624, 264}, false),
      Nombre(*this, "Nombre", nullptr, ui::Rect{8, 306, 624, 13}, ""),
      Enregistrer(*this, "Enregistrer", nullptr, ui::Rect{8, 328, 200, 25}, "Enregistrer une copie sous…"),
      Remettre(*this, "Remettre", nullptr, ui::Rect{216, 328, 200, 25}, "Remettre à sa place"),
      Fermer(*this, "Fermer", nullptr, ui::Rect{552, 328, 80, 25}, "Fermer"), prompt(app, state),
      state_(state) {
    clientWidth = 640;
    clientHeight = 361;
    minimizeButton = false;
    position = ui::Position::MainFormCenter;
    escapeCloses = true; // nothing typed here is lost
    activeControl = &Recherche;
    Fermer.isCancel = true;
    Recherche.onChange = [this] { RechercheChange(); };
    Fichiers.onClick = [this] { FichiersClick(); };
    Enregistrer.onClick = [this] { EnregistrerClick(); };
    Remettre.onClick = [this] { RemettreClick(); };
    Fermer.onClick = [this] { setModalResult(ui::mr::Cancel); };
}

std::string SavedFilesWindow::text(const char* key, std::initializer_list<std::string> values) const {
    auto found = texts_.find(key); // each line of a long list asks for the same few texts
    if (found == texts_.end())
        found = texts_.emplace(key, state_.lookup(key, lang::keys::savedFilesDefault(key))).first;
    return lang::fill(found->second, values);
}

void SavedFilesWindow::showPoint(const std::string& pointFolder) {
    point_ = pointFolder;
    texts_.clear(); // the language may have changed since the last showing
    setCaption(text("FichiersEnregistres") + " - " + pointFolder);
    RechercheLibelle.setCaption(text("FichiersRechercher"));
    Enregistrer.setCaption(text("EnregistrerCopie"));
    Remettre.setCaption(text("RemettreEnPlace"));
    Fermer.setCaption(text("Fermer"));
    std::vector<std::string> roots;
    for (const platform::DriveState& drive : state_.platform.systemRestore.drives())
        roots.push_back(drive.root);
    restore::PointFiles files;
    {
        const ui::Application::BusyCursor busy(app());
        files = restore::readPointFiles(state_.platform.restoreStore, roots, pointFolder);
        all_ = restore::sortedByPath(std::move(files.changes));
        Recherche.setText("");
        fill();
    }
    for (const restore::LogProblem& problem : files.problems)
        app().showError(text(problem.key, {problem.file, std::to_string(problem.offset)}));
    showModal();
}

std::string SavedFilesWindow::line(const restore::FileChange& c) const {
    std::string size = c.copyName.empty() ? text("FichiersSansCopie")
                       : c.copySize       ? text("FichiersCopie", {std::to_string(*c.copySize)})
                                          : text("FichiersCopieAbsente");
    std::string path = c.path + (c.secondPath.empty() ? "" : " -> " + c.secondPath);
    return path + "    [" + text(restore::operationKey(c.type)) + ", " + size + ", " + c.process + "]";
}

void SavedFilesWindow::fill() {
    shown_.clear();
    std::vector<std::string> lines;
    for (const restore::FileChange& c : all_)
        if (restore::matchesFilter(c, Recherche.text())) {
            shown_.push_back(&c);
            lines.push_back(line(c));
        }
    Fichiers.setItems(lines);
    FichiersClick();
}

void SavedFilesWindow::RechercheChange() {
    fill();
}

const restore::FileChange* SavedFilesWindow::selected() const {
    const int index = Fichiers.itemIndex();
    return index >= 0 && index < static_cast<int>(shown_.size()) ? shown_[static_cast<std::size_t>(index)]
                                                                 : nullptr;
}

void SavedFilesWindow::FichiersClick() {
    const restore::FileChange* c = selected();
    const bool copy = c && c->copySize;
    Enregistrer.setEnabled(copy);
    Remettre.setEnabled(copy);
    // Why nothing can be taken back from the change selected: no copy was kept, or it is gone.
    if (c && !copy)
        Nombre.setCaption(
            c->copyName.empty()
                ? text(c->type & restore::EntryFileCreate ? "RecupCree" : "RecupSansCopie", {c->path})
                : text("RecupCopieDisparue", {c->copyName}));
    else
        Nombre.setCaption(
            text("FichiersNombre", {std::to_string(shown_.size()), std::to_string(all_.size())}));
}

void SavedFilesWindow::tell(const restore::Recovery& r) {
    std::string message = text(r.key, {r.detail});
    if (r.status == restore::Recovery::Status::Refused) {
        app().showError(message);
        return;
    }
    if (!r.keptAs.empty())
        message += "\n" + text("RecupGarde", {r.keptAs});
    app().showMessage(message);
}

void SavedFilesWindow::EnregistrerClick() {
    const restore::FileChange* c = selected();
    if (!c)
        return;
    const std::string name = c->path.substr(c->path.rfind('\\') + 1);
    // The desktop, where a user finds the copy at once; the profile itself when it has none.
    std::string folder = state_.userProfile;
    for (const char* desktop : {"\\Bureau", "\\Desktop"})
        if (state_.platform.files.folderExists(state_.userProfile + desktop + "\\")) {
            folder += desktop;
            break;
        }
    const auto target = prompt.ask(folder + "\\" + name);
    if (!target)
        return;
    auto& p = state_.platform;
    restore::Recovery r = restore::saveCopy(p.files, p.restoreStore, *c, *target, false);
    if (r.status == restore::Recovery::Status::AskOverwrite) {
        if (!app().backend().confirm(text(r.key, {r.detail}), app().title(), state_.lookup("Oui", "Oui"),
                                     state_.lookup("Non", "Non")))
            return;
        r = restore::saveCopy(p.files, p.restoreStore, *c, *target, true);
    }
    tell(r);
}

void SavedFilesWindow::RemettreClick() {
    const restore::FileChange* c = selected();
    if (!c || !app().backend().confirm(text("RecupQuestion", {c->path}), app().title(),
                                       state_.lookup("Oui", "Oui"), state_.lookup("Non", "Non")))
        return;
    auto& p = state_.platform;
    tell(restore::putBack(p.files, p.restoreStore, *c, text("RecupMot")));
}

void attachSavedFiles(MainWindow& main, SavedFilesWindow& window, SharedState& state) {
    const auto open = [&main, &window, &state] {
        const int index = main.PointR.itemIndex();
        const std::string folder =
            index < 0 ? "" : state.pointCache.readString(main.PointR.item(index), "DirectoryName", "");
        if (folder.empty())
            main.app().showMessage(state.lookup("Message4", lang::keys::atUseDefault("Message4")));
        else
            window.showPoint(folder);
    };
    const auto caption = [&state] {
        return state.lookup("MenuFichiers", lang::keys::savedFilesDefault("MenuFichiers"));
    };
    main.PointR.popupMenu = {{caption(), open}};
    main.Langue2.onChange = [&main, caption, before = main.Langue2.onChange] {
        before();
        main.PointR.popupMenu[0].caption = caption();
    };
    main.onKeyDown = [open, before = main.onKeyDown](std::uint16_t& key, unsigned shift) {
        if (key == ui::vk::KeyF && (shift & ui::ShiftCtrl))
            open();
        else
            before(key, shift);
    };
}
