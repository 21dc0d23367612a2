// The maintenance operations of NetworkOnvifService (firmware, reboot, soft
// factory default), kept apart from reading and applying settings: they
// share only the wait for a restarting camera and the rules by which it is
// known again.
#include <algorithm>
#include <cstdio>

#include "core/base/Diagnostics.h"
#include "core/base/MacAddress.h"
#include "core/http/HttpUpload.h"
#include "core/onvif/device/DeviceStateReader.h"
#include "core/onvif/device/FirmwareImage.h"
#include "core/onvif/device/FirmwareMessages.h"
#include "core/onvif/device/NetworkOnvifService.h"
#include "core/onvif/search/OnvifDeviceList.h"
#include "core/onvif/soap/SoapReply.h"
#include "core/onvif/soap/UsernameToken.h"

namespace orvanta::onvif {

namespace {

// A camera that asks for a wait before the upload is waited for, but no
// longer than this: more is a misreading of its duration.
constexpr std::chrono::milliseconds kMaxUploadDelay{60000};
// How often a restarting camera is asked at its own address.
constexpr std::chrono::milliseconds kRestartPoll{500};

std::string Seconds(std::chrono::milliseconds d) { return std::to_string((d.count() + 999) / 1000) + " s"; }

// Why `after` is not the camera `before` was, "" when nothing says so. A
// camera is its endpoint reference and its card: both must match where
// both readings have them.
std::string NotTheSameCamera(const OnvifDeviceState& before, const OnvifDeviceState& after) {
    if (!before.endpoint.empty() && !after.endpoint.empty() &&
        CanonicalEndpoint(before.endpoint) != CanonicalEndpoint(after.endpoint))
        return "it answers as " + after.endpoint + ", not " + before.endpoint;
    const std::optional<MacAddress> was = MacAddress::Parse(before.mac), is = MacAddress::Parse(after.mac);
    if (was && is && *was != *is) return "its MAC is " + is->Text() + ", the camera's " + was->Text();
    if (was && !is) return "it does not tell its MAC, so it cannot be told from another device";
    return {};
}

std::string HexBytes(const std::string& bytes) {
    std::string out;
    char two[3];
    for (const unsigned char c : bytes) {
        std::snprintf(two, sizeof two, "%02x", c);
        out += two;
    }
    return out;
}

// The camera's words after an upload: its status, and the text of a
// short plain reply (camera text: the caller makes it terminal-safe).
std::string ReplyWords(const HttpReply& reply) {
    std::string text = reply.body.substr(0, 200);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return "HTTP " + std::to_string(reply.status) + (text.empty() || text.find('<') != std::string::npos ? "" : ": " + text);
}

}  // namespace

OnvifResult NetworkOnvifService::FindAfterRestart(const OnvifDeviceState& before, const ServiceUrl& url,
                                                  std::chrono::milliseconds limit, const OnvifCredentials& credentials,
                                                  OnvifDeviceState& after, ServiceUrl& found) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    const auto timeLeft = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    };
    const auto over = [&] {
        return timeLeft() <= std::chrono::milliseconds(0) || settings_.call.within.Passed() || (cancelled && cancelled());
    };
    const std::optional<MacAddress> mac = MacAddress::Parse(before.mac);
    // A camera on DHCP may come back elsewhere; it is then known only by
    // its reference heard from an address with its MAC.
    const bool maySearch = before.ipv4.dhcp && !before.endpoint.empty() && mac;
    OnvifCallSettings quick = settings_.call;
    quick.connectLimitMs = std::min(quick.connectLimitMs, 2000);
    const auto readAt = [&](const ServiceUrl& at, std::string& why) {
        OnvifSession session(at, credentials, quick, now);
        CameraDateTime clock;
        OnvifDeviceState state;
        if (!session.LearnClock().ok()) return false;
        if (OnvifResult r = ReadDeviceState(session, state, clock); !r.ok()) {
            why = r.detail;
            return false;
        }
        why = NotTheSameCamera(before, state);
        if (!why.empty()) return false;
        after = state;
        after.KnowEndpoint(before.endpoint);
        found = at;
        return true;
    };
    std::string lastWhy;
    while (!over()) {
        std::string why;
        if (readAt(url, why)) return {};
        if (!why.empty() && why != lastWhy) {
            Diagnostic("ONVIF: %s answers after the restart, but %s", url.host.c_str(), why.c_str());
            lastWhy = why;
        }
        if (maySearch) {
            std::vector<ServiceUrl> verified;
            if (OnvifResult r = VerifiedClaimants(before.endpoint, *mac, std::min(timeLeft(), settings_.retryInterval),
                                                  verified);
                !r.ok())
                return r;
            for (const ServiceUrl& at : verified) {
                if (at == url) continue;
                reach(at.host, 0);
                if (readAt(at, why)) return {};
            }
        }
        // Asking its own address again is one connection: done often, so a
        // camera is used again soon after it is up. A search is a multicast
        // to the whole link, and keeps the slower pace.
        const auto pause = maySearch ? settings_.retryInterval : std::min(settings_.retryInterval, kRestartPoll);
        if (timeLeft() > std::chrono::milliseconds(0)) sleep(std::min(timeLeft(), pause));
    }
    return {OnvifStatus::NotFound, "the camera did not come back within " + Seconds(limit) +
                                       (lastWhy.empty() ? std::string() : " (at its address: " + lastWhy + ")")};
}

