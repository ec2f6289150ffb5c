// The program's own windows drawn by the Qt backend: the main window's layout as designed, its
// states before and after activation, the language drop-down, Ctrl+1 and the splash.
#include "app/Startup.h"
#include "app/MainWindow.h"
#include "app/QuotationWindow.h"
#include "qt/QtTestSupport.h"
#include "support/TestMachine.h"
#include "ui/Application.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace testing_support;

namespace {

const std::string programFolder = "C:\\Program Files\\Kestrafen\\";

struct QtMainWindow : ::testing::Test {
    QtMainWindow() { backend.setShowUnscripted(false); }
    QtApplicationFirst qt;
    TestMachine tm;
    platform::qt::QtBackend backend;
    ui::Application app{backend};
    std::unique_ptr<platform::Platform> platform;
    std::unique_ptr<Startup> program;

    void ordinaryStart() {
        tm.write(programFolder + "Kestrafen.ini", "[Kestrafen]\r\nLangue=Fran\xe7"
                                                  "ais\r\n");
    }
    void start() {
        platform = std::make_unique<platform::Platform>(tm.machine->platform());
        program = std::make_unique<Startup>(app, *platform);
        program->start();
    }
    MainWindow& form() { return program->mainWindow(); }
    template <typename W = QWidget> W* widget(const char* name) { return widgetOf<W>(form(), name); }
};

QString captionOf(QWidget* w) {
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* box = qobject_cast<QGroupBox*>(w))
        return box->title();
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentText();
    return {};
}

struct Row {
    const char* name;
    const char* kind;
    QRect bounds;
    const char* parent;
    QString caption;
    bool enabled;
};

// Watches the splash window being shown, and its label's font at that moment.
struct SplashWatch : QObject {
    bool shown = false;
    QFont labelFont;
    QPointer<QWidget> window;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->objectName() == "TSplashScreen") {
            shown = true;
            window = static_cast<QWidget*>(watched);
            if (auto* label = window->findChild<QLabel*>("Label1"))
                labelFont = label->font();
        }
        return false;
    }
};

} // namespace

TEST_F(QtMainWindow, LayoutMatchesTheWindowTable) {
    ordinaryStart();
    start();
    QWidget* window = windowOf(form());
    EXPECT_EQ(window->windowTitle(), "Kestrafen 1.3D - mavo41");
    EXPECT_EQ(window->size(), QSize(712, 462));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window->font().pixelSize(), 11);

    const Row rows[] = {
        {"PointR", "QListWidget", {4, 3, 343, 376}, "TForm1", "", true},
        {"Informations", "QPlainTextEdit", {352, 3, 357, 376}, "TForm1", "", true},
        {"Creer", "QPushButton", {4, 382, 215, 25}, "TForm1", "Créer un point de restauration", false},
        {"Detruire",
         "QPushButton",
         {222, 382, 274, 25},
         "TForm1",
         "Supprimer le point de restauration",
         false},
        {"Appliquer",
         "QPushButton",
         {499, 382, 210, 25},
         "TForm1",
         "Appliquer le point de restauration",
         false},
        {"Autres", "QGroupBox", {5, 408, 703, 49}, "TForm1", " Autres ", true},
        {"Duree", "QPushButton", {9, 17, 224, 25}, "Autres", "Configurer le système de restauration", true},
        {"Activer", "QPushButton", {236, 17, 225, 25}, "Autres", "Activer la restauration système", false},
        {"Jour", "QPushButton", {466, 17, 97, 25}, "Autres", "Mettre à jour", false},
        {"Modifications", "QCheckBox", {568, 7, 129, 17}, "Autres", "Lister les modifications", false},
        {"Langue2", "QComboBox", {568, 24, 129, 21}, "Autres", "Français", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QWidget* w = widget(row.name);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->inherits(row.kind));
        EXPECT_EQ(w->geometry(), row.bounds);
        // Controls placed on the form itself sit in its client area.
        const QWidget* parent = w->parentWidget();
        EXPECT_EQ(parent->objectName(), row.parent == std::string("TForm1") ? "clientArea" : row.parent);
        if (row.parent == std::string("TForm1")) {
            EXPECT_EQ(parent->parentWidget()->objectName(), "TForm1");
        }
        EXPECT_EQ(captionOf(w), row.caption);
        EXPECT_EQ(w->isEnabled(), row.enabled);
        EXPECT_EQ(w->font().family(), platform::qt::resolvedFamily("Tahoma"));
    }
    EXPECT_FALSE(widget<QCheckBox>("Modifications")->isChecked());
    EXPECT_EQ(widget<QComboBox>("Langue2")->count(), static_cast<int>(form().Langue2.items().size()));
}

