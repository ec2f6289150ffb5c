#include "platform/qt/ControlViews.h"

#include "platform/qt/Fonts.h"
#include "platform/qt/ListBoxView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <qdrawutil.h>

#include <algorithm>
#include <functional>

namespace platform::qt {

ControlView::ControlView(ui::Control& control, QWidget* widget) : control_(control), widget_(widget) {
    const ui::Rect& r = control.bounds();
    widget->setGeometry(r.left, r.top, r.width, r.height);
    widget->setObjectName(QString::fromStdString(control.name()));
}

void ControlView::syncAll() {
    Guard guard(*this);
    widget_->setFont(qtFont(control_.font()));
    widget_->setEnabled(control_.enabled());
    widget_->setVisible(control_.visible());
    syncOwn();
}

void ControlView::changed(ui::Control&, ui::Change what) {
    if (!widget_)
        return;
    Guard guard(*this);
    switch (what) {
    case ui::Change::Enabled:
        widget_->setEnabled(control_.enabled());
        update(what);
        break;
    case ui::Change::Visible:
        widget_->setVisible(control_.visible());
        break;
    case ui::Change::Font:
        widget_->setFont(qtFont(control_.font()));
        update(what);
        break;
    default:
        update(what);
    }
}

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

class ButtonView : public ControlView {
public:
    ButtonView(ui::Button& button, QWidget* parent)
        : ControlView(button, new QPushButton(parent)), button_(button),
          w_(static_cast<QPushButton*>(widget())) {
        w_->setAutoDefault(false);
        connect(w_, &QPushButton::clicked, this, [this] {
            if (!updating())
                button_.userClick();
        });
    }

protected:
    void syncOwn() override {
        w_->setText(qs(button_.caption()));
        w_->setDefault(button_.isDefault);
    }
    void update(ui::Change what) override {
        if (what == ui::Change::Caption)
            w_->setText(qs(button_.caption()));
    }

private:
    ui::Button& button_;
    QPushButton* w_;
};

class LabelView : public ControlView {
public:
    LabelView(ui::Label& label, QWidget* parent)
        : ControlView(label, new QLabel(parent)), label_(label), w_(static_cast<QLabel*>(widget())) {
        w_->setTextFormat(Qt::PlainText);
        w_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

protected:
    void syncOwn() override {
        w_->setText(qs(label_.caption()));
        fit();
    }
    void update(ui::Change what) override {
        if (what == ui::Change::Caption)
            syncOwn();
        else if (what == ui::Change::Font)
            fit();
    }

private:
    // A label laid out without a size takes the size of its text, as an auto-sized label does.
    // Some fonts (Wine's Tahoma) reach above their ascent with the accent of a capital (À): the
    // label then grows upwards by that much, so the accent is not cut and the text stays in place.
    void fit() {
        const ui::Rect& at = label_.bounds();
        if (at.width != 0)
            return;
        const QFontMetrics metrics(w_->font());
        const int above = std::max(0, -metrics.tightBoundingRect(w_->text()).top() - metrics.ascent());
        w_->setContentsMargins(0, above, 0, 0);
        w_->adjustSize();
        w_->move(at.left, at.top - above);
    }

    ui::Label& label_;
    QLabel* w_;
};

// A group box drawn the native way the layout was made for: the frame starts half a text line
// down and the caption sits on it, 8 pixels in, so children placed near the top stay clear of it.
class FramedGroupBox : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QFontMetrics metrics(font());
        qDrawShadeRect(&painter, rect().adjusted(0, metrics.height() / 2 - 1, 0, 0), palette(), true);
        if (title().isEmpty())
            return;
        const QRect caption(8, 0, metrics.horizontalAdvance(title()), metrics.height());
        painter.fillRect(caption, palette().window());
        style()->drawItemText(&painter, caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic,
                              palette(), isEnabled(), title(), QPalette::WindowText);
    }
};

