// Activer: switching System Restore on or off for every drive.
#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "ui/Application.h"

void MainWindow::ActiverClick() {
    if (off_)
        switchOn();
    else
        switchOff();
}

void MainWindow::switchOn() {
    if (!confirm(app(), state_.language, atUse("Question3")))
        return;
    platform::SrAutomation& service = state_.automation(); // before anything is locked
    if (state_.systemDriveLow())
        app().showMessage(state_.texts().get("Message2")); // only a warning here

    std::uint32_t answer = 0;
    {
        const ui::Application::BusyCursor busy(app());
        ui::setEnabled(
            {&Creer, &Detruire, &Duree, &Informations, &PointR, &Appliquer, &Activer, &Modifications, &Jour},
            false);
        Modifications.setChecked(false);
        Langue2.setEnabled(false);
        app().processMessages();

        state_.removeTemporaryFiles();
        answer = service.Enable(state_.systemDrive + "\\");
        if (answer == 0)
            state_.platform.process.sleep(1000);
    }
    if (answer != 0) {
        refusedSwitch("Message21");
        return;
    }
    waitForListedPoint();
    if (app().closePending(this))
        return;
    app().processMessages();
    RestaurationActive();
}

void MainWindow::switchOff() {
    if (!confirm(app(), state_.language, atUse("Question4")))
        return;
    platform::SrAutomation& service = state_.automation(); // before anything is emptied
    std::uint32_t answer = 0;
    {
        const ui::Application::BusyCursor busy(app());
        ui::setEnabled(
            {&Creer, &Detruire, &Duree, &Informations, &PointR, &Appliquer, &Activer, &Modifications}, false);
        Modifications.setChecked(false);
        ui::setEnabled({&Jour, &Langue2}, false);
        app().processMessages();

        PointR.clear();
        Informations.clear();
        answer = service.Disable(state_.systemDrive + "\\");
        state_.removeTemporaryFiles();
    }
    if (answer != 0) {
        refusedSwitch("Message22");
        return;
    }
    RestaurationActive();
}

// The service kept its state: the window shows that state, with its points when it is on.
void MainWindow::refusedSwitch(const char* message) {
    app().showMessage(atUse(message));
    if (RestaurationActive())
        EnumSR();
    else
        showActualState();
}
