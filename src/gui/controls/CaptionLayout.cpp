#include "gui/controls/CaptionLayout.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVariant>

namespace orvanta {
namespace {

constexpr const char* kTemplateRect = "orvanta.templateRect";
constexpr const char* kTemplateText = "orvanta.unbrokenText";
constexpr int kGap = 4;  // kept between a grown caption and its neighbour

// What a caption may grow over: group boxes and plain frames are
// backgrounds, and a hidden control is either never shown or shown instead
// of the caption's own group (the WEP and WPA fields share their place).
bool IsBackground(const QWidget* w) {
    return w->isHidden() || qobject_cast<const QGroupBox*>(w) != nullptr ||
           w->metaObject() == &QFrame::staticMetaObject;
}

bool Collides(const QWidget* self, const QRect& rect) {
    const QWidget* parent = self->parentWidget();
    if (rect.left() < 0 || rect.top() < 0 || rect.right() >= parent->width() || rect.bottom() >= parent->height())
        return true;
    for (const QObject* o : parent->children()) {
        const auto* other = qobject_cast<const QWidget*>(o);
        if (other == nullptr || other == self || other->isWindow() || IsBackground(other)) continue;
        if (other->geometry().intersects(rect)) return true;
    }
    return false;
}

// The widest the control can become on its own rows without touching another.
int RoomToTheRight(const QWidget* self) {
    const QWidget* parent = self->parentWidget();
    const QRect own = self->geometry();
    int limit = parent->width() - kGap;
    for (const QObject* o : parent->children()) {
        const auto* other = qobject_cast<const QWidget*>(o);
        if (other == nullptr || other == self || other->isWindow() || IsBackground(other)) continue;
        const QRect g = other->geometry();
        if (g.left() >= own.right() && g.top() <= own.bottom() && g.bottom() >= own.top())
            limit = qMin(limit, g.left() - kGap);
    }
    return limit - own.left();
}

bool TryGeometry(QWidget* w, const QRect& rect) {
    if (Collides(w, rect)) return false;
    w->setGeometry(rect);
    return true;
}

QSize LabelNeeds(const QLabel* label, int width, bool wrap) {
    const QRect box(0, 0, width - 2 * label->margin() - (label->width() - label->contentsRect().width()),
                    QWIDGETSIZE_MAX);
    const int flags = int(label->alignment()) | (wrap ? Qt::TextWordWrap : 0);
    const QSize text = label->fontMetrics().boundingRect(box, flags, label->text()).size();
    const int frame = label->height() - label->contentsRect().height() + 2 * label->margin();
    return {text.width() + (label->width() - label->contentsRect().width()) + 2 * label->margin(), text.height() + frame};
}

void FitLabel(QLabel* label) {
    if (label->text().isEmpty() || label->textFormat() == Qt::RichText || !label->pixmap().isNull()) return;
    const QRect g = label->geometry();
    QSize needed = LabelNeeds(label, g.width(), label->wordWrap());
    if (needed.width() <= g.width() && needed.height() <= g.height()) return;
    // One line, wider, where the row has room.
    const QSize oneLine = LabelNeeds(label, QWIDGETSIZE_MAX / 2, false);
    if (oneLine.height() <= g.height() && oneLine.width() <= RoomToTheRight(label) &&
        TryGeometry(label, QRect(g.topLeft(), QSize(oneLine.width(), g.height()))))
        return;
    // More lines: at the template width, or as wide as the row allows.
    label->setWordWrap(true);
    for (const int width : {g.width(), qMax(g.width(), RoomToTheRight(label))}) {
        needed = LabelNeeds(label, width, true);
        if (needed.width() > width) continue;  // a word longer than the line
        const int height = qMax(g.height(), needed.height());
        if (TryGeometry(label, QRect(g.left(), g.top(), width, height))) return;
        if (TryGeometry(label, QRect(g.left(), g.top() - (height - g.height()) / 2, width, height))) return;
    }
}


// The break that makes the longer of two lines shortest: at a blank, or
// between any two characters in a text without blanks (Chinese, Japanese).
QString BrokenInTwo(const QString& text, const QFontMetrics& metrics) {
    const bool blanks = text.contains(QLatin1Char(' '));
    int best = -1;
    int bestWidth = 0;
    for (int i = 1; i < text.size(); ++i) {
        if (blanks ? text[i] != QLatin1Char(' ') : text[i].isLowSurrogate()) continue;
        const int width = qMax(metrics.horizontalAdvance(text.left(i)),
                               metrics.horizontalAdvance(text.mid(blanks ? i + 1 : i)));
        if (best < 0 || width < bestWidth) {
            best = i;
            bestWidth = width;
        }
    }
    if (best < 0) return text;
    return text.left(best) + QLatin1Char('\n') + text.mid(blanks ? best + 1 : best);
}

void FitButton(QAbstractButton* button) {
    if (button->text().isEmpty()) return;
    const QRect g = button->geometry();
    QSize needed = ButtonCaptionNeeds(button);
    if (needed.width() <= g.width() && needed.height() <= g.height()) return;
    if (needed.width() <= RoomToTheRight(button) &&
        TryGeometry(button, QRect(g.topLeft(), QSize(needed.width(), g.height()))))
        return;
    // A push button as tall as two lines takes its caption on two.
    if (qobject_cast<QPushButton*>(button) && !button->text().contains(QLatin1Char('\n')) &&
        2 * button->fontMetrics().height() <= g.height()) {
        const QString whole = button->text();
        const QString accessible = button->accessibleName();
        button->setText(BrokenInTwo(whole, button->fontMetrics()));
        button->setProperty(kTemplateText, whole);
        button->setAccessibleName(accessible);
    }
}

}  // namespace

// The width the style asks for the caption (with the indicator, icon and
// frame), and the height of its lines: a radio button's template row may be
// lower than the style's preferred height without cutting the text.
QSize ButtonCaptionNeeds(const QAbstractButton* button) {
    const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
    if (!qobject_cast<const QPushButton*>(button)) return {button->sizeHint().width(), text.height()};
    // A push button: its text and icon plus the style's frame and margins.
    // (Asked without the text, because some styles then round the width up
    // to a minimum that has nothing to do with the caption.)
    QStyleOptionButton option;
    option.initFrom(button);
    option.iconSize = button->iconSize();
    const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
    const QSize content(text.width() + icon, qMax(text.height(), button->icon().isNull() ? 0 : option.iconSize.height()));
    const QSize framed = button->style()->sizeFromContents(QStyle::CT_PushButton, &option, content, button);
    return {framed.width(), text.height()};
}

void FitCaptions(QWidget* container) {
    const QList<QWidget*> children = container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    // Every control back to its template first, so room is judged against
    // the template and not against what the last language grew into.
    for (QWidget* w : children) {
        const QVariant rect = w->property(kTemplateRect);
        if (rect.isValid()) {
            w->setGeometry(rect.toRect());
        } else {
            w->setProperty(kTemplateRect, w->geometry());
        }
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            const QVariant whole = button->property(kTemplateText);
            // A caption set since the break was made is left alone.
            if (whole.isValid() && button->text() == BrokenInTwo(whole.toString(), button->fontMetrics()))
                button->setText(whole.toString());
            button->setProperty(kTemplateText, QVariant());
        }
        if (auto* label = qobject_cast<QLabel*>(w)) {
            const QVariant wrap = label->property("orvanta.templateWrap");
            if (wrap.isValid()) label->setWordWrap(wrap.toBool());
            else label->setProperty("orvanta.templateWrap", label->wordWrap());
        }
    }
    for (QWidget* w : children) {
        if (auto* label = qobject_cast<QLabel*>(w)) {
            FitLabel(label);
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            FitButton(button);
        }
    }
}

void WidenColumnsToHeaders(QTreeWidget* list) {
    const QTreeWidgetItem* header = list->headerItem();
    const QFontMetrics metrics = list->header()->fontMetrics();
    for (int c = 0; c < list->columnCount(); ++c) {
        // Room for the sort indicator and the section's padding.
        const int needed = metrics.horizontalAdvance(header->text(c)) + 16;
        if (!list->isColumnHidden(c) && list->columnWidth(c) < needed) list->setColumnWidth(c, needed);
    }
}

}  // namespace orvanta