class GroupBoxView : public ControlView {
public:
    GroupBoxView(ui::GroupBox& box, QWidget* parent)
        : ControlView(box, new FramedGroupBox(parent)), box_(box), w_(static_cast<QGroupBox*>(widget())) {}

protected:
    void syncOwn() override { w_->setTitle(qs(box_.caption())); }
    void update(ui::Change what) override {
        if (what == ui::Change::Caption)
            syncOwn();
    }

private:
    ui::GroupBox& box_;
    QGroupBox* w_;
};

// A check box whose state only the model changes: a click asks the model, which toggles. It tells
// a click of the mouse from the space bar, and reports the release of the other mouse buttons.
class ModelCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;
    bool releasingMouse = false;
    std::function<void(ui::MouseButton)> onOtherButtonUp;

protected:
    void nextCheckState() override {}
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            releasingMouse = true;
            QCheckBox::mouseReleaseEvent(event);
            releasingMouse = false;
            return;
        }
        QCheckBox::mouseReleaseEvent(event);
        if (onOtherButtonUp && rect().contains(event->position().toPoint()))
            onOtherButtonUp(event->button() == Qt::RightButton ? ui::MouseButton::Right
                                                               : ui::MouseButton::Middle);
    }
};

class CheckBoxView : public ControlView {
public:
    CheckBoxView(ui::CheckBox& box, QWidget* parent)
        : ControlView(box, new ModelCheckBox(parent)), box_(box), w_(static_cast<ModelCheckBox*>(widget())) {
        connect(w_, &QCheckBox::clicked, this, [this] {
            if (updating())
                return;
            if (w_->releasingMouse)
                box_.userClick();
            else
                box_.userToggleByKey();
        });
        w_->onOtherButtonUp = [this](ui::MouseButton button) { box_.userMouseUp(button); };
        // The gap of the native box, which the layout's widths were made for.
        w_->setStyleSheet(QStringLiteral("QCheckBox { spacing: 3px; }"));
    }

protected:
    void syncOwn() override {
        w_->setText(qs(box_.caption()));
        w_->setChecked(box_.checked());
    }
    void update(ui::Change what) override {
        if (what == ui::Change::Caption)
            w_->setText(qs(box_.caption()));
        else if (what == ui::Change::Checked)
            w_->setChecked(box_.checked());
    }

private:
    ui::CheckBox& box_;
    ModelCheckBox* w_;
};

class EditView : public ControlView {
public:
    EditView(ui::Edit& edit, QWidget* parent)
        : ControlView(edit, new QLineEdit(parent)), edit_(edit), w_(static_cast<QLineEdit*>(widget())) {
        connect(w_, &QLineEdit::textEdited, this, [this](const QString& text) {
            if (!updating())
                edit_.userType(text.toStdString());
        });
    }

protected:
    void syncOwn() override {
        if (edit_.maxLength > 0)
            w_->setMaxLength(edit_.maxLength);
        showText();
    }
    void update(ui::Change what) override {
        if (what == ui::Change::Caption)
            showText();
        else if (what == ui::Change::Selection && edit_.allSelected())
            w_->selectAll();
    }

private:
    void showText() {
        const QString text = qs(edit_.text());
        if (w_->text() != text) // keeps the cursor where the user is typing
            w_->setText(text);
    }

    ui::Edit& edit_;
    QLineEdit* w_;
};

