// A camera's still picture in the window: decoded off the window's thread
// with a bound on the memory a decoder may take (a lying JPEG header can
// announce a picture of gigabytes), shown scaled into its place, or a plain
// line where there is none; and made small again for a report.
#pragma once

#include <QImage>
#include <QString>
#include <string>

#include "core/onvif/OnvifTypes.h"

class QLabel;

namespace orvanta {

class LanguageStrings;

// The most a picture's decoder may allocate. Enough for the largest
// still a camera sends (a 12-megapixel sensor's is under 48 MiB as RGB32);
// anything it would need more for is refused.
inline constexpr int kPictureAllocationLimitMb = 64;

// Null with `why` when the bytes do not decode (within the limit). The
// picture is decoded no larger than `fitIn` where the decoder can scale as
// it reads (JPEG can), which keeps a large still cheap.
QImage DecodeCameraPicture(const std::string& jpeg, QSize fitIn, QString& why);

// The plain line shown where a picture is missing: the camera has none to
// give, it sent something that is no picture (`decodeNote`: the decoder's
// words), or the camera's failure as the login's messages word it.
QString PictureLine(const LanguageStrings& lang, const onvif::OnvifResult& result, const QString& decodeNote);

// Shows `picture` scaled into `label` (aspect kept), or `line` as plain
// text when it is null. The label's accessible name says which.
void ShowCameraPicture(QLabel* label, const QImage& picture, const QString& line);

// A JPEG of the picture at most `width` pixels wide, for a report; empty
// for a null picture.
std::string ThumbnailJpeg(const QImage& picture, int width);

}  // namespace orvanta
