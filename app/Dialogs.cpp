#include "app/Dialogs.h"

bool confirm(ui::Application& app, const lang::Language& language, const std::string& question) {
    return app.backend().confirm(question, "Confirmation", language.lookup("Oui", "Oui"),
                                 language.lookup("Non", "Non"));
}