OnvifResult NetworkOnvifService::SendFirmware(OnvifSession& session, const FirmwareImage& image,
                                              const FirmwareProgressFn& progress, FirmwareReport& report,
                                              std::chrono::milliseconds& down) {
    down = std::chrono::milliseconds(0);
    UploadTarget target;
    UploadBody body;
    body.fileFd = image.Fd();
    body.fileSize = image.Size();
    bool mtom = false;

    SoapReply startReply;
    const OnvifResult start = session.Call(StartFirmwareUpgradeCall(), startReply);
    if (start.ok()) {
        FirmwareUploadOffer offer;
        if (!ReadStartFirmwareUpgrade(startReply.body, offer))
            return {OnvifStatus::BadReply, "the reply to StartFirmwareUpgrade names no upload address; nothing was sent"};
        ServiceUrl reported;
        if (!ParseServiceUrl(offer.uploadUri, reported))
            return {OnvifStatus::NotSupported, "the camera wants the image at '" + offer.uploadUri +
                                                   "', which is not a plain http:// address; nothing was sent"};
        // The upload is on the camera, whatever host it names (see ReachableServiceUrl).
        const ServiceUrl to = ReachableServiceUrl(reported, session.Device());
        report.method = "StartFirmwareUpgrade";
        down = offer.expectedDownTime;
        target.host = to.host;
        target.port = to.port;
        target.path = to.path;
        if (offer.uploadDelay > std::chrono::milliseconds(0)) sleep(std::min(offer.uploadDelay, kMaxUploadDelay));
    } else if (start.status == OnvifStatus::NotSupported) {
        // The older call: the image rides inside the SOAP request as an
        // XOP attachment, so no copy of it is ever base64 text in memory.
        Diagnostic("ONVIF: no StartFirmwareUpgrade (%s); sending the image with UpgradeSystemFirmware",
                   start.detail.c_str());
        report.method = "UpgradeSystemFirmware";
        mtom = true;
        target.host = session.Device().host;
        target.port = session.Device().port;
        target.path = session.Device().path;
    } else {
        OnvifResult r = start;
        r.detail = "StartFirmwareUpgrade failed: " + r.detail + "; nothing was sent";
        return r;
    }

    std::size_t headBytes = 0;
    UploadOutcome outcome;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (mtom) {
            const SoapCall call = UpgradeSystemFirmwareCall();
            const std::optional<std::string> envelope = session.SignedEnvelope(call.body);
            const std::optional<std::string> random = RandomBytes(24);
            if (!envelope || !random) return {OnvifStatus::Refused, "no random bytes for the login; nothing was sent"};
            const MtomParts parts = BuildMtomParts(*envelope, call.action, "orvanta-" + HexBytes(*random));
            target.contentType = parts.contentType;
            body.head = parts.head;
            body.tail = parts.tail;
            headBytes = parts.head.size();
        }
        target.authorization = session.DigestFor(target.path);
        const auto onProgress = [&](std::uint64_t sent, std::uint64_t) {
            report.sent = std::min<std::uint64_t>(sent > headBytes ? sent - headBytes : 0, image.Size());
            if (progress) progress({FirmwareProgress::Stage::Uploading, report.sent, image.Size()});
        };
        UploadLimits limits;
        limits.connectMs = settings_.call.connectLimitMs;
        limits.stallMs = settings_.uploadStallMs;
        limits.replyMs = settings_.uploadReplyMs;
        limits.cancelled = cancelled;
        outcome = PostUpload(limits, settings_.call.within, target, body, onProgress);
        const bool challenged = (outcome.end == UploadEnd::Answered || outcome.end == UploadEnd::AnsweredEarly) &&
                                outcome.reply.status == 401;
        // One answer to a challenge: a second 401 is the password.
        if (!challenged || attempt == 1 || !session.TakeChallenge(outcome.reply.Values("WWW-Authenticate"))) break;
        Diagnostic("ONVIF: the camera asks for HTTP Digest before it takes the image; sending it again");
        report.sent = 0;
    }
    Diagnostic("ONVIF %s: %llu of %llu image bytes sent, %s", report.method.c_str(),
               static_cast<unsigned long long>(report.sent), static_cast<unsigned long long>(image.Size()),
               UploadEndName(outcome.end));

    const std::string sentText = std::to_string(report.sent) + " of " + std::to_string(image.Size()) + " bytes";
    switch (outcome.end) {
        case UploadEnd::NoConnection:
            return {OnvifStatus::Unreachable, "no connection for the upload (" + outcome.detail + "); nothing was sent"};
        case UploadEnd::Cancelled:
            return {OnvifStatus::Refused, "cancelled after " + sentText + "; a camera keeps its firmware unless it "
                                                                          "took the whole image"};
        case UploadEnd::FileFailed:
            return {OnvifStatus::Refused, "the firmware file could not be read to the end (" + outcome.detail + "); " +
                                              sentText + " were sent"};
        case UploadEnd::Cut:
        case UploadEnd::Stalled:
        case UploadEnd::NoReply:
            // Whether the camera took it only the camera can tell: the
            // caller finds it and reads its version.
            return {OnvifStatus::Unreachable, "the upload ended early: " + outcome.detail + " after " + sentText};
        case UploadEnd::Answered:
        case UploadEnd::AnsweredEarly:
            break;
    }
    const HttpReply& reply = outcome.reply;
    if (reply.status == 401 || reply.status == 403)
        return {OnvifStatus::NotAuthorized, "the camera refused the image: " + ReplyWords(reply) + " (" + sentText + " sent)"};
    if (mtom && reply.body.find("Envelope") != std::string::npos) {
        SoapReply soap;
        OnvifResult r = ReadSoapReply(reply.body, soap, Deadline::After(5000));
        std::string message;
        if (r.ok() && !ReadUpgradeSystemFirmware(soap.body, message))
            r = {OnvifStatus::BadReply, "the reply to UpgradeSystemFirmware is not its response"};
        if (!r.ok()) {
            r.detail = "UpgradeSystemFirmware failed: " + r.detail + " (" + sentText + " sent)";
            return r;
        }
        if (!message.empty()) Diagnostic("ONVIF: the camera says: %s", message.c_str());
    } else if (reply.status < 200 || reply.status > 299) {
        return {OnvifStatus::Fault, "the camera refused the image: " + ReplyWords(reply) + " (" + sentText + " sent)"};
    }
    if (outcome.end == UploadEnd::AnsweredEarly)
        return {OnvifStatus::Fault, "the camera answered before it had the whole image: " + ReplyWords(reply) + " (" +
                                        sentText + " sent)"};
    report.uploadComplete = true;
    report.sent = image.Size();
    return {};
}

