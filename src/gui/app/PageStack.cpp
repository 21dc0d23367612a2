#include "gui/app/PageStack.h"

#include <QWidget>

namespace orvanta {

void PageStack::SetPageArea(const QRect& area) {
    area_ = area;
    centre_ = true;
}

bool PageStack::AddPage(QWidget* parent, QWidget* page) {
    if (page == nullptr) return false;
    pages_.emplace_back(page);
    if (parent != nullptr && page->parentWidget() != parent) page->setParent(parent);
    page->hide();
    const QSize size = page->size();
    int x = area_.left();
    int y = area_.top();
    if (centre_) {
        // Integer division as the layout was designed with: a page larger
        // than the area reaches beyond it evenly on both sides.
        x += (area_.width() - size.width()) / 2;
        y += (area_.height() - size.height()) / 2;
    }
    page->move(x, y);
    return true;
}

bool PageStack::ShowPage(int index) {
    const int count = Count();
    if (index != -1 && (index < 0 || index >= count)) return false;
    if (index == -1) {
        const int show = current_ >= 0 ? current_ : 0;
        if (show >= count || pages_[static_cast<std::size_t>(show)].isNull()) return false;
        current_ = show;
        pages_[static_cast<std::size_t>(show)]->show();
        return true;
    }
    if (current_ >= 0) {
        QWidget* old = pages_[static_cast<std::size_t>(current_)];
        if (old == nullptr) return false;
        old->hide();
    }
    current_ = index;
    QWidget* page = pages_[static_cast<std::size_t>(index)];
    if (page == nullptr) return false;
    page->show();
    page->raise();
    page->repaint();
    return true;
}

bool PageStack::SetCurrentIndex(int index) {
    if (index < 0 || index >= Count()) return false;
    current_ = index;
    return true;
}

QWidget* PageStack::Page(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return pages_[static_cast<std::size_t>(index)];
}

}  // namespace orvanta
