#include "app/RepairWindow.h"

#include "app/Dialogs.h"
#include "app/SettingsDialog.h"
#include "config/Repair.h"
#include "restore/TemporaryFiles.h"
#include "ui/Application.h"

using ui::Rect;

RepairWindow::RepairWindow(ui::Application& app, SharedState& state)
    : ui::Form(app, "TForm5"), GroupBox1(*this, "GroupBox1", nullptr, Rect{5, 1, 420, 224}),
      Label1(*this, "Label1", &GroupBox1, Rect{8, 16, 0, 0}),
      Label2(*this, "Label2", &GroupBox1, Rect{8, 32, 0, 0}),
      Label7(*this, "Label7", &GroupBox1, Rect{8, 48, 0, 0}),
      Label3(*this, "Label3", &GroupBox1, Rect{32, 72, 0, 0}),
      Label5(*this, "Label5", &GroupBox1, Rect{40, 88, 0, 0}),
      Label4(*this, "Label4", &GroupBox1, Rect{40, 104, 0, 0}),
      Label6(*this, "Label6", &GroupBox1, Rect{40, 120, 0, 0}),
      Label8(*this, "Label8", &GroupBox1, Rect{40, 136, 0, 0}),
      Label10(*this, "Label10", &GroupBox1, Rect{40, 152, 0, 0}),
      Label9(*this, "Label9", &GroupBox1, Rect{40, 168, 0, 0}),
      Reparation(*this, "Reparation", &GroupBox1, Rect{16, 191, 177, 25}),
      Reinstaller(*this, "Reinstaller", &GroupBox1, Rect{200, 191, 201, 25}), state_(state) {
    // Outer size 438 × 262 with an ordinary sizable frame around the client area.
    clientWidth = 430;
    clientHeight = 228;
    border = ui::BorderStyle::Sizable; // minimise button and close box only
    position = ui::Position::MainFormCenter;
    ui::Font bold = Label3.font();
    bold.bold = true;
    Label3.setFont(bold);
    tabOrder = {&Reparation, &Reinstaller};

    onActivate = [this] { FormActivate(); };
    onClose = [this] { FormClose(); };
    Reparation.onClick = [this] { ReparationClick(); };
    Reinstaller.onClick = [this] { ReinstallerClick(); };
}

void RepairWindow::FormActivate() {
    classesRoot_.emplace(ClassesRoot{state_.platform.registry});

    const lang::TextTable& texts = state_.texts();
    setCaption(texts.get("RéparerRestauration"));
    const std::pair<ui::CaptionControl*, const char*> captions[] = {
        {&GroupBox1, "RéparerRestauration"},     {&Label1, "RéparerRestauration1"},
        {&Label2, "RéparerRestauration2"},       {&Label7, "RéparerRestauration3"},
        {&Label3, "RéparerRestauration4"},       {&Label5, "RéparerRestauration5"},
        {&Label4, "RéparerRestauration6"},       {&Label6, "RéparerRestauration7"},
        {&Label8, "RéparerRestauration8"},       {&Label10, "RéparerRestauration9"},
        {&Label9, "RéparerRestauration10"},      {&Reparation, "RéparerRestauration11"},
        {&Reinstaller, "RéparerRestauration12"},
    };
    for (const auto& [control, key] : captions)
        lang::showText(*control, texts, key);
}

void RepairWindow::FormClose() {
    classesRoot_.reset();
    if (settings_ && !ending_)
        settings_->show();
}

void RepairWindow::ReparationClick() {
    if (!confirm(app(), state_.language, state_.texts().get("Question7")))
        return;
    const std::string windows = state_.platform.environment.get("Windir").value_or("");
    const std::string system = windows + "\\system32";
    // The sequence ends with a restart: the buttons stay off for the rest of the run.
    ui::setEnabled({&Reparation, &Reinstaller}, false);

    platform::Shell& shell = state_.platform.shell;
    for (const char* command : config::serviceCommands)
        shell.runCommand(command);

    platform::FileSystem& files = state_.platform.files;
    if (restore::tooLittleSpace(restore::freeKilobytes(files, config::driveRoot(files.currentFolder()))))
        app().showMessage(state_.texts().get("Message2"));

    config::restoreFiles(files, config::fileRestorations(windows));
    if (classesRoot_)
        config::writeClassesValues(classesRoot_->registry, classesRoot_->root,
                                   config::htcAssociation(system));

    for (const char* command : config::registrationCommands)
        shell.runCommand(command);

    app().showMessage(state_.texts().get("Message14"));
    restore::deleteFolder(files, state_.inProgramFolder("res"));
    files.deleteFile(state_.inProgramFolder("res.cab"));
    files.deleteFile(state_.inProgramFolder("configuration.ini"));
    shell.runCommand(config::restartCommand);
}

void RepairWindow::ReinstallerClick() {
    if (!confirm(app(), state_.language, state_.texts().get("Question6")))
        return;
    if (!confirm(app(), state_.language, state_.texts().get("Question8"))) {
        app().showMessage(state_.texts().get("Message13"));
        return;
    }
    state_.platform.shell.winExec(config::reinstallCommandLine);
    endProgram();
}

// Ends the program as closing the main window does: the open dialogs end without a result, then
// the main window closes once the handlers under way have returned.
void RepairWindow::endProgram() {
    ending_ = true;
    setModalResult(ui::mr::Cancel);
    ending_ = false;
    if (settings_)
        settings_->setModalResult(ui::mr::Cancel);
    if (ui::Form* main = app().mainForm())
        main->close();
}
