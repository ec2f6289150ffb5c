#pragma once
// The main window: the restore-point list, the details of the selected point, the buttons from
// which every operation starts, and the state every other window shares for the whole run.
#include "lang/TextTable.h"
#include "platform/Platform.h"
#include "ui/Form.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TForm7;

class TForm1 : public ui::Form {
public:
    TForm1(ui::Application& app, platform::Platform& platform);
    ~TForm1() override;

    // Controls, as laid out (children of Autres are placed relative to it).
    ui::ListBox PointR;
    ui::Memo Informations;
    ui::Button Creer;
    ui::Button Detruire;
    ui::Button Appliquer;
    ui::GroupBox Autres;
    ui::Button Duree;
    ui::Button Activer;
    ui::Button Jour;
    ui::CheckBox Modifications;
    ui::ComboBox Langue2;

    // Shared state, set up by FormCreate.
    platform::Platform& platform;
    std::string programFolder; // with a trailing backslash
    std::string windowsFolder;
    std::string systemDrive;
    std::string systemFolder;
    std::string userProfile;
    std::unique_ptr<platform::SrAutomation> systemRestore;
    // The three ini files; they only name their file, so they exist from construction on and a
    // failed creation step cannot leave a later handler without them.
    platform::IniFile pointCache;
    platform::IniFile languageFile;
    platform::IniFile settingsFile;
    std::vector<std::string> work;
    std::string machineGuid;
    bool off = false;
    std::int64_t freeSpace = 0; // bytes, then kilobytes after a check
    lang::TextTable texts;
    std::string currentLanguage;
    std::string dateFormat = "dd/MM/yyyy";
    char dateSeparator = '/';

    // The quotation window that Ctrl+1 opens; set once the windows exist.
    TForm7* quotation = nullptr;

    // Handlers.
    void FormCreate();
    void FormActivate();
    void FormClose();
    void FormKeyDown(std::uint16_t& key, unsigned shift);
    void Langue2Change();

    // Operations other windows use.
    void EnumSR();
    void ScanGUID();
    void TrimWorkingSet();
    bool DeleteFolder(const std::string& path);
    bool RestaurationActive();

    // The ten main controls, in the order enumeration disables and enables them.
    std::vector<ui::Control*> mainControls();
    // The text of a key in the current language, asked of the language file at this moment.
    std::string Lookup(const std::string& key, const std::string& frenchDefault) const;
    // The confirmation dialog: true only for Yes.
    bool Confirm(const std::string& question);
    // A file of the program folder, as a full path.
    std::string inProgramFolder(const std::string& name) const { return programFolder + name; }
    // Free space of a root folder for the caller in kilobytes (0 when the query fails), kept in
    // freeSpace; true when it is too little (204800 KiB or less).
    bool lowSpace(const std::string& root);
    // Removes res, res.cab and KestrafenTemp.ini from the program folder; missing files are fine.
    void removeTemporaryFiles();

private:
    void loadLanguageAtStart();
    void applyTexts();
};
