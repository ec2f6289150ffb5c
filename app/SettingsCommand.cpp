// The settings command of the main window.
#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "app/SettingsDialog.h"
#include "config/DiskShare.h"
#include "config/DriveList.h"
#include "config/RestoreSettings.h"
#include "ui/Application.h"

void MainWindow::DureeClick() {
    const config::Timings stored = config::readTimings(state_.platform.registry); // 0 for what is missing
    lifetimeDays = stored.lifetimeDays;
    intervalHours = stored.intervalHours;
    diskPercent = config::readDiskPercent(state_.platform.registry);

    if (!settings_)
        return;
    const SettingsDialog::Result result = settings_->run();
    if (!result.validated)
        return;
    // The same loss as Activer's: every point goes, so the same question first.
    if (config::reachesSystemDrive(result.drivesToDisable, state_.systemDrive) &&
        !confirm(app(), state_.language, atUse("Question4")))
        return;

    {
        const ui::Application::BusyCursor busy(app());
        config::writeTimings(state_.platform.registry, {result.lifetimeDays, result.intervalHours});
        config::writeDiskPercent(state_.platform.registry, result.diskPercent);
    }
    app().processMessages();
    switchDrives(result.drivesToEnable, true);
    switchDrives(result.drivesToDisable, false);
}

void MainWindow::switchDrives(const std::string& driveList, bool on) {
    if (driveList.empty())
        return;
    for (const config::DriveItem& drive : config::parseDriveList(driveList, state_.systemDrive)) {
        std::uint32_t answer = 0;
        {
            const ui::Application::BusyCursor busy(app());
            if (on)
                answer = state_.automation().Enable(drive.argument);
            else
                answer = state_.automation().Disable(drive.argument);
        }
        if (answer != 0) {
            refusedSwitch(on ? "Message21" : "Message22");
            continue;
        }
        if (drive.systemDrive) {
            if (on)
                afterSystemDriveEnabled();
            else
                afterSystemDriveDisabled();
        }
    }
}

// System Restore is on again for every drive: the old change lists and cache are stale, and the
// window waits (bounded) for the service's first point before showing the state.
void MainWindow::afterSystemDriveEnabled() {
    if (state_.systemDriveLow())
        app().showMessage(state_.texts().get("Message2"));
    {
        const ui::Application::BusyCursor busy(app());
        state_.removeTemporaryFiles();
        ui::setEnabled({&Creer, &Detruire, &Duree, &Informations, &PointR, &Appliquer, &Activer,
                        &Modifications, &Jour, &Langue2},
                       false);
        repaint();
        state_.platform.process.sleep(1000);
    }
    waitForListedPoint();
    RestaurationActive();
    app().processMessages();
}

void MainWindow::afterSystemDriveDisabled() {
    state_.removeTemporaryFiles();
    RestaurationActive();
}