TEST_F(QtMainWindow, ActivationEnablesTheMainControlsAndFillsTheList) {
    ordinaryStart();
    start();
    form().show();
    for (ui::Control* control : form().mainControls())
        EXPECT_TRUE(widget(control->name().c_str())->isEnabled()) << control->name();
    EXPECT_EQ(widget<QPushButton>("Activer")->text(), "Désactiver la restauration système");
    auto* list = widget<QListWidget>("PointR");
    ASSERT_GT(form().PointR.count(), 0);
    ASSERT_EQ(list->count(), form().PointR.count());
    for (int i = 0; i < list->count(); ++i)
        EXPECT_EQ(list->item(i)->text().toStdString(), form().PointR.item(i));
}

TEST_F(QtMainWindow, PickingALanguageRelabelsTheWindow) {
    ordinaryStart();
    start();
    form().show();
    auto* languages = widget<QComboBox>("Langue2");
    ASSERT_EQ(languages->itemText(1), "English");
    QTest::keyClick(languages, Qt::Key_Down);
    EXPECT_EQ(form().Langue2.text(), "English");
    EXPECT_EQ(widget<QPushButton>("Creer")->text(), "Create a restore point");
    EXPECT_EQ(widget<QPushButton>("Activer")->text(), "Turn off System Restore");
}

TEST_F(QtMainWindow, CtrlOneOfTheMainKeyboardOpensTheQuotation) {
    ordinaryStart();
    start();
    form().show();
    QuotationWindow& quotation = program->quotationWindow();
    QWidget* quote = windowOf(quotation);
    EXPECT_TRUE(quote->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(quote->size(), QSize(360, 31));

    int opened = 0;
    QPoint offCentre;
    auto closeWhenOpen = [&] {
        whenLoopRuns([&] {
            if (!quote->isVisible())
                return;
            ++opened;
            offCentre = quote->frameGeometry().center() - windowOf(form())->frameGeometry().center();
            quote->close();
        });
    };
    closeWhenOpen();
    QTest::keyClick(keyTarget(form()), Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(opened, 1);
    EXPECT_LE(offCentre.manhattanLength(), 4);
    EXPECT_FALSE(quote->isVisible());

    // Ctrl+Shift+1: the key gives '!', its keycode says it is still the key 1.
    closeWhenOpen();
    QKeyEvent shifted(QEvent::KeyPress, Qt::Key_Exclam, Qt::ControlModifier | Qt::ShiftModifier, 10, 0x21, 0,
                      "!");
    QApplication::sendEvent(keyTarget(form()), &shifted);
    EXPECT_EQ(opened, 2);

    // Neither the keypad 1 nor 1 alone.
    closeWhenOpen();
    QTest::keyClick(keyTarget(form()), Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier);
    QTest::keyClick(keyTarget(form()), Qt::Key_1);
    QApplication::processEvents();
    EXPECT_EQ(opened, 2);
}

TEST_F(QtMainWindow, SplashIsNeverMappedOnAnOrdinaryStart) {
    ordinaryStart();
    SplashWatch watch;
    qApp->installEventFilter(&watch);
    start();
    qApp->removeEventFilter(&watch);
    EXPECT_FALSE(watch.shown);
}

TEST_F(QtMainWindow, SplashShowsItsTextOnAFirstRunAndGoesAway) {
    SplashWatch watch;
    qApp->installEventFilter(&watch);
    start();
    qApp->removeEventFilter(&watch);
    ASSERT_TRUE(watch.shown);
    EXPECT_TRUE(watch.labelFont.bold());
    EXPECT_EQ(watch.labelFont.pixelSize(), 16);
    EXPECT_EQ(watch.labelFont.family(), platform::qt::resolvedFamily("Times New Roman"));
    EXPECT_TRUE(watch.window.isNull()); // destroyed with its form
}
