// Every text of the shipped language file fits its control in every language, measured with the
// fonts the Qt backend draws; and a bold label is drawn bold.
#include "app/ExclusionEditor.h"
#include "app/MainWindow.h"
#include "app/QuotationWindow.h"
#include "app/RepairWindow.h"
#include "app/SettingsDialog.h"
#include "app/Startup.h"
#include "app/TitlePrompt.h"
#include "qt/QtTestSupport.h"
#include "support/TestMachine.h"
#include "ui/Application.h"

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QStyle>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

const std::string programFolder = "C:\\Program Files\\Kestrafen\\";

// Room a control's frame and the toolkit's drawing take from its width, in pixels.
constexpr int buttonMargins = 8;   // a push button's frame and padding, both sides
constexpr int groupTitleRoom = 16; // a group box's title starts inset and its frame goes on after it
constexpr int groupFrame = 2;      // a group box's right frame

// A drive line as wide as they come: a large drive and a store of nearly a thousand Mo. Made before
// the program takes the machine's services.
struct WideDrive {
    explicit WideDrive(TestMachine& tm) {
        tm.json()["drives"]["C"]["total_bytes"] = 1099404312985; // 1023,9 Go
        tm.save();
        const auto store = tm.host("C:\\System Volume Information\\_restore{0B9B2D3C}");
        for (int n = 1; n <= 14; ++n)
            std::filesystem::create_directories(store / ("RP" + std::to_string(n)));
        std::ofstream(store / "RP14" / "change.log").close();
        std::filesystem::resize_file(store / "RP14" / "change.log", 1049100288); // sparse: 1000,5 Mo
    }
};

struct TextFitTest : ::testing::Test {
    TextFitTest() {
        backend.setShowUnscripted(false);
        tm.write(programFolder + "Kestrafen.ini", "[Kestrafen]\r\nLangue=Fran\xe7"
                                                  "ais\r\n");
        program = std::make_unique<Startup>(app, platform);
        program->start();
    }
    QtApplicationFirst qt;
    TestMachine tm;
    WideDrive wide{tm};
    platform::qt::QtBackend backend;
    ui::Application app{backend};
    platform::Platform platform = tm.machine->platform();
    std::unique_ptr<Startup> program;

    // The widest the control's caption may be drawn, or -1 for a control without one.
    int room(const ui::Control& control) const {
        const ui::Rect& box = control.bounds();
        const int parentWidth =
            control.parent() ? control.parent()->bounds().width - groupFrame : control.form().clientWidth;
        switch (control.kind()) {
        case ui::Kind::Label: {
            if (box.width > 0)
                return box.width;
            if (!control.parent())
                return parentWidth - box.left;
            // Inside a group box an auto-sized label grows up to the box's inner area (inside its
            // frame, as the style draws it), keeping a pixel for the last glyph's overhang.
            const QWidget* group =
                platform::qt::QtBackend::windowOf(control.form())->viewOf(*control.parent())->widget();
            return group->contentsRect().right() - box.left;
        }
        case ui::Kind::Button:
            return box.width - buttonMargins;
        case ui::Kind::CheckBox: {
            const QWidget* widget =
                platform::qt::QtBackend::windowOf(control.form())->viewOf(control)->widget();
            const QStyle* style = widget->style();
            return box.width - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget) -
                   style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, widget);
        }
        case ui::Kind::GroupBox:
            return box.width - groupTitleRoom;
        default:
            return -1;
        }
    }

    // Adds "Deutsch TForm3.Label11: 362 > 354 'text'" for every caption of the form wider than its room.
    void tooWide(const std::string& language, const ui::Form& form, std::vector<std::string>& found) {
        for (const ui::Control* control : form.controls()) {
            const int available = room(*control);
            if (available < 0)
                continue;
            const std::string& text = static_cast<const ui::CaptionControl*>(control)->caption();
            const int width = backend.textWidth(*control, text);
            if (width > available)
                found.push_back(language + " " + form.name() + "." + control->name() + ": " +
                                std::to_string(width) + " > " + std::to_string(available) + " '" + text +
                                "'");
        }
    }

    // The same for the drive lines of the settings dialog's list, which holds them unscrolled.
    void tooWideLines(const std::string& language, const ui::ListBox& list, std::vector<std::string>& found) {
        const auto* widget = static_cast<const QListWidget*>(
            platform::qt::QtBackend::windowOf(list.form())->viewOf(list)->widget());
        const int textMargin =
            widget->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const int available = list.bounds().width - 2 * widget->frameWidth() - 2 * textMargin;
        for (const std::string& line : list.items())
            if (const int width = backend.textWidth(list, line); width > available)
                found.push_back(language + " " + list.name() + ": " + std::to_string(width) + " > " +
                                std::to_string(available) + " '" + line + "'");
    }
};