OnvifResult NetworkOnvifService::UpgradeFirmware(const OnvifDevice& device, const OnvifCredentials& credentials,
                                                 const FirmwareUpgrade& upgrade, const FirmwareProgressFn& progress,
                                                 FirmwareReport& report) {
    report = FirmwareReport{};
    FirmwareImage image;
    if (OnvifResult r = FirmwareImage::Open(upgrade.file, image); !r.ok()) return r;
    report.total = image.Size();
    const ServiceUrl& url = device.service;
    OnvifSession session(url, credentials, settings_.call, now);
    OnvifDeviceState before;
    CameraDateTime clock;
    if (OnvifResult r = ReadBeforeChange(session, device, before, clock, nullptr, "nothing was sent"); !r.ok())
        return r;
    report.before = before.firmware;
    if (!upgrade.expectVersion.empty() && before.firmware == upgrade.expectVersion) {
        report.skipped = true;
        report.after = before.firmware;
        report.where = FormatServiceUrl(url);
        return {};
    }
    // Without a MAC the camera that comes back cannot be told from another
    // device that took its address meanwhile: better not to start.
    if (!MacAddress::Parse(before.mac))
        return {OnvifStatus::Refused, "the camera does not tell its MAC, so it could not be known again after the "
                                      "upgrade; nothing was sent"};

    std::chrono::milliseconds down{0};
    const OnvifResult sent = SendFirmware(session, image, progress, report, down);
    // Nothing reached the camera, or the user gave up: nothing to wait for.
    if ((!sent.ok() && report.sent == 0 && !report.uploadComplete) || (cancelled && cancelled())) return sent;

    if (progress) progress({FirmwareProgress::Stage::Restarting, report.sent, report.total});
    if (report.uploadComplete) WaitUntilDown(url, credentials);
    const std::chrono::milliseconds limit =
        (down > std::chrono::milliseconds(0) ? down : settings_.firmwareUnannouncedDown) + settings_.firmwareMargin;
    if (progress) progress({FirmwareProgress::Stage::Finding, report.sent, report.total});
    OnvifDeviceState after;
    ServiceUrl found;
    if (OnvifResult r = FindAfterRestart(before, url, limit, credentials, after, found); !r.ok()) {
        r.detail = (sent.ok() ? "the camera took the image, but " : sent.detail + "; and ") + r.detail +
                   ", so its firmware version is unknown";
        return r;
    }
    if (progress) progress({FirmwareProgress::Stage::Reading, report.sent, report.total});
    report.after = after.firmware;
    report.where = FormatServiceUrl(found);
    const bool reached = upgrade.expectVersion.empty() ? after.firmware != before.firmware
                                                        : after.firmware == upgrade.expectVersion;
    if (reached) {
        // A cut upload the camera still installed is a success all the same.
        if (!sent.ok()) Diagnostic("ONVIF: %s, yet the camera now runs %s", sent.detail.c_str(), after.firmware.c_str());
        return {};
    }
    std::string detail = "the camera was found again and runs " + (after.firmware.empty() ? "an unnamed version" : after.firmware);
    detail += after.firmware == before.firmware ? " still" : "";
    if (!upgrade.expectVersion.empty()) detail += ", not " + upgrade.expectVersion;
    detail += sent.ok() ? " (it took the whole image)" : " (" + sent.detail + ")";
    return {sent.ok() ? OnvifStatus::Mismatch : sent.status == OnvifStatus::Unreachable ? OnvifStatus::Fault : sent.status,
            detail};
}

OnvifResult NetworkOnvifService::Restart(const OnvifDevice& device, const OnvifCredentials& credentials,
                                         RestartKind kind, OnvifDeviceState& after) {
    const ServiceUrl& url = device.service;
    OnvifSession session(url, credentials, settings_.call, now);
    OnvifDeviceState before;
    CameraDateTime clock;
    if (OnvifResult r = ReadBeforeChange(session, device, before, clock, nullptr, "nothing was sent"); !r.ok())
        return r;
    const SoapCall call = kind == RestartKind::Reboot ? DeviceCall("SystemReboot") : SetSystemFactoryDefaultSoftCall();
    const std::string name = call.action.substr(call.action.rfind('/') + 1);
    SoapReply reply;
    if (OnvifResult r = session.Call(call, reply); !r.ok()) {
        r.detail = name + " failed: " + r.detail;
        return r;
    }
    WaitUntilDown(url, credentials);
    ServiceUrl found;
    if (OnvifResult r = FindAfterRestart(before, url, settings_.rebootLimit, credentials, after, found); !r.ok()) {
        r.detail = "the camera took " + name + ", but " + r.detail;
        return r;
    }
    return {};
}

}  // namespace orvanta::onvif
