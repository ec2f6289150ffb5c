// The version check behind Jour.
#include "app/MainWindow.h"
#include "ui/Application.h"

void MainWindow::JourClick() {
    const std::string& site = updateServer.site;
    update::VersionFile file(state_.platform, update::versionFileUrl(site),
                             state_.inProgramFolder("KestrafenJ.ini"));
    std::optional<update::Published> published;
    {
        // Only for the download: the boxes below come with the usual arrow. Clicks during it are
        // lost, so the controls say so, and come back as they were.
        const ui::Application::BusyCursor wait(app());
        const std::vector<ui::Control*> controls = mainControls();
        std::vector<bool> enabled;
        for (const ui::Control* control : controls)
            enabled.push_back(control->enabled());
        const auto restore = [&] {
            for (std::size_t i = 0; i < controls.size(); ++i)
                controls[i]->setEnabled(enabled[i]);
        };
        ui::setEnabled(controls, false);
        try {
            published = file.fetch(updateServer.limits);
        } catch (...) {
            restore();
            throw;
        }
        restore();
    }
    if (!published) {
        app().showMessage(update::unreachableText(atUse("Message9"), site));
        return;
    }

    if (published->version == update::kOwnVersion) {
        app().showMessage(atUse("Message8"));
        TrimWorkingSet();
    } else {
        app().showMessage(update::otherVersionText(atUse("Message7"), published->version));
        const std::string browser = update::findBrowser(state_.platform.files, state_.platform.shell);
        if (!browser.empty())
            state_.platform.shell.start(browser, site);
        TrimWorkingSet();
    }
    file.discard();
    // The publisher's own words, untranslated, after everything else.
    if (!published->message.empty())
        app().showMessage(published->message);
}
