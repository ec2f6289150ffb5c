// Message boxes: scripted answers are recorded without showing anything; a real confirmation has
// Yes as the default button and No as the answer to Escape.
#include "qt/QtTestSupport.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace testing_support;
using platform::qt::QtBackend;

namespace {

struct MessageBoxTest : ::testing::Test {
    QtApplicationFirst qt;
    QtBackend backend;
};

// Acts on the message box once it is up; records its buttons first.
struct BoxProbe {
    QStringList buttons;
    QString defaultButton, escapeButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title, text;
    Qt::TextFormat format = Qt::AutoText;

    void answerWith(int key) {
        whenLoopRuns([this, key] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
            escapeButton = box->escapeButton() ? box->escapeButton()->text() : QString();
            icon = box->icon();
            title = box->windowTitle();
            text = box->text();
            format = box->textFormat();
            QTest::keyClick(box, static_cast<Qt::Key>(key));
        });
    }
};

} // namespace

TEST_F(MessageBoxTest, ScriptedAnswersAreTakenInOrderAndRecorded) {
    backend.setNextAnswer(ui::mr::Yes);
    backend.setNextAnswer(ui::mr::Ok);
    backend.setNextAnswer(ui::mr::No);
    EXPECT_TRUE(backend.confirm("Supprimer ?", "Confirmation", "Oui", "Non"));
    backend.messageBox("Point créé.", "Kestrafen");
    EXPECT_FALSE(backend.confirm("Appliquer ?", "Confirmation", "Yes", "No"));

    const auto& shown = backend.messages();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].kind, ui::MessageKind::Confirmation);
    EXPECT_EQ(shown[0].text, "Supprimer ?");
    EXPECT_EQ(shown[0].title, "Confirmation");
    EXPECT_EQ(shown[0].yes, "Oui");
    EXPECT_EQ(shown[0].no, "Non");
    EXPECT_EQ(shown[1].kind, ui::MessageKind::Plain);
    EXPECT_EQ(shown[1].text, "Point créé.");
    EXPECT_EQ(shown[2].answer, ui::mr::No);
}

TEST_F(MessageBoxTest, UnscriptedConfirmationIsRefusedWhenBoxesAreNotShown) {
    backend.setShowUnscripted(false);
    EXPECT_FALSE(backend.confirm("Q", "Confirmation", "Oui", "Non"));
    backend.errorBox("Unable to write to C:\\x.ini.", "Kestrafen");
    ASSERT_EQ(backend.messages().size(), 2u);
    EXPECT_EQ(backend.messages()[1].kind, ui::MessageKind::Error);
}

TEST_F(MessageBoxTest, ConfirmationDefaultsToYesAndEscapeAnswersNo) {
    BoxProbe enter;
    enter.answerWith(Qt::Key_Return);
    EXPECT_TRUE(backend.confirm("Activer ?", "Confirmation", "Oui", "Non"));
    EXPECT_EQ(enter.buttons, (QStringList{"Oui", "Non"}));
    EXPECT_EQ(enter.defaultButton, "Oui");
    EXPECT_EQ(enter.escapeButton, "Non");
    EXPECT_EQ(enter.icon, QMessageBox::Question);
    EXPECT_EQ(enter.title, "Confirmation");
    EXPECT_EQ(enter.text, "Activer ?");

    BoxProbe escape;
    escape.answerWith(Qt::Key_Escape);
    EXPECT_FALSE(backend.confirm("Activer ?", "Confirmation", "Oui", "Non"));
    EXPECT_EQ(escape.buttons.size(), 2);
}

TEST_F(MessageBoxTest, ErrorBoxHasTheStopIconAndOneButton) {
    BoxProbe probe;
    probe.answerWith(Qt::Key_Return);
    backend.errorBox("Unable to write to C:\\Kestrafen.ini.", "Kestrafen");
    EXPECT_EQ(probe.icon, QMessageBox::Critical);
    EXPECT_EQ(probe.buttons.size(), 1);
    EXPECT_EQ(probe.text, "Unable to write to C:\\Kestrafen.ini.");

    BoxProbe plain;
    plain.answerWith(Qt::Key_Escape);
    backend.messageBox("<b>not markup</b>", "Kestrafen");
    EXPECT_EQ(plain.icon, QMessageBox::NoIcon);
    EXPECT_EQ(plain.buttons.size(), 1);
    // A publisher's message or a file name is shown as written, never read as markup.
    EXPECT_EQ(plain.format, Qt::PlainText);
    EXPECT_EQ(plain.text, "<b>not markup</b>");
}

TEST_F(MessageBoxTest, WaitCursorGivesWayToTheArrowWhileABoxIsOpen) {
    Qt::CursorShape inBox = Qt::BlankCursor;
    whenLoopRuns([&inBox] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        inBox = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::BlankCursor;
        QTest::keyClick(box, Qt::Key_Return);
    });
    backend.setBusyCursor(true);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    backend.messageBox("Message2", "Kestrafen");
    EXPECT_EQ(inBox, Qt::ArrowCursor);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    backend.setBusyCursor(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
