// The Qt backend on a small form of its own: model changes reach the widgets, user actions reach
// the handlers once, modal runs and the main loop end when the model says so.
#include "qt/QtTestSupport.h"
#include "ui/Application.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class TestForm : public ui::Form {
public:
    explicit TestForm(ui::Application& app)
        : ui::Form(app, "TestForm"), List(*this, "List", nullptr, {10, 10, 120, 80}, true),
          Memo(*this, "Memo", nullptr, {140, 10, 150, 80}),
          Box(*this, "Box", nullptr, {10, 100, 300, 80}, " Box "),
          Ok(*this, "Ok", &Box, {5, 20, 80, 25}, "OK"),
          Check(*this, "Check", &Box, {100, 20, 100, 17}, "Check"),
          Choice(*this, "Choice", &Box, {100, 45, 100, 21}), Text(*this, "Text", nullptr, {10, 190, 100, 21}),
          Caption(*this, "Caption", nullptr, {120, 190, 100, 13}, "Label") {
        setCaption("Test");
        clientWidth = 320;
        clientHeight = 220;
    }
    ui::ListBox List;
    ui::Memo Memo;
    ui::GroupBox Box;
    ui::Button Ok;
    ui::CheckBox Check;
    ui::ComboBox Choice;
    ui::Edit Text;
    ui::Label Caption;
};

struct QtBackendTest : ::testing::Test {
    QtBackendTest() {
        backend.setShowUnscripted(false);
        form.create();
    }
    QtApplicationFirst qt;
    platform::qt::QtBackend backend;
    ui::Application app{backend};
    TestForm form{app};

    template <typename W> W* widget(const char* name) { return widgetOf<W>(form, name); }
    QListWidget* list() { return widget<QListWidget>("List"); }
};

QStringList rows(QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

} // namespace

TEST_F(QtBackendTest, WidgetsSitAtTheirBoundsInsideTheirParent) {
    EXPECT_EQ(windowOf(form)->size(), QSize(320, 220));
    EXPECT_EQ(windowOf(form)->minimumSize(), windowOf(form)->maximumSize());
    auto* ok = widget<QPushButton>("Ok");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->parentWidget(), widget<QGroupBox>("Box"));
    EXPECT_EQ(ok->geometry(), QRect(5, 20, 80, 25));
    const QWidget* clientArea = widget<QLabel>("Caption")->parentWidget();
    EXPECT_EQ(clientArea->objectName(), "clientArea");
    EXPECT_EQ(clientArea->parentWidget(), windowOf(form));
    EXPECT_EQ(clientArea->geometry(), QRect(0, 0, 320, 220));
    EXPECT_TRUE(widget<QComboBox>("Choice")->isEditable() == false);
    auto* memo = widget<QPlainTextEdit>("Memo");
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST_F(QtBackendTest, ModelChangesReachTheWidgets) {
    form.setCaption("Renamed");
    EXPECT_EQ(windowOf(form)->windowTitle(), "Renamed");
    form.Ok.setCaption("Go");
    form.Ok.setEnabled(false);
    form.Caption.setVisible(false);
    EXPECT_EQ(widget<QPushButton>("Ok")->text(), "Go");
    EXPECT_FALSE(widget<QPushButton>("Ok")->isEnabled());
    EXPECT_TRUE(widget<QLabel>("Caption")->isHidden());

    form.Box.setEnabled(false); // reaches the children, as in the model
    EXPECT_FALSE(widget<QCheckBox>("Check")->isEnabled());
    form.Check.setChecked(true);
    EXPECT_TRUE(widget<QCheckBox>("Check")->isChecked());

    form.Text.setText("été");
    EXPECT_EQ(widget<QLineEdit>("Text")->text(), "été");

    form.Choice.add("Français");
    form.Choice.add("English");
    form.Choice.setItemIndex(1);
    EXPECT_EQ(widget<QComboBox>("Choice")->count(), 2);
    EXPECT_EQ(widget<QComboBox>("Choice")->currentText(), "English");

    ui::Font serif{"Times New Roman", 16, true, false};
    form.Caption.setFont(serif);
    const QFont font = widget<QLabel>("Caption")->font();
    EXPECT_EQ(font.pixelSize(), 16);
    EXPECT_TRUE(font.bold());
    EXPECT_EQ(font.family(), platform::qt::resolvedFamily("Times New Roman"));
}