TEST_F(TextFitTest, EveryTextOfEveryLanguageFitsItsControl) {
    MainWindow& main = program->mainWindow();
    const std::vector<std::string> languages = program->state().languageFile.sections();
    ASSERT_EQ(languages.size(), 5u);
    std::vector<std::string> found;
    for (const std::string& language : languages) {
        main.Langue2.userSelect(main.Langue2.indexOf(language));
        ASSERT_EQ(program->state().language.name(), language);
        // Each window takes its texts when it is shown.
        program->titlePrompt().FormActivate();
        program->settingsDialog().FormActivate();
        program->exclusionEditor().FormActivate();
        program->repairWindow().FormActivate();
        ASSERT_EQ(program->settingsDialog().Label11.caption(), program->state().lookup("Désactiver2", ""));
        for (const ui::Form* form : std::vector<const ui::Form*>{
                 &main, &program->titlePrompt(), &program->settingsDialog(), &program->exclusionEditor(),
                 &program->repairWindow(), &program->quotationWindow()})
            tooWide(language, *form, found);
        ASSERT_EQ(program->settingsDialog().Lecteurs.count(), 2); // the sample machine's C: and D:
        tooWideLines(language, program->settingsDialog().Lecteurs, found);
    }
    EXPECT_EQ(found, std::vector<std::string>{});
}

// The client sizes are given, whatever the language: a title the bar cannot show whole is cut by
// the window manager, never a reason to widen the window or move what it holds.
TEST_F(TextFitTest, EveryWindowKeepsItsGivenClientSizeInEveryLanguage) {
    MainWindow& main = program->mainWindow();
    TitlePrompt& prompt = program->titlePrompt();
    SettingsDialog& settings = program->settingsDialog();
    const std::vector<std::pair<const ui::Form*, QSize>> given{
        {&main, {712, 462}},
        {&prompt, {176, 56}},
        {&settings, {776, 488}}, // 371 as given, and the disk space column to its right
        {&program->exclusionEditor(), {686, 504}},
        {&program->repairWindow(), {430, 228}},
        {&program->quotationWindow(), {360, 31}},
    };
    for (const std::string& language : program->state().languageFile.sections()) {
        main.Langue2.userSelect(main.Langue2.indexOf(language));
        prompt.FormActivate();
        settings.FormActivate();
        for (const auto& [form, size] : given)
            EXPECT_EQ(platform::qt::QtBackend::windowOf(*form)->size(), size)
                << language << " " << form->name();
        const auto* window = platform::qt::QtBackend::windowOf(prompt);
        EXPECT_EQ(window->viewOf(prompt.Titre)->widget()->mapTo(window, QPoint(0, 0)), QPoint(4, 4))
            << language;
    }
}

// A bold label is drawn with clearly more ink than the same text in the regular face: a family whose
// bold is only its regular letters spaced wider would not pass.
TEST_F(TextFitTest, BoldLabelsAreDrawnBold) {
    const ui::Label& bold = program->settingsDialog().Label20;
    ASSERT_TRUE(bold.font().bold);
    const auto ink = [](const QFont& font) {
        QImage image(300, 30, QImage::Format_Grayscale8);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(2, 20, "In Kestrafen enthaltene Reparatur:");
        painter.end();
        long long sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                sum += 255 - qGray(image.pixel(x, y));
        return sum;
    };
    ui::Font regular = bold.font();
    regular.bold = false;
    EXPECT_GT(ink(platform::qt::qtFont(bold.font())), ink(platform::qt::qtFont(regular)) * 5 / 4);
}

} // namespace
