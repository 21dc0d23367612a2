// "Search other networks": the address ranges to ask for ONVIF cameras
// beyond the PC's own links (cameras on VLANs behind a router, which no
// multicast search reaches). The ranges are checked on OK; a refused range
// is named in the dialog, which stays open to mend it.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "core/onvif/search/AddressRanges.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace orvanta {

class RangeSearchDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RangeSearchDialog)
public:
    // `ranges`: what was searched last (kept in the user's settings).
    explicit RangeSearchDialog(const QString& ranges, QWidget* parent = nullptr);

    // After OK: the ranges as typed and as read.
    QString RangesText() const { return text_; }
    const std::vector<onvif::AddressRange>& Ranges() const { return ranges_; }

    QLineEdit* RangesEdit() const { return edit_; }
    QPushButton* SearchButton() const { return search_; }
    QLabel* Problem() const { return problem_; }

private:
    void OnSearch();

    QLineEdit* edit_;
    QLabel* problem_;
    QPushButton* search_;
    QString text_;
    std::vector<onvif::AddressRange> ranges_;
};

// The ranges searched last, and keeping them for the next time.
QString KeptSearchRanges();
void KeepSearchRanges(const QString& ranges);

}  // namespace orvanta