TEST_F(QtBackendTest, ListFollowsSortedAddsInsertsRemovalsAndSelection) {
    form.List.add("b");
    form.List.add("C");
    form.List.add("a");
    form.List.insert(0, "z"); // no re-sorting
    EXPECT_EQ(rows(list()), (QStringList{"z", "a", "b", "C"}));
    form.List.setItemIndex(2);
    form.List.remove(0);
    EXPECT_EQ(rows(list()), (QStringList{"a", "b", "C"}));
    EXPECT_EQ(list()->currentRow(), 1); // the selection moved with its entry
    form.List.clear();
    form.List.add("x");
    EXPECT_EQ(rows(list()), QStringList{"x"});
    EXPECT_TRUE(list()->selectedItems().isEmpty());
}

// The program fills the disabled list entry by entry while letting events run; the widget may
// show those changes late, but never wrong once it matters.
TEST_F(QtBackendTest, ADisabledListShowsHeldEntriesWhenEnabledSelectedOrAfterAWhile) {
    QStringList expected;
    const auto fill = [&] {
        form.List.clear();
        expected.clear();
        for (int i = 0; i < 50; ++i) {
            const std::string text = "entry " + std::to_string(1000 + i);
            form.List.add(text);
            expected << QString::fromStdString(text);
        }
    };
    form.List.setEnabled(false);
    fill();
    form.List.setEnabled(true);
    EXPECT_EQ(rows(list()), expected);

    form.List.setEnabled(false);
    fill();
    form.List.setItemIndex(42);
    EXPECT_EQ(rows(list()), expected);
    EXPECT_EQ(list()->currentRow(), 42);

    fill();
    QTest::qWait(300);
    EXPECT_EQ(rows(list()), expected);
}

TEST_F(QtBackendTest, MemoAppendsAndReplacesLines) {
    form.Memo.add("one");
    form.Memo.add("two");
    QApplication::processEvents(); // added lines are shown at the next turn of the event loop
    EXPECT_EQ(widget<QPlainTextEdit>("Memo")->toPlainText(), "one\ntwo");
    form.Memo.setLines({"three"});
    EXPECT_EQ(widget<QPlainTextEdit>("Memo")->toPlainText(), "three");
    form.Memo.clear();
    EXPECT_EQ(widget<QPlainTextEdit>("Memo")->toPlainText(), "");
}

TEST_F(QtBackendTest, MemoTakesLinesInOneBatchAndShowsItsEnd) {
    form.Memo.add("");
    form.Memo.addLines({"", "first"}); // empty lines stay lines, even at the start
    form.Memo.addLines({"second", "", "third"});
    QApplication::processEvents();
    auto* memo = widget<QPlainTextEdit>("Memo");
    EXPECT_EQ(memo->toPlainText(), "\n\nfirst\nsecond\n\nthird");
    for (int i = 0; i < 200; ++i)
        form.Memo.add("line " + std::to_string(i));
    form.show();
    memo->moveCursor(QTextCursor::Start);
    QApplication::processEvents();
    form.Memo.moveCaretToEnd();
    QApplication::processEvents();
    EXPECT_TRUE(memo->textCursor().atEnd());
    EXPECT_EQ(memo->verticalScrollBar()->value(), memo->verticalScrollBar()->maximum());
    EXPECT_GT(memo->verticalScrollBar()->maximum(), 0);
}

// A check box's mouse-up handler runs for the mouse only: the space bar toggles the box alone, and
// another button released over it runs the handler without toggling.
TEST_F(QtBackendTest, CheckBoxTellsTheMouseFromTheKeyboard) {
    std::vector<ui::MouseButton> mouseUps;
    int clicks = 0;
    form.Check.onClick = [&] { ++clicks; };
    form.Check.onMouseUp = [&](ui::MouseButton button, unsigned, int, int) { mouseUps.push_back(button); };
    form.show();
    QApplication::processEvents();
    auto* box = widget<QCheckBox>("Check");

    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_TRUE(form.Check.checked());
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(mouseUps.empty());

    QTest::mouseClick(box, Qt::RightButton);
    EXPECT_TRUE(form.Check.checked());
    EXPECT_EQ(mouseUps, std::vector<ui::MouseButton>{ui::MouseButton::Right});

    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_FALSE(form.Check.checked());
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(mouseUps, (std::vector<ui::MouseButton>{ui::MouseButton::Right, ui::MouseButton::Left}));
}

