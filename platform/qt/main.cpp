// Kestrafen on Linux: the program on the simulated Windows XP machine, drawn with Qt. Started with
// arguments it runs one command of its command line instead, with no window and no display.
#include "app/Startup.h"
#include "cli/CommandLine.h"
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
#include <string>
#include <vector>

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

class StandardStreams : public cli::Console {
public:
    bool out(const std::string& text) override { return write(stdout, text); }
    bool err(const std::string& text) override { return write(stderr, text); }

private:
    static bool write(std::FILE* stream, const std::string& text) {
        const bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
        return std::fflush(stream) == 0 && written;
    }
};

int runCommand(int argc, char** argv) {
    StandardStreams console;
    std::unique_ptr<platform::sim::Machine> machine;
    try {
        machine = openMachine();
    } catch (const std::exception& error) {
        console.err(std::string(error.what()) + "\n");
        return cli::failed;
    }
    platform::Platform platform = machine->platform();
    return cli::run(std::vector<std::string>(argv + 1, argv + argc), platform, console);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1)
        return runCommand(argc, argv); // before any Qt object: no display needed

    QApplication qtApp(argc, argv);
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
