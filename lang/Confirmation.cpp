// The text lookup at the moment of use and the confirmation dialog every window asks through.
#include "app/Unit1.h"
#include "ui/Application.h"

std::string TForm1::Lookup(const std::string& key, const std::string& frenchDefault) const {
    if (currentLanguage.empty())
        return frenchDefault;
    return languageFile.readString(currentLanguage, key, frenchDefault);
}

bool TForm1::Confirm(const std::string& question) {
    return app().backend().confirm(question, "Confirmation", Lookup("Oui", "Oui"), Lookup("Non", "Non"));
}
