// Reading whether System Restore is on and setting the main window to match.
#include "app/Unit1.h"
#include "platform/Registry.h"

bool TForm1::RestaurationActive() {
    auto key = platform.registry.open(platform::RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Services\\sr", false);
    if (!key)
        return false;
    const std::uint32_t start = platform::reg::readInteger(*key, "Start");
    key.reset();

    if (start == 4) {
        PointR.clear();
        Informations.clear();
        for (ui::Control* c : std::initializer_list<ui::Control*>{&Creer, &Detruire, &Informations, &PointR, &Appliquer,
                                                                   &Modifications})
            c->setEnabled(false);
        for (ui::Control* c : std::initializer_list<ui::Control*>{&Activer, &Jour, &Duree, &Langue2})
            c->setEnabled(true);
        Activer.setCaption(Lookup("Activer", "Activer la restauration système"));
        off = true;
        return false;
    }
    if (start == 0) {
        for (ui::Control* c : std::initializer_list<ui::Control*>{&Creer, &Detruire, &Duree, &Informations, &PointR,
                                                                   &Appliquer, &Activer, &Modifications, &Jour,
                                                                   &Langue2})
            c->setEnabled(true);
        Activer.setCaption(Lookup("Désactiver", "Désactiver la restauration système"));
        off = false;
        return true;
    }
    return false;
}