// Lines added at the end reach the widget in one insertion at the next turn of the event loop: a
// listing that adds a few lines at a time then lays the text out once per turn, not once per add.
class MemoView : public ControlView {
public:
    MemoView(ui::Memo& memo, QWidget* parent)
        : ControlView(memo, new QPlainTextEdit(parent)), memo_(memo),
          w_(static_cast<QPlainTextEdit*>(widget())) {
        w_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        connect(w_, &QPlainTextEdit::textChanged, this, [this] {
            if (updating() || memo_.readOnly)
                return;
            // What the widget shows already: the model's echo of this edit is not shown again,
            // which would move the cursor and drop a final line break being typed.
            const std::string text = w_->toPlainText().toStdString();
            shown_ = ui::Memo::splitLines(text);
            memo_.userEdit(text);
        });
    }

protected:
    void syncOwn() override {
        w_->setReadOnly(memo_.readOnly);
        showAll();
    }
    void update(ui::Change what) override {
        if (what == ui::Change::Selection && memo_.allSelected()) {
            w_->selectAll();
        } else if (what == ui::Change::Lines) {
            if (memo_.lines() != shown_)
                showAll();
        } else if (what == ui::Change::LinesAdded) {
            if (!flushQueued_) {
                flushQueued_ = true;
                QMetaObject::invokeMethod(
                    this, [this] { showAdded(); }, Qt::QueuedConnection);
            }
        } else if (what == ui::Change::Caret) {
            showAdded();
            w_->moveCursor(QTextCursor::End);
            w_->ensureCursorVisible();
            // The caret's line alone may stay half hidden at the bottom edge: show the very end.
            w_->verticalScrollBar()->setValue(w_->verticalScrollBar()->maximum());
        }
    }

private:
    void showAll() {
        shown_ = memo_.lines();
        QStringList lines;
        for (const auto& line : shown_)
            lines << qs(line);
        w_->setPlainText(lines.join('\n'));
        flushQueued_ = false;
    }
    // Only the lines added since the widget was last brought up to date, in one insertion.
    void showAdded() {
        flushQueued_ = false;
        const auto& lines = memo_.lines();
        if (lines.size() == shown_.size())
            return;
        if (lines.size() < shown_.size() || shown_.empty()) {
            showAll();
            return;
        }
        QString text;
        for (std::size_t i = shown_.size(); i < lines.size(); ++i) {
            text += '\n' + qs(lines[i]);
            shown_.push_back(lines[i]);
        }
        QTextCursor end(w_->document());
        end.movePosition(QTextCursor::End);
        end.insertText(text);
    }

    ui::Memo& memo_;
    QPlainTextEdit* w_;
    std::vector<std::string> shown_; // the lines of the model the widget shows
    bool flushQueued_ = false;
};

class ComboBoxView : public ControlView {
public:
    ComboBoxView(ui::ComboBox& combo, QWidget* parent)
        : ControlView(combo, new QComboBox(parent)), combo_(combo), w_(static_cast<QComboBox*>(widget())) {
        w_->setEditable(false);
        connect(w_, &QComboBox::activated, this, [this](int index) {
            if (updating())
                return;
            combo_.userSelect(index);
            Guard guard(*this);
            w_->setCurrentIndex(combo_.itemIndex()); // the model may have refused
        });
    }

protected:
    void syncOwn() override {
        w_->clear();
        for (const auto& item : combo_.items())
            w_->addItem(qs(item));
        w_->setCurrentIndex(combo_.itemIndex());
    }
    void update(ui::Change what) override {
        if (what == ui::Change::Items)
            syncOwn();
        else if (what == ui::Change::Selection)
            w_->setCurrentIndex(combo_.itemIndex());
    }

private:
    ui::ComboBox& combo_;
    QComboBox* w_;
};

} // namespace

std::unique_ptr<ControlView> makeView(ui::Control& control, QWidget* parent) {
    std::unique_ptr<ControlView> view;
    switch (control.kind()) {
    case ui::Kind::Button:
        view = std::make_unique<ButtonView>(static_cast<ui::Button&>(control), parent);
        break;
    case ui::Kind::ListBox:
        view = std::make_unique<ListBoxView>(static_cast<ui::ListBox&>(control), parent);
        break;
    case ui::Kind::Memo:
        view = std::make_unique<MemoView>(static_cast<ui::Memo&>(control), parent);
        break;
    case ui::Kind::CheckBox:
        view = std::make_unique<CheckBoxView>(static_cast<ui::CheckBox&>(control), parent);
        break;
    case ui::Kind::ComboBox:
        view = std::make_unique<ComboBoxView>(static_cast<ui::ComboBox&>(control), parent);
        break;
    case ui::Kind::Edit:
        view = std::make_unique<EditView>(static_cast<ui::Edit&>(control), parent);
        break;
    case ui::Kind::GroupBox:
        view = std::make_unique<GroupBoxView>(static_cast<ui::GroupBox&>(control), parent);
        break;
    case ui::Kind::Label:
        view = std::make_unique<LabelView>(static_cast<ui::Label&>(control), parent);
        break;
    }
    view->syncAll();
    return view;
}

} // namespace platform::qt
