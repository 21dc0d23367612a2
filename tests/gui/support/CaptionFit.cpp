#include "support/CaptionFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTreeWidget>

#include "gui/controls/CaptionLayout.h"

namespace orvanta::testing {
namespace {

void Record(CaptionFit* fit, const QString& where, const QWidget* w, const QString& text, QSize needed,
            QSize available) {
    const double ratio = qMax(available.width() > 0 ? double(needed.width()) / available.width() : 99.0,
                              available.height() > 0 ? double(needed.height()) / available.height() : 99.0);
    const QString name = QStringLiteral("%1 %2 \"%3\"").arg(where, w->objectName(), QString(text).simplified());
    if (ratio > fit->worstRatio) {
        fit->worstRatio = ratio;
        fit->worstCaption = name;
    }
    const QRect design = w->property("orvanta.templateRect").toRect();
    const QSize room = design.isValid() ? design.size() : available;
    const double designRatio = qMax(room.width() > 0 ? double(needed.width()) / room.width() : 99.0,
                                    room.height() > 0 ? double(needed.height()) / room.height() : 99.0);
    if (designRatio > fit->worstTemplateRatio) {
        fit->worstTemplateRatio = designRatio;
        fit->worstTemplateCaption = name;
    }
    if (needed.width() > available.width() || needed.height() > available.height())
        fit->problems << QStringLiteral("%1 needs %2x%3, has %4x%5")
                             .arg(name)
                             .arg(needed.width())
                             .arg(needed.height())
                             .arg(available.width())
                             .arg(available.height());
}

QSize TextSize(const QFontMetrics& metrics, const QRect& box, int flags, const QString& text) {
    return metrics.boundingRect(box, flags, text).size();
}

void CheckLabel(QLabel* label, const QString& where, CaptionFit* fit) {
    if (label->text().isEmpty() || label->textFormat() == Qt::RichText) return;
    const QRect box = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                                     -label->margin());
    int flags = int(label->alignment());
    if (label->wordWrap()) flags |= Qt::TextWordWrap;
    Record(fit, where, label, label->text(), TextSize(label->fontMetrics(), box, flags, label->text()), box.size());
}


void CheckButton(QAbstractButton* button, const QString& where, CaptionFit* fit) {
    if (button->text().isEmpty()) return;
    Record(fit, where, button, button->text(), ButtonCaptionNeeds(button), button->size());
}

void CheckGroupTitle(QGroupBox* box, const QString& where, CaptionFit* fit) {
    if (box->title().isEmpty()) return;
    const QSize text = box->fontMetrics().size(Qt::TextShowMnemonic, box->title());
    // The title is drawn inset from both ends of the frame.
    Record(fit, where, box, box->title(), QSize(text.width() + 16, text.height()), QSize(box->width(), box->height()));
}

void CheckCombo(QComboBox* combo, const QString& where, CaptionFit* fit) {
    // Room for the text beside the arrow button.
    const int room = combo->width() - combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 8;
    for (int i = 0; i < combo->count(); ++i) {
        const QString item = combo->itemText(i);
        if (item.isEmpty()) continue;
        const QSize text = combo->fontMetrics().size(0, item);
        Record(fit, where, combo, item, text, QSize(room, combo->height()));
    }
}

void CheckHeaders(QTreeWidget* list, const QString& where, CaptionFit* fit) {
    const QHeaderView* header = list->header();
    QTreeWidgetItem* item = list->headerItem();
    for (int c = 0; c < list->columnCount(); ++c) {
        if (list->isColumnHidden(c) || item->text(c).isEmpty()) continue;
        const QSize text = header->fontMetrics().size(0, item->text(c));
        Record(fit, where, list, item->text(c), QSize(text.width() + 8, text.height()),
               QSize(list->columnWidth(c), header->height() > 0 ? header->height() : text.height()));
    }
}

bool Captioned(const QWidget* w) {
    if (auto* label = qobject_cast<const QLabel*>(w)) return !label->text().isEmpty();
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) return !button->text().isEmpty();
    return false;
}

// Two visible controls of one parent whose rectangles cross: a caption runs
// under the other control (a group box around others is a frame, not a rival).
void CheckOverlaps(QWidget* parent, const QString& where, CaptionFit* fit) {
    const QList<QWidget*> children = parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* a : children) {
        if (!Captioned(a) || !a->isVisibleTo(parent)) continue;
        for (QWidget* b : children) {
            // Group boxes and plain frames are backgrounds the controls sit on.
            if (a == b || !b->isVisibleTo(parent) || qobject_cast<QGroupBox*>(b) ||
                b->metaObject() == &QFrame::staticMetaObject)
                continue;
            if (b->objectName() == QLatin1String("titleIcon") || (qobject_cast<QLabel*>(b) && !Captioned(b))) continue;
            if (Captioned(b) && b < a) continue;  // each pair once
            if (a->geometry().intersects(b->geometry()))
                fit->problems << QStringLiteral("%1 %2 \"%3\" overlaps %4")
                                     .arg(where, a->objectName(), Captioned(a) ? a->property("text").toString() : QString(),
                                          b->objectName());
        }
    }
}

}  // namespace

void CheckCaptions(QWidget* root, const QString& where, CaptionFit* fit) {
    for (QWidget* w : root->findChildren<QWidget*>()) {
        // The edits inside the address control and the like are not captions.
        if (auto* label = qobject_cast<QLabel*>(w)) CheckLabel(label, where, fit);
        else if (auto* button = qobject_cast<QAbstractButton*>(w)) CheckButton(button, where, fit);
        else if (auto* box = qobject_cast<QGroupBox*>(w)) CheckGroupTitle(box, where, fit);
        else if (auto* combo = qobject_cast<QComboBox*>(w)) CheckCombo(combo, where, fit);
        else if (auto* list = qobject_cast<QTreeWidget*>(w)) CheckHeaders(list, where, fit);
    }
    CheckOverlaps(root, where, fit);
    for (QGroupBox* box : root->findChildren<QGroupBox*>()) CheckOverlaps(box, where, fit);
}

}  // namespace orvanta::testing
