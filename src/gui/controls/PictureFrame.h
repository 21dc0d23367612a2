// A frame that shows one of the wizard's pictures at its own pixel size,
// from its top-left corner, clipped to the frame (pictures are never
// scaled). The picture is named by its resource number so that pages and
// tests speak of "picture 210" rather than of file names.
#pragma once

#include <QFrame>
#include <QPixmap>

namespace orvanta {

class PictureFrame : public QFrame {
    Q_OBJECT
public:
    explicit PictureFrame(QWidget* parent = nullptr);

    // 0 clears the picture.
    void SetPicture(int resourceId);
    int PictureId() const { return pictureId_; }
    // Draws the picture again, with the words of the current language.
    void Refresh();
    QSize PictureSize() const { return picture_.isNull() ? QSize() : picture_.deviceIndependentSize().toSize(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int pictureId_ = 0;
    QPixmap picture_;
};

}  // namespace orvanta
