#include "core/onvif/soap/UsernameToken.h"

#include <sys/random.h>

#include <cerrno>
#include <ctime>

#include <openssl/evp.h>
#include <openssl/sha.h>

#include "core/http/Base64.h"
#include "core/onvif/soap/OnvifNamespaces.h"
#include "core/onvif/soap/SoapEnvelope.h"

namespace orvanta::onvif {

std::optional<std::string> RandomBytes(std::size_t count) {
    std::string out(count, '\0');
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = getrandom(out.data() + got, count - got, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return std::nullopt;
        got += static_cast<std::size_t>(n);
    }
    return out;
}

std::string CreatedText(std::chrono::system_clock::time_point at) {
    const auto ms = std::chrono::floor<std::chrono::milliseconds>(at.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
    const int milli = static_cast<int>(ms - static_cast<long long>(seconds) * 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, milli);
    return text;
}

std::string PasswordDigest(std::string_view nonce, std::string_view created, std::string_view password) {
    const std::string input = std::string(nonce) + std::string(created) + std::string(password);
    unsigned char digest[SHA_DIGEST_LENGTH];
    SHA1(reinterpret_cast<const unsigned char*>(input.data()), input.size(), digest);
    return Base64Encode(std::string_view(reinterpret_cast<const char*>(digest), sizeof digest));
}

std::optional<std::string> SecurityHeader(std::string_view user, std::string_view password,
                                          std::chrono::system_clock::time_point cameraNow) {
    const std::optional<std::string> nonce = RandomBytes(16);
    if (!nonce) return std::nullopt;
    const std::string created = CreatedText(cameraNow);
    return std::string("<wsse:Security s:mustUnderstand=\"true\" xmlns:wsse=\"") + ns::kWsse + "\" xmlns:wsu=\"" +
           ns::kWsu + "\"><wsse:UsernameToken><wsse:Username>" + XmlEscape(user) +
           "</wsse:Username><wsse:Password Type=\"" + ns::kPasswordDigest + "\">" +
           PasswordDigest(*nonce, created, password) + "</wsse:Password><wsse:Nonce EncodingType=\"" +
           ns::kBase64Binary + "\">" + Base64Encode(*nonce) + "</wsse:Nonce><wsu:Created>" + created +
           "</wsu:Created></wsse:UsernameToken></wsse:Security>";
}

}  // namespace orvanta::onvif
