#include "app/MainWindow.h"

#include "app/Dialogs.h"
#include "app/QuotationWindow.h"
#include "app/TitlePrompt.h"
#include "lang/Keys.h"
#include "lang/Settings.h"
#include "restore/NewPoint.h"
#include "restore/PointDetails.h"
#include "restore/PointList.h"
#include "restore/ServiceState.h"
#include "restore/TemporaryFiles.h"
#include "ui/Application.h"

#include <algorithm>
#include <exception>
#include <functional>

using ui::Rect;

namespace {

// Runs its action when the scope ends, however it ends.
class AtScopeEnd {
public:
    explicit AtScopeEnd(std::function<void()> action) : action_(std::move(action)) {}
    AtScopeEnd(const AtScopeEnd&) = delete;
    AtScopeEnd& operator=(const AtScopeEnd&) = delete;
    ~AtScopeEnd() { action_(); }

private:
    std::function<void()> action_;
};

} // namespace

MainWindow::MainWindow(ui::Application& app, SharedState& state)
    : ui::Form(app, "TForm1"), PointR(*this, "PointR", nullptr, Rect{4, 3, 343, 376}, true),
      Informations(*this, "Informations", nullptr, Rect{352, 3, 357, 376}),
      Creer(*this, "Creer", nullptr, Rect{4, 382, 215, 25}, "Créer un point de restauration"),
      Detruire(*this, "Detruire", nullptr, Rect{222, 382, 274, 25}, "Supprimer le point de restauration"),
      Appliquer(*this, "Appliquer", nullptr, Rect{499, 382, 210, 25}, "Appliquer le point de restauration"),
      Autres(*this, "Autres", nullptr, Rect{5, 408, 703, 49}, " Autres "),
      Duree(*this, "Duree", &Autres, Rect{9, 17, 224, 25}, "Configurer le système de restauration"),
      Activer(*this, "Activer", &Autres, Rect{236, 17, 225, 25}, "Activer la restauration système"),
      Jour(*this, "Jour", &Autres, Rect{466, 17, 97, 25}, "Mettre à jour"),
      Modifications(*this, "Modifications", &Autres, Rect{568, 7, 129, 17}, "Lister les modifications"),
      Langue2(*this, "Langue2", &Autres, Rect{568, 24, 129, 21}), state_(state) {
    setCaption("Kestrafen 1.3D - mavo41");
    clientWidth = 712;
    clientHeight = 462;
    border = ui::BorderStyle::Single;
    position = ui::Position::ScreenCenter;
    keyPreview = true;
    Creer.setEnabled(false);
    Detruire.setEnabled(false);
    Appliquer.setEnabled(false);
    Activer.setEnabled(false);
    Jour.setEnabled(false);
    Modifications.setEnabled(false);

    // The current language is whatever the language box shows.
    state_.language.follow([this] { return Langue2.text(); });

    // A handler that fails midway would leave controls disabled or captions stale: the window
    // first shows the service's actual state again, then the error is reported.
    const auto guarded = [this](void (MainWindow::*handler)()) {
        return [this, handler] {
            try {
                (this->*handler)();
            } catch (...) {
                showActualState();
                throw;
            }
        };
    };
    onCreate = [this] { FormCreate(); };
    onActivate = guarded(&MainWindow::FormActivate);
    onClose = [this] { FormClose(); };
    onKeyDown = [this](std::uint16_t& key, unsigned shift) { FormKeyDown(key, shift); };
    Langue2.onChange = guarded(&MainWindow::Langue2Change);
    PointR.onClick = guarded(&MainWindow::PointRClick);
    Creer.onClick = guarded(&MainWindow::CreerClick);
    Detruire.onClick = guarded(&MainWindow::DetruireClick);
    Appliquer.onClick = guarded(&MainWindow::AppliquerClick);
    Activer.onClick = guarded(&MainWindow::ActiverClick);
    Duree.onClick = guarded(&MainWindow::DureeClick);
    Jour.onClick = guarded(&MainWindow::JourClick);
    Modifications.onMouseUp = [this](ui::MouseButton button, unsigned shift, int x, int y) {
        try {
            ModificationsMouseUp(button, shift, x, y);
        } catch (...) {
            showActualState();
            throw;
        }
    };
}

MainWindow::~MainWindow() {
    state_.language.follow(nullptr);
}

