#include "gui/pages/OnvifStreamsPage.h"

#include <QComboBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

#include "core/onvif/device/StreamCheck.h"
#include "gui/framework/OnvifSetup.h"
#include "gui/framework/ShownText.h"

namespace orvanta {

namespace {

constexpr const char* kNoOptions = "NoOptions";     // "%1": the profiles the camera states no choices for
constexpr const char* kMoreProfiles = "MoreProfiles";  // "%1": how many more are left as they are
constexpr const char* kBadNumber = "BadNumber";
constexpr const char* kFpsUnit = "FpsUnit";          // "%1 fps"
constexpr const char* kBitrateUnit = "BitrateUnit";  // "%1 kbit/s"

// Stream addresses are copied into a recorder whole.
constexpr qsizetype kUriChars = 4096;

QString Number(double v) { return QString::number(v, 'g', 6); }

QString Unit(QString pattern, const QString& value) {
    if (!pattern.contains(QStringLiteral("%1"))) pattern = QStringLiteral("%1");
    return pattern.replace(QStringLiteral("%1"), value);
}

// "2592x1944 25 fps 8192 kbit/s": what an installer compares against a
// recorder's budget.
QString Budget(const onvif::OnvifVideoEncoder& e, const QString& fps, const QString& kbps) {
    return QStringLiteral("%1 %2 %3")
        .arg(ShownText(onvif::ResolutionText(e.width, e.height)), Unit(fps, Number(e.fpsLimit)),
             Unit(kbps, QString::number(e.bitrateKbps)));
}

const onvif::OnvifEncodingOptions* OfferFor(const onvif::OnvifEncoderOptions& options, const QString& encoding) {
    for (const onvif::OnvifEncodingOptions& o : options.encodings)
        if (QString::fromStdString(o.encoding) == encoding) return &o;
    return nullptr;
}

}  // namespace

OnvifStreamsPage::OnvifStreamsPage(QWidget* parent) : WizardPage(306, "OnvifStreamsPage", parent) {
    // Two lines for each caption: some languages need them.
    encodingHeader_ = AddStatic(kEncodingHeader, Dlu(8, 30, 56, 20), QStringLiteral("Encoding"));
    resolutionHeader_ = AddStatic(kResolutionHeader, Dlu(68, 30, 74, 20), QStringLiteral("Resolution"));
    fpsHeader_ = AddStatic(kFpsHeader, Dlu(146, 30, 74, 20), QStringLiteral("Frame rate"));
    bitrateHeader_ = AddStatic(kBitrateHeader, Dlu(224, 30, 82, 20), QStringLiteral("Bitrate (kbit/s)"));
    gopHeader_ = AddStatic(kGopHeader, Dlu(310, 30, 71, 20), QStringLiteral("GOP length"));
    for (int r = 0; r < kRows; ++r) {
        Row& row = rows_[r];
        const int id = kRowBase + 10 * r;
        const int top = 52 + 44 * r;
        row.name = AddStatic(id + kName, Dlu(8, top, 373, 10), QString());
        row.encoding = AddCombo(id + kEncoding, Dlu(8, top + 11, 56, 60));
        row.resolution = AddCombo(id + kResolution, Dlu(68, top + 11, 74, 80));
        row.fps = AddCombo(id + kFps, Dlu(146, top + 11, 74, 80));
        row.bitrate = AddEdit(id + kBitrate, Dlu(224, top + 11, 82, 13), 7);
        row.bitrate->setValidator(new QIntValidator(1, 1000000, row.bitrate));
        row.gop = AddEdit(id + kGop, Dlu(310, top + 11, 71, 13), 5);
        row.gop->setValidator(new QIntValidator(1, 10000, row.gop));
        row.uri = AddStatic(id + kUri, Dlu(8, top + 27, 373, 10), QString());

        row.uri->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        row.uri->setWordWrap(false);
        connect(row.encoding, &QComboBox::currentIndexChanged, this, [this, r] {
            // Another encoding offers other sizes and rates.
            if (!Context() || !Context()->onvifSetup || rows_[r].token.empty()) return;
            const OnvifSetup& setup = *Context()->onvifSetup;
            for (const onvif::OnvifProfile& p : setup.before.profiles)
                if (p.token == rows_[r].token && p.encoder) {
                    const auto it = setup.streamOptions.find(p.token);
                    if (it != setup.streamOptions.end()) FillChoices(rows_[r], *p.encoder, it->second);
                }
        });
    }
    note_ = AddStatic(kNote, Dlu(8, 184, 373, 40), QString());
    for (int r = 0; r < kRows; ++r) NameRow(rows_[r], QString::number(r + 1));
    AddStepTitle(kTitle, "TitleOnvifStreams", kCaptionCapacity, QStringLiteral("Video Streams"));

    Captions({{encodingHeader_, "Encoding"},
              {resolutionHeader_, "Resolution"},
              {fpsHeader_, "FrameRate"},
              {bitrateHeader_, "Bitrate"},
              {gopHeader_, "Gop"}});
    KeptTexts({{kNoOptions, kMessageCapacity}, {kMoreProfiles, kMessageCapacity}, {kBadNumber, kMessageCapacity},
               {kFpsUnit}, {kBitrateUnit}});

    connect(AddBackButton(kBack), &QAbstractButton::clicked, this, &OnvifStreamsPage::OnBack);
    connect(AddNextButton(kNext), &QAbstractButton::clicked, this, &OnvifStreamsPage::OnNext);
}

void OnvifStreamsPage::ApplyLanguage(const LanguageStrings& lang) {
    WizardPage::ApplyLanguage(lang);
    // Each input is named by its column caption and its row: by number
    // until a camera's profile names the row.
    for (int r = 0; r < kRows; ++r) NameRow(rows_[r], QString::number(r + 1));
}

void OnvifStreamsPage::NameRow(Row& row, const QString& rowName) {
    const auto name = [&rowName](QWidget* control, const QLabel* header) {
        control->setAccessibleName(AccessibleText(header->text()) + QStringLiteral(", ") + rowName);
    };
    name(row.encoding, encodingHeader_);
    name(row.resolution, resolutionHeader_);
    name(row.fps, fpsHeader_);
    name(row.bitrate, bitrateHeader_);
    name(row.gop, gopHeader_);
}

void OnvifStreamsPage::FillChoices(Row& row, const onvif::OnvifVideoEncoder& now,
                                   const onvif::OnvifEncoderOptions& options) {
    const QString encoding = row.encoding->currentText();
    const onvif::OnvifEncodingOptions* offer = OfferFor(options, encoding);
    const QString keptSize = row.resolution->count() ? row.resolution->currentText()
                                                     : ShownText(onvif::ResolutionText(now.width, now.height));
    const QString keptFps = row.fps->count() ? row.fps->currentText() : Number(now.fpsLimit);
    row.resolution->clear();
    row.fps->clear();
    if (offer) {
        for (const auto& [w, h] : offer->resolutions) row.resolution->addItem(ShownText(onvif::ResolutionText(w, h)));
        std::vector<int> rates = offer->frameRates;
        if (rates.empty() && offer->frameRateRange.Known())
            for (int f = std::min(offer->frameRateRange.max, 120); f >= std::max(offer->frameRateRange.min, 1); --f)
                rates.push_back(f);
        for (const int f : rates) row.fps->addItem(QString::number(f));
        row.gop->setEnabled(encoding != QStringLiteral("JPEG"));
    }
    // What the camera has stays a choice even when its list leaves it out.
    if (row.resolution->findText(keptSize) < 0) row.resolution->addItem(keptSize);
    if (row.fps->findText(keptFps) < 0) row.fps->addItem(keptFps);
    row.resolution->setCurrentIndex(row.resolution->findText(keptSize));
    row.fps->setCurrentIndex(row.fps->findText(keptFps));
}

void OnvifStreamsPage::LoadFromSettings() {
    if (!Context() || !Context()->onvifSetup) return;
    const QuietLoad quiet(this);
    const OnvifSetup& setup = *Context()->onvifSetup;
    QStringList noOptions;
    int shown = 0;
    for (int r = 0; r < kRows; ++r) {
        Row& row = rows_[r];
        const onvif::OnvifProfile* profile =
            r < static_cast<int>(setup.before.profiles.size()) ? &setup.before.profiles[r] : nullptr;
        row.token = profile && profile->encoder ? profile->token : std::string();
        for (QWidget* w : std::initializer_list<QWidget*>{row.name, row.encoding, row.resolution, row.fps, row.bitrate,
                                                         row.gop, row.uri})
            w->setVisible(profile != nullptr);
        row.encoding->clear();
        row.resolution->clear();
        row.fps->clear();
        if (!profile) continue;
        ++shown;
        const QString name = ShownText(profile->name.empty() ? profile->token : profile->name);
        row.name->setText(QStringLiteral("%1 (%2)").arg(name, ShownText(profile->token)));
        row.uri->setText(ShownText(profile->streamUri, kUriChars));
        const auto it = setup.streamOptions.find(profile->token);
        const bool offered = profile->encoder && it != setup.streamOptions.end() && !it->second.Empty();
        for (QWidget* w : std::initializer_list<QWidget*>{row.encoding, row.resolution, row.fps, row.bitrate, row.gop})
            w->setEnabled(offered);
        NameRow(row, name);
        if (!profile->encoder) {
            row.bitrate->clear();
            row.gop->clear();
            continue;
        }
        // What an earlier visit chose, else what the camera has.
        onvif::OnvifVideoEncoder shownNow = *profile->encoder;
        for (const onvif::OnvifStreamChange& c : setup.change.streams)
            if (c.profile == profile->token) shownNow = onvif::WithStreamChange(shownNow, c);
        if (offered)
            for (const onvif::OnvifEncodingOptions& o : it->second.encodings)
                row.encoding->addItem(QString::fromStdString(o.encoding));
        const QString encoding = ShownText(shownNow.encoding);
        if (row.encoding->findText(encoding) < 0) row.encoding->addItem(encoding);
        row.encoding->setCurrentIndex(row.encoding->findText(encoding));
        row.resolution->addItem(ShownText(onvif::ResolutionText(shownNow.width, shownNow.height)));
        row.fps->addItem(Number(shownNow.fpsLimit));
        if (offered) FillChoices(row, shownNow, it->second);
        row.bitrate->setText(QString::number(shownNow.bitrateKbps));
        row.gop->setText(shownNow.gop > 0 ? QString::number(shownNow.gop) : QString());
        if (!offered) noOptions << name;
    }
    QStringList notes;
    if (!noOptions.isEmpty()) notes << Unit(Kept(kNoOptions), noOptions.join(QStringLiteral(", ")));
    const int more = static_cast<int>(setup.before.profiles.size()) - shown;
    if (more > 0) notes << Unit(Kept(kMoreProfiles), QString::number(more));
    note_->setText(notes.join(QLatin1Char('\n')));
}

QStringList OnvifStreamsPage::ChangeLines(const onvif::OnvifDeviceState& before,
                                          const std::vector<onvif::OnvifStreamChange>& streams, const QString& fpsUnit,
                                          const QString& bitrateUnit) {
    QStringList lines;
    for (const onvif::OnvifStreamChange& c : streams) {
        std::string why;
        const onvif::OnvifProfile* p = onvif::FindProfile(before.profiles, c.profile, why);
        if (!p || !p->encoder) continue;
        const onvif::OnvifVideoEncoder after = onvif::WithStreamChange(*p->encoder, c);
        QString from = Budget(*p->encoder, fpsUnit, bitrateUnit), to = Budget(after, fpsUnit, bitrateUnit);
        // The encoding and GOP are named only when they change.
        if (after.encoding != p->encoder->encoding) {
            from = ShownText(p->encoder->encoding) + QLatin1Char(' ') + from;
            to = ShownText(after.encoding) + QLatin1Char(' ') + to;
        }
        if (after.gop != p->encoder->gop) {
            from += QStringLiteral(" GOP %1").arg(p->encoder->gop);
            to += QStringLiteral(" GOP %1").arg(after.gop);
        }
        const QString name = ShownText(p->name.empty() ? p->token : p->name);
        QString shown = name;
        if (!shown.isEmpty()) shown[0] = shown[0].toUpper();
        lines << QStringLiteral("%1: %2 \u2192 %3").arg(shown, from, to);
    }
    return lines;
}

void OnvifStreamsPage::OnBack() { PostCommand(WizardCommand::ShowOnvifClockPage); }

void OnvifStreamsPage::OnNext() {
    if (!Context() || !Context()->onvifSetup) return;
    OnvifSetup& setup = *Context()->onvifSetup;
    std::vector<onvif::OnvifStreamChange> streams;
    for (Row& row : rows_) {
        if (row.token.empty() || !row.encoding->isEnabled()) continue;
        const onvif::OnvifProfile* profile = nullptr;
        for (const onvif::OnvifProfile& p : setup.before.profiles)
            if (p.token == row.token) profile = &p;
        if (!profile || !profile->encoder) continue;
        const onvif::OnvifVideoEncoder& now = *profile->encoder;
        bool good = false;
        const int bitrate = row.bitrate->text().toInt(&good);
        bool goodGop = true;
        const int gop = row.gop->isEnabled() && !row.gop->text().isEmpty() ? row.gop->text().toInt(&goodGop) : now.gop;
        if (!good || bitrate <= 0 || !goodGop || gop < 0) {
            Ask(Kept(kBadNumber), QString(), PromptIcon::Warning);
            (good ? row.gop : row.bitrate)->setFocus();
            return;
        }
        onvif::OnvifStreamChange c;
        c.profile = row.token;
        if (row.encoding->currentText().toStdString() != now.encoding) c.encoding = row.encoding->currentText().toStdString();
        std::pair<int, int> size;
        if (onvif::ParseResolution(row.resolution->currentText().toStdString(), size) &&
            size != std::pair{now.width, now.height})
            c.resolution = size;
        const int fps = row.fps->currentText().toInt(&good);
        if (good && fps != std::lround(now.fpsLimit)) c.fps = fps;
        if (bitrate != now.bitrateKbps) c.bitrateKbps = bitrate;
        if (gop > 0 && gop != now.gop) c.gop = gop;
        if (!c.empty()) streams.push_back(c);
    }
    setup.change.streams = streams;
    PostCommand(WizardCommand::ShowOnvifSummaryPage);
}

}  // namespace orvanta
