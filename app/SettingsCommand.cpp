// The settings command of the main window.
#include "app/MainWindow.h"
#include "app/SettingsDialog.h"
#include "config/DriveList.h"
#include "config/RestoreSettings.h"
#include "restore/TemporaryFiles.h"
#include "ui/Application.h"

void MainWindow::DureeClick() {
    lifetimeDays = 0;
    intervalHours = 0;
    const config::Timings stored = config::readTimings(state_.platform.registry);
    lifetimeDays = stored.lifetimeDays;
    intervalHours = stored.intervalHours;

    if (!settings_)
        return;
    const SettingsDialog::Result result = settings_->run();
    if (!result.validated)
        return;

    config::writeTimings(state_.platform.registry, {result.lifetimeDays, result.intervalHours});
    app().processMessages();

    if (!result.drivesToEnable.empty()) {
        for (const config::DriveItem& drive :
             config::parseDriveList(result.drivesToEnable, state_.systemDrive)) {
            state_.automation().Enable(drive.argument);
            if (drive.systemDrive)
                afterSystemDriveEnabled();
        }
    }
    if (!result.drivesToDisable.empty()) {
        for (const config::DriveItem& drive :
             config::parseDriveList(result.drivesToDisable, state_.systemDrive)) {
            state_.automation().Disable(drive.argument);
            if (drive.systemDrive)
                afterSystemDriveDisabled();
        }
    }
}

// System Restore is on again for every drive: the old change lists and cache are stale, and the
// window waits (bounded) for the service's first point before showing the state.
void MainWindow::afterSystemDriveEnabled() {
    if (restore::tooLittleSpace(restore::freeKilobytes(state_.platform.files, state_.systemDrive + "\\")))
        app().showMessage(state_.texts().get("Message2"));
    restore::removeTemporaryFiles(state_.platform.files, state_.programFolder);
    ui::setEnabled({&Creer, &Detruire, &Duree, &Informations, &PointR, &Appliquer, &Activer, &Modifications,
                    &Jour, &Langue2},
                   false);
    repaint();
    state_.platform.process.sleep(1000);
    waitForListedPoint();
    RestaurationActive();
    app().processMessages();
}

void MainWindow::afterSystemDriveDisabled() {
    restore::removeTemporaryFiles(state_.platform.files, state_.programFolder);
    RestaurationActive();
}
