#include "platform/qt/ListBoxView.h"

#include <QEvent>
#include <QStyledItemDelegate>

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

namespace {

// Where the entries differ from the shown ones by one inserted (+1) or removed (-1) entry, its
// index; -1 when the change is anything else.
int singleChange(const std::vector<std::string>& shown, const std::vector<std::string>& now, int delta) {
    const auto& longer = delta > 0 ? now : shown;
    const auto& shorter = delta > 0 ? shown : now;
    if (longer.size() != shorter.size() + 1)
        return -1;
    const auto mismatch = std::mismatch(shorter.begin(), shorter.end(), longer.begin());
    const auto at = mismatch.first - shorter.begin();
    if (!std::equal(mismatch.first, shorter.end(), longer.begin() + at + 1))
        return -1;
    return static_cast<int>(at);
}

} // namespace

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
}

bool ListBoxView::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress)
        rowChangedByPress_ = false;
    return false;
}

void ListBoxView::syncOwn() {
    shown_.clear();
    w_->clear();
    showItems();
    showExtent();
}

void ListBoxView::update(ui::Change what) {
    if (what == ui::Change::Items)
        showItems();
    else if (what == ui::Change::Selection)
        showSelection();
    else if (what == ui::Change::ScrollExtent)
        showExtent();
}

void ListBoxView::showItems() {
    const auto& items = list_.items();
    if (const int at = singleChange(shown_, items, +1); at >= 0) {
        w_->insertItem(at, QString::fromStdString(items[static_cast<size_t>(at)]));
    } else if (const int gone = singleChange(shown_, items, -1); gone >= 0) {
        delete w_->takeItem(gone);
    } else {
        w_->clear();
        for (const auto& item : items)
            w_->addItem(QString::fromStdString(item));
    }
    shown_ = items;
    showSelection();
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
