// Whether every caption of a window is shown whole: measured with each
// control's own font against its own geometry (word wrap taken into
// account), so a text that is cut, elided or runs under another control is
// found without looking at the screen.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace orvanta::testing {

struct CaptionFit {
    QStringList problems;  // one line per caption that does not fit
    // The caption that came closest to (or furthest past) its control's
    // edge: needed / available, on the tighter of width and height.
    double worstRatio = 0;
    QString worstCaption;
    // The same against the control's template rectangle, before the page
    // grew or widened it for the caption: how much room the language needed.
    double worstTemplateRatio = 0;
    QString worstTemplateCaption;
};

// Checks the labels, buttons, radio and check boxes, group box titles,
// combo box entries and list headers inside `root` (hidden ones too: each is
// shown in some state of its page), and that no visible captioned control
// overlaps a visible sibling. `where` prefixes each problem line.
void CheckCaptions(QWidget* root, const QString& where, CaptionFit* fit);

}  // namespace orvanta::testing
