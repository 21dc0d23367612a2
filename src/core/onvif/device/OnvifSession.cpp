#include "core/onvif/device/OnvifSession.h"

#include <ctime>

#include "core/http/Base64.h"
#include "core/onvif/soap/ClockSkew.h"
#include "core/onvif/soap/SoapEnvelope.h"
#include "core/onvif/soap/SoapTransport.h"
#include "core/onvif/soap/UsernameToken.h"
#include "core/base/Diagnostics.h"

namespace orvanta::onvif {

namespace {

// "Tue, 08 Dec 2026 10:00:00 GMT" (RFC 7231 IMF-fixdate).
std::optional<std::chrono::system_clock::time_point> HttpDate(const std::string& text) {
    std::tm tm{};
    const char* end = strptime(text.c_str(), "%a, %d %b %Y %H:%M:%S GMT", &tm);
    if (end == nullptr) return std::nullopt;
    return std::chrono::system_clock::from_time_t(timegm(&tm));
}

// Whether an HTTP reply carries a SOAP envelope worth reading.
bool LooksLikeSoap(const HttpReply& r) {
    return r.body.find("Envelope") != std::string::npos;
}

}  // namespace

OnvifSession::OnvifSession(ServiceUrl device, OnvifCredentials credentials, OnvifCallSettings settings, WallClock now)
    : device_(std::move(device)), credentials_(std::move(credentials)), settings_(settings), now_(std::move(now)) {
    if (!now_) now_ = [] { return std::chrono::system_clock::now(); };
}

std::string OnvifSession::Authorization(const ServiceUrl& url, std::string* nonce) {
    const std::lock_guard lock(mutex_);
    if (!digest_) return {};
    if (nonce) *nonce = digest_->nonce;
    // Each request its own count, under the lock: two calls at once never
    // send the same one (the camera would take the second as a replay).
    return DigestAuthorization(*digest_, credentials_.user, credentials_.password, "POST", url.path, cnonce_, ++nc_);
}

OnvifResult OnvifSession::Exchange(const ServiceUrl& url, const SoapCall& call, bool sign, SoapReply& reply,
                                   bool retried) {
    std::string header;
    if (sign && !credentials_.user.empty()) {
        const std::optional<std::string> security = SecurityHeader(credentials_.user, credentials_.password, CameraNow());
        if (!security) return {OnvifStatus::Refused, "no random bytes for the login nonce"};
        header = *security;
    }
    const std::string envelope = SoapEnvelope(header, call.body);
    // Reading the reply counts against the call's time (and the caller's) as
    // much as waiting for it.
    const Deadline deadline = CallDeadline(settings_);
    HttpReply http;
    std::string answered;  // the Digest nonce this request answered, if any
    // Requests answering a Digest challenge go one at a time: cameras take
    // a nonce count only above the last one they saw, and two connections
    // at once may arrive in either order. (UsernameToken requests carry a
    // nonce of their own each and go side by side.)
    std::unique_lock lane(digestLane_, std::defer_lock);
    std::string authorization;
    if (sign) {
        if (DigestKnown()) lane.lock();
        authorization = Authorization(url, &answered);
        // The challenge came in between: a count taken outside the lane
        // may already be overtaken; a fresh one inside it is not.
        if (!authorization.empty() && !lane.owns_lock()) {
            lane.lock();
            authorization = Authorization(url, &answered);
        }
    }
    // Reads go on connections the camera keeps open; a change always goes
    // on a fresh one (a request sent again on a fresh connection after a
    // kept one failed could apply twice).
    const bool read = call.action.compare(call.action.rfind('/') + 1, 3, "Get") == 0;
    OnvifResult r = PostSoap(settings_, deadline, url, call.action, envelope, authorization, http,
                             read ? &connections_ : nullptr);
    if (lane.owns_lock()) lane.unlock();
    if (!r.ok()) return r;
    {
        const std::lock_guard lock(mutex_);
        lastHttpDate_ = HttpDate(http.Value("Date"));
    }
    if (http.status == 401 && sign) {
        if (credentials_.user.empty())
            return {OnvifStatus::NotAuthorized, "the camera asks for a user name and password"};
        const std::vector<DigestChallenge> offered = ParseDigestChallenges(http.Values("WWW-Authenticate"));
        const std::optional<DigestChallenge> strongest = StrongestChallenge(offered);
        if (!strongest)
            return {OnvifStatus::NotAuthorized, "the camera refused the login and offers no HTTP Digest to answer"};
        // Refused although this very request answered a challenge (and not
        // for a stale nonce): the password is wrong, not the method. A
        // camera that challenges the answer to its own fresh challenge
        // again refuses the password too; it gets one answer, not a loop.
        if ((!answered.empty() && !strongest->stale) || retried)
            return {OnvifStatus::NotAuthorized, "the camera refused the user name and password"};
        {
            const std::lock_guard lock(mutex_);
            // Calls sent at once are all challenged at once: the first
            // challenge is the one every call answers from then on (taking
            // each new one would start its count again and repeat counts
            // the camera has seen). A stale nonce is replaced.
            if (!digest_ || (strongest->stale && answered == digest_->nonce)) {
                digest_ = strongest;
                cnonce_ = Base64Encode(RandomBytes(12).value_or(std::string(12, '\x5a')));
                nc_ = 0;
                Diagnostic("ONVIF: the camera asks for HTTP Digest (%s)", digest_->algorithm.c_str());
            }
        }
        // A fresh UsernameToken too: its nonce went out once already.
        return Exchange(url, call, true, reply, true);
    }
    if (http.status == 401)
        return {OnvifStatus::NotAuthorized, "the camera asks for a login before it tells its time"};
    if (!LooksLikeSoap(http)) {
        if (http.status == 404 || http.status == 405 || http.status == 501 || (http.status >= 200 && http.status < 300))
            return {OnvifStatus::OnvifDisabled, "the port answers (HTTP " + std::to_string(http.status) +
                                                    "), but not as an ONVIF device service"};
        if (http.status == 403)
            return {OnvifStatus::NotAuthorized, "the camera forbids the call (HTTP 403)"};
        return {OnvifStatus::BadReply, "HTTP " + std::to_string(http.status) + " without a SOAP reply"};
    }
    r = ReadSoapReply(http.body, reply, deadline);
    if (r.ok() && !reply.body) return {OnvifStatus::BadReply, "the SOAP reply has an empty Body"};
    if (r.status == OnvifStatus::BadReply && http.status == 404)
        return {OnvifStatus::OnvifDisabled, "the port answers (HTTP 404), but not as an ONVIF device service"};
    // A 401 text may come as a fault too; HTTP errors without a fault are
    // a reply we cannot read.
    return r;
}

OnvifResult OnvifSession::LearnClock(CameraDateTime* time) {
    SoapReply anonymous, signedReply;
    SoapReply* used = &anonymous;
    const auto sent = now_();
    OnvifResult r = Exchange(device_, DeviceCall("GetSystemDateAndTime"), false, anonymous);
    auto received = now_();
    // Refused without a login, in whatever words (some answer a plain
    // fault about the missing Security header): asked again signed.
    if (r.status == OnvifStatus::NotAuthorized || r.status == OnvifStatus::NoOnvifUser ||
        r.status == OnvifStatus::Fault) {
        // No time without a login: signed on the clock of its HTTP Date
        // when it sent one, else on ours.
        if (const auto date = LastHttpDate()) {
            offset_ = std::chrono::duration_cast<std::chrono::milliseconds>(*date - received);
            if (offset_ > std::chrono::milliseconds(-2000) && offset_ < std::chrono::milliseconds(2000))
                offset_ = std::chrono::milliseconds(0);
        }
        used = &signedReply;
        r = Exchange(device_, DeviceCall("GetSystemDateAndTime"), true, signedReply);
        received = now_();
    }
    if (!r.ok()) return r;
    const SoapReply& reply = *used;
    CameraDateTime dt;
    if (!ReadSystemDateAndTime(reply.body, dt))
        return {OnvifStatus::BadReply, "the reply to GetSystemDateAndTime is not its response"};
    if (dt.utc) {
        // The camera's clock at the middle of the round trip; whole seconds
        // only, which is all a camera tells.
        const auto mid = sent + (received - sent) / 2;
        offset_ = std::chrono::duration_cast<std::chrono::milliseconds>(*dt.utc - mid);
        // Within a second of ours: the difference is the camera rounding.
        if (offset_ > std::chrono::milliseconds(-1000) && offset_ < std::chrono::milliseconds(1000))
            offset_ = std::chrono::milliseconds(0);
    } else if (const auto date = LastHttpDate()) {
        // Local time only, in a zone we would have to interpret: the HTTP
        // Date of the same reply is UTC.
        offset_ = std::chrono::duration_cast<std::chrono::milliseconds>(*date - received);
        if (offset_ > std::chrono::milliseconds(-2000) && offset_ < std::chrono::milliseconds(2000))
            offset_ = std::chrono::milliseconds(0);
    }
    // Kept for signing (that is what lets a skewed camera log in at all),
    // but not without a word.
    if (const std::string note = ClockSkewNote(offset_.count() / 1000); !note.empty())
        Diagnostic("ONVIF at %s: %s", FormatServiceUrl(device_).c_str(), note.c_str());
    if (time) *time = dt;
    return {};
}

std::optional<std::string> OnvifSession::SignedEnvelope(const std::string& body) {
    std::string header;
    if (!credentials_.user.empty()) {
        const std::optional<std::string> security = SecurityHeader(credentials_.user, credentials_.password, CameraNow());
        if (!security) return std::nullopt;
        header = *security;
    }
    return SoapEnvelope(header, body);
}

std::string OnvifSession::DigestFor(const std::string& path) {
    const std::lock_guard lock(mutex_);
    if (!digest_) return {};
    return DigestAuthorization(*digest_, credentials_.user, credentials_.password, "POST", path, cnonce_, ++nc_);
}

bool OnvifSession::TakeChallenge(const std::vector<std::string>& wwwAuthenticate) {
    const std::optional<DigestChallenge> strongest = StrongestChallenge(ParseDigestChallenges(wwwAuthenticate));
    if (!strongest || credentials_.user.empty()) return false;
    const std::lock_guard lock(mutex_);
    digest_ = strongest;
    cnonce_ = Base64Encode(RandomBytes(12).value_or(std::string(12, '\x5a')));
    nc_ = 0;
    return true;
}

bool OnvifSession::DigestKnown() {
    const std::lock_guard lock(mutex_);
    return digest_.has_value();
}

std::optional<std::chrono::system_clock::time_point> OnvifSession::LastHttpDate() {
    const std::lock_guard lock(mutex_);
    return lastHttpDate_;
}

OnvifResult OnvifSession::Call(const SoapCall& call, SoapReply& reply) { return Call(device_, call, reply); }

OnvifResult OnvifSession::Call(const ServiceUrl& url, const SoapCall& call, SoapReply& reply) {
    return Exchange(url, call, true, reply);
}

OnvifResult OnvifSession::CallAnonymous(const ServiceUrl& url, const SoapCall& call, SoapReply& reply) {
    return Exchange(url, call, false, reply);
}

}  // namespace orvanta::onvif
