#include "gui/dialogs/CameraPictureDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/framework/CameraPicture.h"
#include "gui/framework/ShownText.h"

namespace orvanta {

CameraPictureDialog::CameraPictureDialog(const QString& cameraName, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CameraPictureDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    // The camera's own name: plain text in the title, however it is made.
    setWindowTitle(ShownText(cameraName.toStdString()));
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("picture"));
    picture_->setTextFormat(Qt::PlainText);
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setWordWrap(true);
    picture_->setFixedSize(640, 360);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture_);
    layout->addWidget(buttons);
}

void CameraPictureDialog::Show(const QImage& picture, const QString& line) {
    ShowCameraPicture(picture_, picture, line);
    show();
    raise();
}

}  // namespace orvanta
