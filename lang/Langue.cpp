// Loading the texts of the chosen language into the main window and the text table.
#include "app/Unit1.h"
#include "lang/Keys.h"
#include "ui/Application.h"

namespace {

const char* const settingsSection = "Kestrafen";
const char* const languageKey = "Langue";

} // namespace

void TForm1::loadLanguageAtStart() {
    for (const std::string& name : languageFile.sections())
        Langue2.add(name);

    if (settingsFile.readString(settingsSection, languageKey, "").empty()) {
        // First run: a French desktop folder means French, an English one alone English, and
        // a profile with neither (or no profile at all) French.
        const auto hasFolder = [this](const char* name) {
            return !userProfile.empty() && platform.files.folderExists(userProfile + "\\" + name);
        };
        const bool english = !hasFolder("Bureau") && hasFolder("Desktop");
        settingsFile.writeString(settingsSection, languageKey, english ? "English" : "Français");
    }

    Langue2.setItemIndex(Langue2.indexOf(settingsFile.readString(settingsSection, languageKey, "")));
    currentLanguage = Langue2.text();
    dateFormat = Lookup("Date", "dd/MM/yyyy");
    // An empty separator keeps the usual one: a date needs something between its fields.
    const std::string separator = Lookup("Séparateur", "/");
    dateSeparator = separator.empty() ? '/' : separator[0];
    applyTexts();
}

void TForm1::applyTexts() {
    using lang::keys::captions;
    Creer.setCaption(Lookup(captions[0].key, captions[0].frenchDefault));
    Detruire.setCaption(Lookup(captions[1].key, captions[1].frenchDefault));
    Appliquer.setCaption(Lookup(captions[2].key, captions[2].frenchDefault));
    Autres.setCaption(lang::padded(Lookup(captions[3].key, captions[3].frenchDefault)));
    Duree.setCaption(Lookup(captions[4].key, captions[4].frenchDefault));
    Activer.setCaption(Lookup(captions[5].key, captions[5].frenchDefault));
    Jour.setCaption(Lookup(captions[6].key, captions[6].frenchDefault));
    Modifications.setCaption(Lookup(captions[7].key, captions[7].frenchDefault));
    for (const auto& entry : lang::keys::table)
        texts.set(entry.key, Lookup(entry.key, entry.frenchDefault));
}

void TForm1::Langue2Change() {
    settingsFile.writeString(settingsSection, languageKey, Langue2.text());
    currentLanguage = Langue2.text();
    dateFormat = Lookup("Date", "dd/MM/yyyy");
    applyTexts();
    if (RestaurationActive()) {
        platform.files.deleteFile(inProgramFolder("KestrafenTemp.ini"));
        EnumSR();
    }
}
