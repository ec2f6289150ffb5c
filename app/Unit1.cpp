#include "app/Unit1.h"

#include "app/Unit7.h"
#include "ui/Application.h"

using ui::Rect;

TForm1::TForm1(ui::Application& app, platform::Platform& platform)
    : ui::Form(app, "Form1"),
      PointR(*this, "PointR", nullptr, Rect{4, 3, 343, 376}, true),
      Informations(*this, "Informations", nullptr, Rect{352, 3, 357, 376}),
      Creer(*this, "Creer", nullptr, Rect{4, 382, 215, 25}, "Créer un point de restauration"),
      Detruire(*this, "Detruire", nullptr, Rect{222, 382, 274, 25}, "Supprimer le point de restauration"),
      Appliquer(*this, "Appliquer", nullptr, Rect{499, 382, 210, 25}, "Appliquer le point de restauration"),
      Autres(*this, "Autres", nullptr, Rect{5, 408, 703, 49}, " Autres "),
      Duree(*this, "Duree", &Autres, Rect{9, 17, 224, 25}, "Configurer le système de restauration"),
      Activer(*this, "Activer", &Autres, Rect{236, 17, 225, 25}, "Activer la restauration système"),
      Jour(*this, "Jour", &Autres, Rect{466, 17, 97, 25}, "Mettre à jour"),
      Modifications(*this, "Modifications", &Autres, Rect{568, 7, 129, 17}, "Lister les modifications"),
      Langue2(*this, "Langue2", &Autres, Rect{568, 24, 129, 21}),
      platform(platform), programFolder(platform.programFolder),
      pointCache(platform.profile, programFolder + "KestrafenTemp.ini"),
      languageFile(platform.profile, programFolder + "langues.ini"),
      settingsFile(platform.profile, programFolder + "Kestrafen.ini") {
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

    onCreate = [this] { FormCreate(); };
    onActivate = [this] { FormActivate(); };
    onClose = [this] { FormClose(); };
    onKeyDown = [this](std::uint16_t& key, unsigned shift) { FormKeyDown(key, shift); };
    Langue2.onChange = [this] { Langue2Change(); };
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
    const auto& env = platform.environment;
    windowsFolder = env.get("Windir").value_or("");
    systemDrive = env.get("SystemDrive").value_or("");
    userProfile = env.get("Userprofile").value_or("");
    systemFolder = windowsFolder + "\\system32";

    systemRestore = platform.systemRestore.automationObject();

    removeTemporaryFiles();
    work.clear();
    loadLanguageAtStart();

    ScanGUID();
    off = false;
    if (lowSpace(systemDrive + "\\"))
        app().showMessage(texts.get("Message2"));
    TrimWorkingSet();
}

void TForm1::FormActivate() {
    repaint();
    if (RestaurationActive())
        EnumSR();
}

void TForm1::FormClose() {
    removeTemporaryFiles();
    work.clear();
}

void TForm1::FormKeyDown(std::uint16_t& key, unsigned shift) {
    if (key == ui::vk::Key1 && (shift & ui::ShiftCtrl) && quotation)
        quotation->showModal();
}

std::vector<ui::Control*> TForm1::mainControls() {
    return {&Informations, &PointR, &Creer, &Detruire, &Duree, &Appliquer, &Activer, &Modifications, &Jour, &Langue2};
}

bool TForm1::lowSpace(const std::string& root) {
    // A failed query counts as no space at all, so the warning is shown.
    freeSpace = static_cast<std::int64_t>(platform.files.freeBytes(root).value_or(0));
    freeSpace /= 1024;
    return freeSpace <= 204800;
}

void TForm1::removeTemporaryFiles() {
    DeleteFolder(inProgramFolder("res"));
    platform.files.deleteFile(inProgramFolder("res.cab"));
    platform.files.deleteFile(inProgramFolder("KestrafenTemp.ini"));
}
