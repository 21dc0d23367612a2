// Makes the captions of a window laid out to fixed template rectangles fit
// in any language: a caption that does not fit its rectangle first takes
// free room to its right, then wraps onto more lines and grows downwards
// (or about its middle) into free room; a push button tall enough for two
// lines breaks its caption. Fonts are never made smaller. "Free" means not
// covered by another control of the same parent that is not hidden (group
// boxes and plain frames are backgrounds, not rivals). Run it after the
// captions are set and before the page's state hides or shows controls.
//
// Each control keeps its template rectangle and starts from it again on
// every call, so a language change to shorter texts gives the template back.
#pragma once

#include <QSize>

class QAbstractButton;
class QTreeWidget;
class QWidget;

namespace orvanta {

// The width the style asks for a button's caption (with its indicator, icon
// and frame) and the height of its lines.
QSize ButtonCaptionNeeds(const QAbstractButton* button);

// Fits the captions of the direct children of `container`.
void FitCaptions(QWidget* container);

// Makes each visible column of a list at least as wide as its header's
// caption (the list scrolls sideways when the columns outgrow it).
void WidenColumnsToHeaders(QTreeWidget* list);

}  // namespace orvanta
