// The buttons that act on the selected point: delete it, or roll the machine back to it.
#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "restore/PointDetails.h"
#include "restore/PointRemoval.h"
#include "ui/Application.h"

std::optional<std::int32_t> MainWindow::selectedSequenceNumber() {
    const auto number = restore::sequenceNumber(state_.pointCache, PointR.item(PointR.itemIndex()));
    if (number)
        return number;
    // Sending 0 would name no point (and a roll-back would restart for nothing).
    app().showMessage(atUse("Message17"));
    listAgain();
    return std::nullopt;
}

void MainWindow::listAgain() {
    state_.platform.files.deleteFile(state_.pointCache.fileName());
    EnumSR();
}

// Another program may have removed the point since the list was made (the service trims old
// points too): the list must not go on offering it.
void MainWindow::refusedRollBack(std::int32_t number) {
    const bool gone = !restore::serviceHolds(state_.platform.systemRestore, number);
    app().showMessage(atUse(gone ? "Message17" : "Message20"));
    listAgain();
}

void MainWindow::DetruireClick() {
    if (PointR.itemIndex() < 0) {
        app().showMessage(atUse("Message4"));
        return;
    }
    if (!confirm(app(), state_.language, atUse("Question1")))
        return;
    if (!restore::leavesAPoint(static_cast<std::size_t>(PointR.count()))) {
        app().showMessage(atUse("Message3"));
        return;
    }
    const auto number = selectedSequenceNumber();
    if (!number)
        return;
    if (!restore::removePoint(state_.platform.systemRestore, static_cast<std::uint32_t>(*number))) {
        app().showMessage(atUse("Message18"));
        listAgain(); // gone meanwhile, most likely: the list must not go on offering it
        return;
    }
    PointR.remove(PointR.itemIndex());
    Informations.clear();
}

void MainWindow::AppliquerClick() {
    if (PointR.itemIndex() < 0) {
        app().showMessage(atUse("Message4"));
        return;
    }
    if (!confirm(app(), state_.language, atUse("Question2")))
        return;
    const auto number = selectedSequenceNumber();
    if (!number)
        return;
    // A refused roll-back restarts nothing: the machine would come back unchanged.
    if (state_.automation().Restore(*number) != 0) {
        refusedRollBack(*number);
        return;
    }
    state_.removeTemporaryFiles();
    state_.platform.shell.runCommand("/c shutdown -r -t 0");
}
