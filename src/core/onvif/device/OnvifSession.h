// Talking to one camera as it wants to be talked to: its clock learnt
// first by the anonymous GetSystemDateAndTime, then every request signed
// with a UsernameToken on the camera's time, and HTTP Digest answered when
// the camera replies 401 with a challenge. A camera that needs neither gets
// the signed request anyway (cameras ignore a header they need not check).
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/onvif/device/DeviceReplies.h"
#include "core/onvif/device/DeviceRequests.h"
#include "core/http/HttpDigest.h"
#include "core/onvif/OnvifService.h"
#include "core/onvif/OnvifTypes.h"
#include "core/onvif/soap/ServiceAddress.h"
#include "core/onvif/soap/SoapConnections.h"
#include "core/onvif/soap/SoapReply.h"

namespace orvanta::onvif {

using WallClock = std::function<std::chrono::system_clock::time_point()>;

class OnvifSession {
public:
    OnvifSession(ServiceUrl device, OnvifCredentials credentials, OnvifCallSettings settings, WallClock now);

    // The anonymous GetSystemDateAndTime. Ok with the camera's clock known
    // (its offset from ours kept for signing). A camera that refuses it
    // anonymously is signed for on the PC's clock, or on the Date of its
    // HTTP reply when it sent one; that is Ok too, with `time` unset.
    OnvifResult LearnClock(CameraDateTime* time = nullptr);

    // One call to `url` (the device service unless given). Ok with
    // `reply.body` the response element; the fault's status otherwise.
    // Calls may run at once from several threads once the clock is known
    // (LearnClock itself runs alone): the login state they share is locked.
    OnvifResult Call(const SoapCall& call, SoapReply& reply);
    OnvifResult Call(const ServiceUrl& url, const SoapCall& call, SoapReply& reply);
    // Without a login: for what a device answers anyone (where its services
    // are), asked while its clock is still being learnt.
    OnvifResult CallAnonymous(const ServiceUrl& url, const SoapCall& call, SoapReply& reply);

    const ServiceUrl& Device() const { return device_; }
    // Camera minus PC, as last learnt.
    std::chrono::milliseconds ClockOffset() const { return offset_; }
    std::chrono::system_clock::time_point CameraNow() const { return now_() + offset_; }
    // After the password was changed: sign with the new one from here on.
    void SetPassword(const std::string& password) { credentials_.password = password; }

    // For a request sent another way than Call (an image uploaded with or
    // after it): the envelope around `body`, signed as Call signs (none
    // when no random nonce could be had), and the HTTP Digest answer for
    // `path` once the camera has asked for one ("" until then).
    std::optional<std::string> SignedEnvelope(const std::string& body);
    std::string DigestFor(const std::string& path);
    // Takes the strongest challenge of a 401 that came to such a request;
    // false when it offers none we can answer.
    bool TakeChallenge(const std::vector<std::string>& wwwAuthenticate);

private:
    OnvifResult Exchange(const ServiceUrl& url, const SoapCall& call, bool sign, SoapReply& reply, bool retried = false);
    // The Authorization header for a request to `url` ("" before the camera
    // asked for HTTP Digest) and the challenge nonce it answers.
    std::string Authorization(const ServiceUrl& url, std::string* nonce);
    std::optional<std::chrono::system_clock::time_point> LastHttpDate();
    bool DigestKnown();

    ServiceUrl device_;
    OnvifCredentials credentials_;
    OnvifCallSettings settings_;
    WallClock now_;
    std::chrono::milliseconds offset_{0};
    std::optional<std::chrono::system_clock::time_point> lastHttpDate_;
    std::mutex mutex_;        // guards lastHttpDate_ and the Digest state below
    std::mutex digestLane_;   // held for each exchange that answers a Digest challenge
    SoapConnections connections_;  // what the camera kept open, for the next calls
    std::optional<DigestChallenge> digest_;
    std::string cnonce_;
    unsigned nc_ = 0;
};

}  // namespace orvanta::onvif
