// A camera's picture in a window of its own, beside the wizard: the
// installer keeps it open while walking to the camera it shows. A camera
// without a picture gets a plain line instead.
#pragma once

#include <QDialog>

class QLabel;

namespace orvanta {

class CameraPictureDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CameraPictureDialog)
public:
    // Deletes itself when closed.
    CameraPictureDialog(const QString& cameraName, QWidget* parent);

    // Shows the window (not modal) with `picture`, or `line` when it is null.
    void Show(const QImage& picture, const QString& line);

    QLabel* Picture() const { return picture_; }

private:
    QLabel* picture_;
};

}  // namespace orvanta
