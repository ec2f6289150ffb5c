// The change-log listing of the main window: the diagnostic tool's cabinet, made once on request
// and unpacked into res, and the records of the selected point appended below its details.
#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "platform/Error.h"
#include "platform/Text.h"
#include "restore/ChangeLog.h"
#include "ui/Application.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// How long the diagnostic tool may take to write its cabinet, on the platform's clock.
constexpr std::int64_t cabinetWaitMs = 10 * 60 * 1000;

} // namespace

void MainWindow::ModificationsMouseUp(ui::MouseButton, unsigned, int, int) {
    if (!Modifications.checked())
        return;
    if (state_.platform.files.folderExists(state_.inProgramFolder("res")))
        return; // the log unpacked earlier is reused
    if (!confirm(app(), state_.language, atUse("Question5"))) {
        Modifications.setChecked(false);
        return;
    }
    repaint();
    const std::vector<ui::Control*> controls = {&Creer,  &Detruire,  &Duree,   &Informations,
                                                &PointR, &Appliquer, &Activer, &Modifications,
                                                &Jour,   &Langue2};
    ui::setEnabled(controls, false);
    try {
        CabExtract();
    } catch (...) {
        // As for the failures CabExtract reports itself: no half-made res to be taken for a log.
        Modifications.setChecked(false);
        DeleteFolder(state_.inProgramFolder("res"));
        ui::setEnabled(controls, true);
        throw;
    }
    ui::setEnabled(controls, true);
}

bool MainWindow::CabExtract() {
    auto& files = state_.platform.files;
    auto& process = state_.platform.process;
    const std::string res = state_.inProgramFolder("res");
    const std::string cabinet = state_.inProgramFolder("res.cab");

    // Why no log was made; shown once the wait is over, with the normal cursor.
    std::optional<std::string> failure;
    {
        const ui::Application::BusyCursor busy(app());
        DeleteFolder(res);
        files.deleteFile(cabinet);
        files.createFolder(res);
        process.sleep(500);
        app().processMessages();

        if (!files.fileExists(state_.systemFolder + "\\Restore\\srdiag.exe")) {
            failure = atUse("Message6");
        } else {
            state_.platform.shell.runCommand("/c %Windir%\\system32\\Restore\\srdiag.exe /CabName:res.cab");
            const std::int64_t deadline = process.nowMs() + cabinetWaitMs;
            for (;;) {
                process.sleep(70);
                app().processMessages();
                // The tool may still be writing the cabinet: it is whole once the tool has ended.
                if (files.fileExists(cabinet) && !state_.platform.shell.commandRunning())
                    break;
                if (app().closePending(this))
                    return false; // closing removes res and res.cab
                if (process.nowMs() >= deadline) {
                    failure = atUse("Message16");
                    break;
                }
            }
        }
        if (!failure) {
            process.sleep(100);
            try {
                state_.platform.cabinet.extract(cabinet, res);
            } catch (const platform::Error& e) {
                // The platform's text names the cabinet and says what is wrong with it.
                failure = atUse("Message6") + "\n" + ui::Application::withFullStop(e.what());
            }
        }
    }
    if (failure) {
        // Without a log, res must not stay behind: its presence alone would skip the next attempt.
        app().showMessage(*failure);
        Modifications.setChecked(false);
        DeleteFolder(res);
        return false;
    }
    repaint();
    return true;
}

void MainWindow::listChanges(const std::string& entry) {
    const std::string logFile = state_.inProgramFolder("res\\SR-ChgLog.LOG");
    if (!state_.platform.files.fileExists(logFile))
        return; // a cabinet without the change log: the details stay as they are
    // A log too large to hold is refused unread, like one that cannot be read: an empty listing
    // would read as "no changes".
    const auto stamp = state_.platform.files.stamp(logFile);
    if (stamp && stamp->size > restore::maxChangeLogBytes) {
        app().showMessage(atUse("Message19") + " " + logFile + " (" + std::to_string(stamp->size >> 20) +
                          " MB > " + std::to_string(restore::maxChangeLogBytes >> 20) + " MB)");
        return;
    }
    const std::optional<std::string> log = state_.platform.files.readFile(logFile);
    if (!log) {
        app().showMessage(atUse("Message19") + " " + logFile);
        return;
    }
    ui::setEnabled({&Creer, &Detruire, &Duree, &Informations, &PointR, &Appliquer, &Activer, &Modifications,
                    &Jour, &Langue2},
                   false);
    try {
        const ui::Application::BusyCursor busy(app());
        app().processMessages();
        Informations.addLines({"", "Modification(s) :"});

        // The log is 8-bit text: compare in its terms and convert only what is shown.
        const std::string folder =
            platform::text::toCp1252(state_.pointCache.readString(entry, "DirectoryName", ""));
        restore::scanChangeLog(*log, folder, [this](std::string_view record) {
            Informations.addLines(restore::recordLines(record));
            app().processMessages();
            return !app().closePending(this);
        });
    } catch (...) {
        ui::setEnabled(mainControls(), true);
        throw;
    }
    ui::setEnabled(mainControls(), true);
    Informations.moveCaretToEnd();
    app().processMessages();
}