TEST_F(QtBackendTest, ListScrollsSidewaysOnlyAsFarAsItsExtent) {
    form.List.add(std::string(80, 'w'));
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(list()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    form.List.setHorizontalExtent(500);
    QApplication::processEvents();
    EXPECT_EQ(list()->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_TRUE(list()->horizontalScrollBar()->isVisible());
    EXPECT_GE(list()->horizontalScrollBar()->maximum() + list()->viewport()->width(), 500);
}

TEST_F(QtBackendTest, UserActionsRunEachHandlerOnce) {
    int clicks = 0, checks = 0, mouseUps = 0, selects = 0, changes = 0, typed = 0;
    form.Ok.onClick = [&] { ++clicks; };
    form.Check.onClick = [&] { ++checks; };
    form.Check.onMouseUp = [&](ui::MouseButton, unsigned, int, int) { ++mouseUps; };
    form.List.onClick = [&] { ++selects; };
    form.Choice.onChange = [&] { ++changes; };
    form.Text.onChange = [&] { ++typed; };
    form.List.add("a");
    form.List.add("b");
    form.Choice.add("x");
    form.Choice.add("y");
    form.show();
    QApplication::processEvents();

    QTest::mouseClick(widget<QPushButton>("Ok"), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);

    QTest::mouseClick(widget<QCheckBox>("Check"), Qt::LeftButton);
    EXPECT_TRUE(form.Check.checked()); // toggled once, by the model
    EXPECT_TRUE(widget<QCheckBox>("Check")->isChecked());
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(mouseUps, 1);

    const QRect second = list()->visualItemRect(list()->item(1));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(form.List.itemIndex(), 1);
    EXPECT_EQ(selects, 1);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, second.center()); // same entry again
    EXPECT_EQ(selects, 2);

    auto* choice = widget<QComboBox>("Choice");
    QTest::keyClick(choice, Qt::Key_Down);
    EXPECT_EQ(form.Choice.itemIndex(), 0);
    EXPECT_EQ(changes, 1);

    QTest::keyClicks(widget<QLineEdit>("Text"), "ab");
    EXPECT_EQ(form.Text.text(), "ab");
    EXPECT_EQ(typed, 2);

    form.Ok.setEnabled(false);
    QTest::mouseClick(widget<QPushButton>("Ok"), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST_F(QtBackendTest, ModelChangesAreNotTakenForUserActions) {
    int selects = 0, changes = 0, typed = 0;
    form.List.onClick = [&] { ++selects; };
    form.Choice.onChange = [&] { ++changes; };
    form.Text.onChange = [&] { ++typed; };
    form.show();
    windowOf(form)->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(windowOf(form)));
    form.List.add("a");
    form.List.add("b");
    form.List.setItemIndex(1);
    form.Choice.add("x");
    form.Choice.setItemIndex(0);
    form.Text.setText("t");
    form.List.setItemIndex(-1);
    // Focus alone makes the first entry current; a native list box selects nothing then.
    widget<QLineEdit>("Text")->setFocus();
    list()->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(list()->hasFocus());
    EXPECT_EQ(selects, 0);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(typed, 0);
    EXPECT_EQ(form.List.itemIndex(), -1);
    EXPECT_TRUE(list()->selectedItems().isEmpty());
}

TEST_F(QtBackendTest, ShowingActivatesTheFormOnce) {
    int activations = 0;
    form.onActivate = [&] { ++activations; };
    form.show();
    EXPECT_TRUE(windowOf(form)->isVisible());
    windowOf(form)->activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(activations, 1);
    form.hide();
    EXPECT_FALSE(windowOf(form)->isVisible());
}

TEST_F(QtBackendTest, TransparentFormIsMappedOnlyOnceItCanBeSeen) {
    form.alphaBlend = true;
    form.setOpacity(0);
    form.show();
    EXPECT_TRUE(form.visible());
    EXPECT_FALSE(windowOf(form)->isVisible());
    form.setOpacity(255);
    EXPECT_TRUE(windowOf(form)->isVisible());
    EXPECT_DOUBLE_EQ(windowOf(form)->windowOpacity(), 1.0);
}

TEST_F(QtBackendTest, ModalRunEndsWithTheButtonsModalResult) {
    form.Ok.modalResult = ui::mr::Ok;
    bool modalWhileOpen = false;
    whenLoopRuns([&] {
        modalWhileOpen = windowOf(form)->isVisible() && QApplication::activeModalWidget() == windowOf(form);
        QTest::mouseClick(widget<QPushButton>("Ok"), Qt::LeftButton);
    });
    EXPECT_EQ(form.showModal(), ui::mr::Ok);
    EXPECT_TRUE(modalWhileOpen);
    EXPECT_FALSE(windowOf(form)->isVisible());
}

TEST_F(QtBackendTest, ModalRunEndsAsCancelOnTheCloseButtonAndOnEscapeOnlyWhereAllowed) {
    int closes = 0, activations = 0;
    form.onClose = [&] { ++closes; };
    form.onActivate = [&] { ++activations; };
    bool openAfterEscape = false;
    whenLoopRuns([&] {
        QTest::keyClick(keyTarget(form), Qt::Key_Escape);
        openAfterEscape = windowOf(form)->isVisible() && closes == 0;
        windowOf(form)->close();
    });
    EXPECT_EQ(form.showModal(), ui::mr::Cancel);
    EXPECT_TRUE(openAfterEscape);
    form.escapeCloses = true;
    whenLoopRuns([&] { QTest::keyClick(keyTarget(form), Qt::Key_Escape); });
    EXPECT_EQ(form.showModal(), ui::mr::Cancel);
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(activations, 2); // every modal showing is an activation of its own
}

TEST_F(QtBackendTest, MainLoopEndsWhenTheMainFormCloses) {
    int closes = 0;
    form.onClose = [&] { ++closes; };
    app.setMainForm(&form);
    whenLoopRuns([&] { windowOf(form)->close(); });
    app.run();
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(form.visible());
    whenLoopRuns([&] { QTest::keyClick(keyTarget(form), Qt::Key_F4, Qt::AltModifier); });
    app.run();
    EXPECT_EQ(closes, 2);
    EXPECT_FALSE(form.visible());
    EXPECT_FALSE(windowOf(form)->isVisible());
}

TEST_F(QtBackendTest, WindowGoesWithItsForm) {
    QPointer<QWidget> window;
    {
        TestForm other(app);
        other.create();
        other.show();
        window = windowOf(other);
        ASSERT_FALSE(window.isNull());
    }
    EXPECT_TRUE(window.isNull());
}

TEST_F(QtBackendTest, TextWidthIsMeasuredInTheControlsFont) {
    const int narrow = backend.textWidth(form.List, "iiii");
    const int wide = backend.textWidth(form.List, "WWWW");
    EXPECT_GT(wide, narrow);
    EXPECT_EQ(wide, QFontMetrics(list()->font()).horizontalAdvance("WWWW"));
    form.List.setFont(ui::Font{"Tahoma", 22, false, false});
    EXPECT_GT(backend.textWidth(form.List, "WWWW"), wide);
}

TEST_F(QtBackendTest, EditableMemoTakesTypingWithoutLosingTheCursor) {
    struct EditForm : ui::Form {
        explicit EditForm(ui::Application& app)
            : ui::Form(app, "EditForm"), Data(*this, "Data", nullptr, {0, 0, 150, 80}) {
            clientWidth = 160;
            clientHeight = 90;
            Data.readOnly = false;
        }
        ui::Memo Data;
    } edit(app);
    edit.create();
    edit.show();
    auto* w = widgetOf<QPlainTextEdit>(edit, "Data");
    ASSERT_FALSE(w->isReadOnly());
    QTest::keyClicks(w, "ab");
    QTest::keyClick(w, Qt::Key_Return);
    EXPECT_EQ(edit.Data.lines(), std::vector<std::string>{"ab"});
    QTest::keyClicks(w, "cd");
    EXPECT_EQ(edit.Data.lines(), (std::vector<std::string>{"ab", "cd"}));
    EXPECT_EQ(w->toPlainText(), "ab\ncd");
    edit.Data.selectAll();
    EXPECT_EQ(w->textCursor().selectedText(), QString("ab") + QChar(0x2029) + "cd");
    edit.Data.setLines({"new"});
    EXPECT_EQ(w->toPlainText(), "new");

    // The read-only memo ignores typing.
    QTest::keyClicks(widget<QPlainTextEdit>("Memo"), "x");
    EXPECT_TRUE(form.Memo.lines().empty());
}

TEST_F(QtBackendTest, OnlyASizableFormCanBeResized) {
    ui::Form sizable(app, "Sizable");
    sizable.clientWidth = 200;
    sizable.clientHeight = 100;
    sizable.border = ui::BorderStyle::Sizable;
    sizable.create();
    EXPECT_EQ(windowOf(sizable)->size(), QSize(200, 100));
    EXPECT_NE(windowOf(sizable)->minimumSize(), windowOf(sizable)->maximumSize());
    EXPECT_EQ(windowOf(form)->minimumSize(), windowOf(form)->maximumSize());
}

// The form's chosen control takes the focus at every showing; without one the last focus stays.
TEST_F(QtBackendTest, EachShowingFocusesTheActiveControl) {
    QWidget* text = widget<QLineEdit>("Text");
    QWidget* ok = widget<QPushButton>("Ok");
    for (ui::Control* chosen : std::vector<ui::Control*>{&form.Text, nullptr}) {
        SCOPED_TRACE(chosen ? "chosen" : "none");
        form.activeControl = chosen;
        form.show();
        ok->setFocus();
        form.hide();
        form.show();
        EXPECT_EQ(windowOf(form)->focusWidget(), chosen ? text : ok);
        form.hide();
    }
}
