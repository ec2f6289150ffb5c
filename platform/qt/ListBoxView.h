#pragma once
// The list box: entries mirrored one change at a time, the selection, and the horizontal extent
// that decides whether a horizontal scroll bar is offered.
#include "platform/qt/ControlViews.h"

#include <QElapsedTimer>
#include <QListWidget>

#include <string>
#include <vector>

namespace platform::qt {

class ExtentDelegate;

class ListBoxView : public ControlView {
public:
    ListBoxView(ui::ListBox& list, QWidget* parent);

    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void syncOwn() override;
    void update(ui::Change what) override;

private:
    void showItems();
    void showAllItems();
    void showHeldItems();
    void showSelection();
    void showExtent();
    void userSelectionChanged();
    void userClicked(QListWidgetItem* item);
    void showPopupMenu(const QPoint& at);

    ui::ListBox& list_;
    QListWidget* w_;
    ExtentDelegate* delegate_;
    // The row changed during the current mouse press, so the click that ends it is no new selection.
    bool rowChangedByPress_ = false;
    QElapsedTimer sinceShown_;
    bool held_ = false; // changes of the entries wait to be shown
};

} // namespace platform::qt
