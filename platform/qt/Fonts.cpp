#include "platform/qt/Fonts.h"

#include <QFile>
#include <QFontDatabase>

#include <map>
#include <string>
#include <utility>

namespace platform::qt {

namespace {

const char* const wineFonts[] = {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"};

bool installed(const QString& family) {
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

// Looking a family up walks every installed font; the answer stays the same until fonts are added.
std::map<std::pair<std::string, bool>, QString>& resolved() {
    static std::map<std::pair<std::string, bool>, QString> families;
    return families;
}

QString resolve(const std::string& name, bool bold) {
    const QString family = QString::fromStdString(name);
    // Wine's Tahoma Bold draws the small sizes from bitmaps of the regular letters spaced wider;
    // the family Wine's Tahoma was drawn from has a true bold of the same shapes.
    if (bold && family.compare("Tahoma", Qt::CaseInsensitive) == 0 && installed("DejaVu Sans"))
        return "DejaVu Sans";
    if (installed(family))
        return family;
    if (family.compare("Times New Roman", Qt::CaseInsensitive) == 0)
        return installed("Liberation Serif") ? QString("Liberation Serif") : QString("serif");
    if (family.compare("Tahoma", Qt::CaseInsensitive) == 0 && installed("DejaVu Sans"))
        return "DejaVu Sans";
    return "sans-serif";
}

} // namespace

void loadBundledFonts() {
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    resolved().clear();
    for (const char* path : wineFonts)
        if (QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
}

QString resolvedFamily(const std::string& name, bool bold) {
    auto& families = resolved();
    const auto it = families.find({name, bold});
    if (it != families.end())
        return it->second;
    return families.emplace(std::make_pair(name, bold), resolve(name, bold)).first->second;
}

QFont qtFont(const ui::Font& font) {
    QFont result(resolvedFamily(font.name, font.bold));
    if (result.family() == "serif")
        result.setStyleHint(QFont::Serif);
    else if (result.family() == "sans-serif")
        result.setStyleHint(QFont::SansSerif);
    result.setPixelSize(font.pixelHeight);
    result.setBold(font.bold);
    result.setItalic(font.italic);
    return result;
}

} // namespace platform::qt
