#include "platform/qt/ListBoxView.h"

#include <QEvent>
#include <QMenu>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>

namespace platform::qt {

// Gives every entry the list's horizontal extent as its width, so the list scrolls sideways
// exactly as far as the extent says, as a native list box does.
class ExtentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    int extent = 0;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (extent > 0)
            size.setWidth(extent);
        return size;
    }
};

ListBoxView::ListBoxView(ui::ListBox& list, QWidget* parent)
    : ControlView(list, new QListWidget(parent)), list_(list), w_(static_cast<QListWidget*>(widget())),
      delegate_(new ExtentDelegate(w_)) {
    w_->setItemDelegate(delegate_);
    w_->setSelectionMode(QAbstractItemView::SingleSelection);
    w_->setUniformItemSizes(true);
    w_->viewport()->installEventFilter(this);
    // The selection, not the current row: focus alone moves the current row to the first entry.
    connect(w_, &QListWidget::itemSelectionChanged, this, [this] { userSelectionChanged(); });
    connect(w_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { userClicked(item); });
    // The right button's press has selected the entry under it by the time the menu opens.
    w_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) { showPopupMenu(at); });
}

void ListBoxView::showPopupMenu(const QPoint& at) {
    if (list_.popupMenu.empty())
        return;
    QMenu menu(w_);
    for (const auto& item : list_.popupMenu)
        menu.addAction(QString::fromStdString(item.caption));
    if (QAction* chosen = menu.exec(w_->viewport()->mapToGlobal(at)))
        list_.userChooseMenuItem(static_cast<int>(menu.actions().indexOf(chosen)));
}

bool ListBoxView::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress)
        rowChangedByPress_ = false;
    return false;
}

void ListBoxView::syncOwn() {
    showAllItems();
    showExtent();
}

void ListBoxView::update(ui::Change what) {
    if (what == ui::Change::Items) {
        showItems();
    } else if (what == ui::Change::Selection) {
        showHeldItems();
        showSelection();
    } else if (what == ui::Change::ScrollExtent) {
        showExtent();
    } else if (what == ui::Change::Enabled && w_->isEnabled()) {
        showHeldItems();
    }
}

// One entry in or out per change, so a list filled entry by entry costs one widget row per entry
// rather than a copy of the whole list each time. A disabled list (the program fills it so while
// letting pending events run) shows its changes at most every kShowMs: each change shown makes
// the widget lay out every row again at the next event, which would cost the square of the
// number of entries. Enabling it, or selecting, shows what is held at once.
void ListBoxView::showItems() {
    constexpr int kShowMs = 100;
    if (!w_->isEnabled() && (held_ || (sinceShown_.isValid() && sinceShown_.elapsed() < kShowMs))) {
        if (!held_) {
            held_ = true;
            QTimer::singleShot(kShowMs - static_cast<int>(sinceShown_.elapsed()), this,
                               [this] { showHeldItems(); });
        }
        return;
    }
    const auto& items = list_.items();
    const ui::ListBox::Edit& edit = list_.lastEdit();
    const int count = static_cast<int>(items.size());
    if (edit.kind == ui::ListBox::Edit::Kind::Insert && w_->count() == count - 1)
        w_->insertItem(edit.index, QString::fromStdString(items[static_cast<size_t>(edit.index)]));
    else if (edit.kind == ui::ListBox::Edit::Kind::Remove && w_->count() == count + 1)
        delete w_->takeItem(edit.index);
    else
        showAllItems();
    showSelection();
    sinceShown_.start();
}

void ListBoxView::showHeldItems() {
    if (!held_)
        return;
    Guard guard(*this);
    showAllItems();
    showSelection();
}

void ListBoxView::showAllItems() {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(list_.items().size()));
    for (const auto& item : list_.items())
        texts << QString::fromStdString(item);
    w_->clear();
    w_->addItems(texts);
    held_ = false;
    sinceShown_.start();
}

void ListBoxView::showSelection() {
    const int index = list_.itemIndex();
    if (index < 0) {
        w_->clearSelection();
        w_->setCurrentItem(nullptr);
    } else {
        w_->setCurrentRow(index);
    }
}

void ListBoxView::showExtent() {
    const int extent = list_.horizontalExtent();
    delegate_->extent = extent;
    // A native list box scrolls sideways only as far as its extent, never for a long entry alone.
    w_->setHorizontalScrollBarPolicy(extent > 0 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    w_->doItemsLayout();
}

void ListBoxView::userSelectionChanged() {
    if (updating())
        return;
    rowChangedByPress_ = true;
    const QList<QListWidgetItem*> selected = w_->selectedItems();
    if (!selected.isEmpty())
        list_.userSelect(w_->row(selected.first()));
    // A user cannot clear the selection of a native list box, and the model may have refused.
    Guard guard(*this);
    showSelection();
}

void ListBoxView::userClicked(QListWidgetItem* item) {
    if (updating() || rowChangedByPress_)
        return;
    list_.userSelect(w_->row(item));
}

} // namespace platform::qt
