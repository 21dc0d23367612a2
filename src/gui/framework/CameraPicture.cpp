#include "gui/framework/CameraPicture.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>

#include "gui/framework/OnvifResultText.h"
#include "gui/framework/ShownText.h"
#include "gui/framework/WizardPage.h"

namespace orvanta {

QImage DecodeCameraPicture(const std::string& jpeg, QSize fitIn, QString& why) {
    QByteArray bytes = QByteArray::fromRawData(jpeg.data(), static_cast<qsizetype>(jpeg.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAllocationLimit(kPictureAllocationLimitMb);
    const QSize full = reader.size();
    if (full.isValid() && fitIn.isValid() && (full.width() > fitIn.width() || full.height() > fitIn.height()))
        reader.setScaledSize(full.scaled(fitIn, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull()) why = reader.errorString();
    return image;
}

QString PictureLine(const LanguageStrings& lang, const onvif::OnvifResult& result, const QString& decodeNote) {
    const auto text = [&](const char* key, const char* fallback) {
        const QString t = WizardPage::Text(lang, "OnvifMessages", key, kMessageCapacity);
        return t.isEmpty() ? QString::fromUtf8(fallback) : t;
    };
    if (result.ok()) return decodeNote.isEmpty() ? QString() : text("PictureBroken", "The camera's picture cannot be shown.");
    switch (result.status) {
        case onvif::OnvifStatus::NotSupported: return text("PictureNone", "The camera gives no picture.");
        case onvif::OnvifStatus::BadReply: return text("PictureBroken", "The camera's picture cannot be shown.");
        default: return OnvifResultText(lang, {result.status, {}});
    }
}

void ShowCameraPicture(QLabel* label, const QImage& picture, const QString& line) {
    if (picture.isNull()) {
        label->setPixmap(QPixmap());
        label->setText(line);
        label->setAccessibleName(line);
        return;
    }
    label->setText(QString());
    const qreal ratio = label->devicePixelRatioF();
    QPixmap shown = QPixmap::fromImage(
        picture.scaled(label->size() * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    shown.setDevicePixelRatio(ratio);
    label->setPixmap(shown);
    label->setAccessibleName(QStringLiteral("%1 \u00d7 %2").arg(picture.width()).arg(picture.height()));
}

std::string ThumbnailJpeg(const QImage& picture, int width) {
    if (picture.isNull()) return {};
    const QImage small = picture.width() > width ? picture.scaledToWidth(width, Qt::SmoothTransformation) : picture;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(80);
    if (!writer.write(small)) return {};
    return bytes.toStdString();
}

}  // namespace orvanta