void MainWindow::FormCreate() {
    const auto& env = state_.platform.environment;
    state_.windowsFolder = env.get("Windir").value_or("");
    state_.systemDrive = env.get("SystemDrive").value_or("");
    state_.userProfile = env.get("Userprofile").value_or("");
    state_.systemFolder = state_.windowsFolder + "\\system32";

    // Without the System Restore object the window still works (its users report a clear error),
    // and files left by an earlier run must go all the same: report and go on.
    try {
        state_.systemRestore = state_.platform.systemRestore.automationObject();
    } catch (const std::exception& error) {
        app().handleException(error);
    }

    state_.removeTemporaryFiles();
    loadLanguageAtStart();

    ScanGUID();
    off_ = false;
    if (state_.systemDriveLow())
        app().showMessage(state_.texts().get("Message2"));
    TrimWorkingSet();
}

void MainWindow::FormActivate() {
    repaint();
    if (RestaurationActive())
        EnumSR();
}

void MainWindow::FormClose() {
    state_.removeTemporaryFiles();
}

void MainWindow::FormKeyDown(std::uint16_t& key, unsigned shift) {
    if (key == ui::vk::Key1 && (shift & ui::ShiftCtrl) && quotation_)
        quotation_->showModal();
}

std::vector<ui::Control*> MainWindow::mainControls() {
    return {&Informations, &PointR, &Creer, &Detruire, &Duree, &Appliquer, &Activer, &Modifications, &Jour, &Langue2};
}

void MainWindow::loadLanguageAtStart() {
    for (const std::string& name : state_.languageFile.sections())
        Langue2.add(name);

    if (lang::storedLanguage(state_.settingsFile).empty()) {
        const auto hasFolder = [this](const char* name) {
            return !state_.userProfile.empty() &&
                   state_.platform.files.folderExists(state_.userProfile + "\\" + name);
        };
        lang::storeLanguage(state_.settingsFile, lang::firstRunLanguage(hasFolder("Bureau"), hasFolder("Desktop")));
    }

    Langue2.setItemIndex(Langue2.indexOf(lang::storedLanguage(state_.settingsFile)));
    state_.language.loadDatePattern(true);
    applyTexts();
}

void MainWindow::applyTexts() {
    using lang::keys::captions;
    const auto text = [this](size_t i) { return state_.lookup(captions[i].key, captions[i].frenchDefault); };
    Creer.setCaption(text(0));
    Detruire.setCaption(text(1));
    Appliquer.setCaption(text(2));
    Autres.setCaption(lang::padded(text(3)));
    Duree.setCaption(text(4));
    Activer.setCaption(text(5));
    Jour.setCaption(text(6));
    Modifications.setCaption(text(7));
    state_.language.loadTable();
    shownLanguage_ = Langue2.text();
}

void MainWindow::Langue2Change() {
    try {
        lang::storeLanguage(state_.settingsFile, Langue2.text());
    } catch (...) {
        // Nothing changed yet: the box goes back, so the error and every later text keep one language.
        Langue2.setItemIndex(Langue2.indexOf(shownLanguage_));
        throw;
    }
    state_.language.loadDatePattern(false); // the separator stays as read at start
    applyTexts();
    if (RestaurationActive()) {
        state_.platform.files.deleteFile(state_.inProgramFolder("KestrafenTemp.ini"));
        EnumSR();
    }
}

void MainWindow::EnumSR() {
    const ui::Application::BusyCursor busy(app());
    const auto controls = mainControls();
    ui::setEnabled(controls, false);
    Informations.clear();
    PointR.clear();
    app().processMessages();

    const restore::WrittenKeys written =
        restore::readPoints(state_.platform.systemRestore, state_.pointCache, state_.language.datePattern(),
                            [this](const restore::ListedPoint& point) {
                                PointR.add(point.sortKey);
                                app().processMessages();
                            });

    const std::vector<std::string> sections = state_.pointCache.sections();
    app().processMessages();
    // What this walk wrote is known; only sections left from an earlier walk are read back.
    const std::vector<std::string> placed =
        restore::placeEntries(PointR.items(), sections, [this, &written](const std::string& section) {
            const auto it = written.find(restore::sectionKey(section));
            return it != written.end() ? it->second : state_.pointCache.readString(section, "Date", "");
        });
    // The final order is known, so the list is filled anew at its end, where inserting costs
    // nothing and does not re-sort; no event runs in between, so nobody sees it empty. Replacing
    // the entries one by one in the middle would cost the square of their number.
    PointR.clear();
    for (size_t i = 0; i < placed.size(); ++i)
        PointR.insert(static_cast<int>(i), placed[i]);

    int widest = 0;
    for (const std::string& entry : PointR.items())
        widest = std::max(widest, app().backend().textWidth(PointR, entry + "x"));
    PointR.setHorizontalExtent(widest);

    if (PointR.count() > 0) {
        ui::setEnabled(controls, true);
        Activer.setCaption(atUse("Désactiver"));
    }
    app().processMessages();
    TrimWorkingSet();
}

