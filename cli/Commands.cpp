#include "cli/Commands.h"

#include <array>

namespace cli {

namespace {

constexpr std::array<OptionSpec, 10> optionTable{{
    {"--json", nullptr, "OptionJson"},
    {"--to", "FOLDER", nullptr}, // recover's usage line says it
    {"--in-place", nullptr, nullptr},
    {"--older-than", "30d", nullptr}, // its usage line says it
    {"--keep", "N", "OptionGarder"},
    {"--dry-run", nullptr, "OptionEssai"},
    {"--yes", nullptr, "OptionOui"},
    {"--disk-percent", "N", "OptionPart"},
    {"--lifetime-days", "D", "OptionDuree"},
    {"--interval-hours", "H", "OptionIntervalle"},
}};

} // namespace

const std::vector<CommandSpec>& commands() {
    static const std::vector<CommandSpec> table{
        {"list", {{"kestrafen list [--json]", "CommandeListe"}}, {}, listCommand},
        {"create", {{"kestrafen create \"...\" [--json]", "CommandeCreer"}}, {}, createCommand},
        {"delete",
         {{"kestrafen delete N [N...] [--dry-run] [--yes] [--json]", "CommandeSupprimer"},
          {"kestrafen delete --older-than 30d [--keep 1] [--dry-run] [--yes] [--json]", "CommandeAnciens"}},
         {"--older-than", "--keep", "--dry-run", "--yes"},
         deleteCommand},
        {"status", {{"kestrafen status [--json]", "CommandeEtat"}}, {}, statusCommand},
        {"files", {{"kestrafen files N [--json]", "CommandeFichiers"}}, {}, filesCommand},
        {"recover",
         {{"kestrafen recover N \"C:\\path\\file\" (--to FOLDER | --in-place) [--dry-run] [--yes] [--json]",
           "CommandeRecuperer"}},
         {"--to", "--in-place", "--dry-run", "--yes"},
         recoverCommand},
        {"config",
         {{"kestrafen config [--json]", "CommandeConfig"},
          {"kestrafen config [--disk-percent N] [--lifetime-days D] [--interval-hours H] [--dry-run] "
           "[--json]",
           "CommandeConfigChanger"}},
         {"--disk-percent", "--lifetime-days", "--interval-hours", "--dry-run"},
         configCommand},
    };
    return table;
}

const CommandSpec* findCommand(std::string_view name) {
    for (const auto& c : commands())
        if (name == c.name)
            return &c;
    return nullptr;
}

const OptionSpec* findOption(std::string_view name) {
    for (const auto& o : optionTable)
        if (name == o.name)
            return &o;
    return nullptr;
}

bool takesOption(const CommandSpec& command, std::string_view option) {
    if (option == "--json")
        return true;
    for (const char* name : command.options)
        if (option == name)
            return true;
    return false;
}

} // namespace cli
