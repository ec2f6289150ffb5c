// Kestrafen on Linux: the program on the simulated Windows XP machine, drawn with Qt.
#include "app/Startup.h"
#include "platform/qt/QtBackend.h"
#include "platform/sim/Machine.h"
#include "ui/Application.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

namespace {

std::unique_ptr<platform::sim::Machine> openMachine() {
    const auto folder = platform::sim::Machine::defaultFolder();
    platform::sim::Machine::ensureExists(folder);
    return std::make_unique<platform::sim::Machine>(folder, std::make_unique<platform::sim::RealClock>());
}

// A restart of the machine ends the program, as the system's shutdown would. Said on standard
// error, since the window would otherwise simply vanish.
void endForRestart() {
    std::fputs("Kestrafen: the simulated machine restarts; the program ends as a restart would end it.\n",
               stderr);
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
    else
        std::exit(0);
}

} // namespace

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv); // takes Qt's own options; the program reads no arguments
    platform::qt::QtBackend backend;
    ui::Application app(backend);

    std::unique_ptr<platform::sim::Machine> machine;
    try {
        machine = openMachine();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, "Kestrafen", QString::fromStdString(error.what()));
        return 1;
    }
    machine->onRestart = endForRestart;

    platform::Platform platform = machine->platform();
    Startup program(app, platform);
    program.start();
    program.run();
    return 0;
}
