// The wizard's pictures and icons, drawn as SVG and compiled in from
// art/art.qrc. Pictures keep the pixel size each was designed for (they are
// shown unscaled); icons scale freely.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace orvanta {
class LanguageStrings;
}

namespace orvanta::art {

// Pictures by resource number.
inline constexpr int kBanner = 198;
inline constexpr int kFirstPppoe = 206;      // PC - PPPoE modem - Internet
inline constexpr int kFirstRouter = 210;     // PC - router - modem - Internet
inline constexpr int kFirstNoInternet = 211; // the same chain, Internet crossed out
inline constexpr int kDiagramRouter = 224;
inline constexpr int kDiagramLan = 227;
inline constexpr int kDiagramWireless = 228;
inline constexpr int kWpsButton = 209;
inline constexpr int kWpsJoin = 216;
inline constexpr int kSetupDone = 229;

// Icons by resource number.
inline constexpr int kIconApp = 128;
inline constexpr int kIconSearch = 181;
inline constexpr int kIconSetup = 185;
inline constexpr int kIconAbout = 186;
inline constexpr int kIconNext = 189;
inline constexpr int kIconBack = 190;
inline constexpr int kIconFinish = 218;
inline constexpr int kIconIntranet = 219;
inline constexpr int kIconLink = 221;
inline constexpr int kIconTitle = 243;
inline constexpr int kIconLanguage = 245;

// Design size in pixels of a picture; an empty size for unknown numbers.
QSize PictureSize(int resourceId);
// Resource path (":/art/....svg"); empty for unknown numbers.
QString Path(int resourceId);
// The words drawn in the pictures come from the [Pictures] section of the
// language: every <text data-key="K" data-width="W"> of a picture shows the
// text of key K, wrapped onto more lines where it is wider than W pixels
// (downwards, or upwards for data-grow="up"). Pictures made afterwards use
// the new words; frames already showing one must be refreshed.
void SetPictureTexts(const LanguageStrings& language);
// The picture's SVG with the current words in place.
QByteArray LabelledSvg(int resourceId);

// The picture rendered at its design size for the given pixel ratio.
QPixmap Picture(int resourceId, qreal devicePixelRatio = 1.0);
QIcon Icon(int resourceId);

}  // namespace orvanta::art
