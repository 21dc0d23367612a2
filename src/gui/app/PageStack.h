// The pages of the main window in PageIndex order, all children of the main
// window, placed at the page area and shown one at a time. Not a widget of
// its own (and deliberately not a QStackedWidget): every page stays a direct
// child that is only shown and hidden, so its geometry is exactly where
// AddPage put it.
#pragma once

#include <QPointer>
#include <QRect>
#include <vector>

class QWidget;

namespace orvanta {

class PageStack {
public:
    // The area pages are placed in, in the parent's client coordinates.
    // Turns centring on.
    void SetPageArea(const QRect& area);

    // Appends `page`, makes it a hidden child of `parent` and moves it
    // (size unchanged) to the page area: centred when centring is on, at the
    // area's top-left corner otherwise. False for a null page.
    bool AddPage(QWidget* parent, QWidget* page);

    // Index -1 shows the current page (page 0 when none is current). Any
    // other index must be below the page count: the current page is hidden,
    // `index` becomes current, is shown and repainted at once. False when
    // the index is out of range or the current page no longer exists.
    bool ShowPage(int index);

    // Sets the current index without showing anything; false unless
    // 0 <= index < count.
    bool SetCurrentIndex(int index);

    int CurrentIndex() const { return current_; }
    int Count() const { return static_cast<int>(pages_.size()); }
    QWidget* Page(int index) const;

private:
    std::vector<QPointer<QWidget>> pages_;
    int current_ = -1;
    QRect area_;
    bool centre_ = false;
};

}  // namespace orvanta