bool MainWindow::waitForListedPoint() {
    auto& process = state_.platform.process;
    const std::int64_t deadline = process.nowMs() + 120000;
    {
        const ui::Application::BusyCursor busy(app());
        while (!app().closePending(this)) {
            EnumSR();
            process.sleep(250);
            app().processMessages();
            if (PointR.count() > 0)
                return true;
            if (process.nowMs() >= deadline)
                break;
        }
    }
    if (!app().closePending(this))
        app().showMessage(atUse("Message15")); // after the wait, with the normal cursor
    return false;
}

void MainWindow::ScanGUID() {
    state_.machineGuid = restore::readMachineGuid(state_.platform.registry);
}

void MainWindow::TrimWorkingSet() {
    state_.platform.process.trimWorkingSet();
}

bool MainWindow::DeleteFolder(const std::string& path) {
    return restore::deleteFolder(state_.platform.files, path);
}

void MainWindow::showActualState() noexcept {
    try {
        const restore::ServiceState state = restore::readServiceState(state_.platform.registry);
        if (state == restore::ServiceState::On || state == restore::ServiceState::Off) {
            RestaurationActive();
            return;
        }
    } catch (...) {
        // The state cannot be read either: fall back to the window as it was created.
    }
    // Neither on nor off: as created, so the settings and the language stay within reach.
    try {
        ui::setEnabled({&Creer, &Detruire, &Appliquer, &Modifications, &Activer, &Jour}, false);
        ui::setEnabled({&PointR, &Informations, &Duree, &Langue2}, true);
    } catch (...) {
    }
}

bool MainWindow::RestaurationActive() {
    switch (restore::readServiceState(state_.platform.registry)) {
    case restore::ServiceState::Off:
        PointR.clear();
        Informations.clear();
        ui::setEnabled({&Creer, &Detruire, &Informations, &PointR, &Appliquer, &Modifications}, false);
        ui::setEnabled({&Activer, &Jour, &Duree, &Langue2}, true);
        Activer.setCaption(atUse("Activer"));
        off_ = true;
        return false;
    case restore::ServiceState::On:
        ui::setEnabled({&Creer, &Detruire, &Duree, &Informations, &PointR, &Appliquer, &Activer, &Modifications, &Jour,
                        &Langue2},
                       true);
        Activer.setCaption(atUse("Désactiver"));
        off_ = false;
        return true;
    default:
        return false;
    }
}

std::string MainWindow::atUse(const char* key) const {
    return state_.lookup(key, lang::keys::atUseDefault(key));
}

void MainWindow::PointRClick() {
    const int index = PointR.itemIndex();
    if (index < 0)
        return;
    Informations.clear();
    Informations.setLines(restore::detailLines(
        state_.pointCache, PointR.item(index), state_.machineGuid,
        [this](const std::string& key, const std::string& frenchDefault) { return state_.lookup(key, frenchDefault); }));
    if (Modifications.checked() && state_.platform.files.fileExists(state_.inProgramFolder("res\\SR-ChgLog.LOG")))
        listChanges(PointR.item(index));
}

bool MainWindow::CreateRestorePoint() {
    // BEGIN_SYSTEM_CHANGE alone: a closing END_SYSTEM_CHANGE would be a second request that the
    // service could take as a second point, and nothing is installed between the two.
    bool made = false;
    {
        const ui::Application::BusyCursor busy(app());
        made = restore::createPoint(state_.platform.systemRestore, titlePrompt_->title());
    }
    if (made)
        return true;
    app().showMessage(atUse("Message1"));
    return false;
}

void MainWindow::CreerClick() {
    if (!titlePrompt_ || !titlePrompt_->ask())
        return;
    // Unreadable free space counts as none, as at start: better no point than a full drive.
    if (state_.systemDriveLow()) {
        app().showMessage(state_.texts().get("Message2"));
        return;
    }

    ui::setEnabled({&Creer, &Detruire, &Duree, &Informations, &PointR, &Appliquer, &Activer, &Modifications, &Jour},
                   false);
    Modifications.setChecked(false);
    Langue2.setEnabled(false);
    // The lock ends here even when a step fails with an error.
    const AtScopeEnd unlock([this] {
        ui::setEnabled({&Creer, &Detruire, &Duree, &Informations, &PointR, &Appliquer, &Activer, &Modifications, &Jour,
                        &Langue2},
                       true);
    });
    repaint();

    if (!CreateRestorePoint()) {
        app().showMessage(atUse("Message12"));
        return;
    }
    state_.removeTemporaryFiles();
    EnumSR();
    if (app().closePending(this))
        return; // closed while the list was made: no message over a closing window
    app().showMessage(atUse("Message5"));
    TrimWorkingSet();
}
