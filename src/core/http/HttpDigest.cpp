#include "core/http/HttpDigest.h"

#include <strings.h>

#include <cstdio>

#include <openssl/evp.h>

namespace orvanta {

namespace {

bool SameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool IsSha256(std::string_view algorithm) {
    return SameNoCase(algorithm, "SHA-256") || SameNoCase(algorithm, "SHA-256-sess");
}
bool IsSession(std::string_view algorithm) {
    return algorithm.size() > 5 && SameNoCase(algorithm.substr(algorithm.size() - 5), "-sess");
}
bool Known(std::string_view algorithm) {
    return SameNoCase(algorithm, "MD5") || SameNoCase(algorithm, "MD5-sess") || IsSha256(algorithm);
}

std::string HexDigest(std::string_view algorithm, std::string_view text) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned length = 0;
    EVP_Digest(text.data(), text.size(), digest, &length, IsSha256(algorithm) ? EVP_sha256() : EVP_md5(), nullptr);
    std::string hex;
    char two[3];
    for (unsigned i = 0; i < length; ++i) {
        std::snprintf(two, sizeof two, "%02x", digest[i]);
        hex += two;
    }
    return hex;
}

// A quoted string with its backslash escapes, or a token.
std::string QuotedOrToken(std::string_view text, std::size_t& i) {
    std::string value;
    if (i < text.size() && text[i] == '"') {
        for (++i; i < text.size() && text[i] != '"'; ++i) {
            if (text[i] == '\\' && i + 1 < text.size()) ++i;
            value += text[i];
        }
        if (i < text.size()) ++i;  // the closing quote
        return value;
    }
    while (i < text.size() && text[i] != ',' && text[i] != ' ' && text[i] != '\t') value += text[i++];
    return value;
}

void SkipBlanks(std::string_view text, std::size_t& i) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
}

// Escapes for a quoted-string: a user name or realm may hold a quote.
std::string Quoted(std::string_view s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

}  // namespace

std::vector<DigestChallenge> ParseDigestChallenges(const std::vector<std::string>& headerValues) {
    std::vector<DigestChallenge> out;
    for (const std::string& header : headerValues) {
        const std::string_view text = header;
        std::size_t i = 0;
        std::optional<DigestChallenge> current;
        auto finish = [&] {
            if (current && !current->nonce.empty() && Known(current->algorithm)) out.push_back(*current);
            current.reset();
        };
        while (i < text.size()) {
            SkipBlanks(text, i);
            if (i < text.size() && text[i] == ',') {
                ++i;
                continue;
            }
            // A token: either a parameter name (followed by '=') or a new scheme.
            std::size_t start = i;
            while (i < text.size() && text[i] != '=' && text[i] != ' ' && text[i] != '\t' && text[i] != ',') ++i;
            const std::string_view name = text.substr(start, i - start);
            if (name.empty()) {  // a stray '='
                ++i;
                continue;
            }
            SkipBlanks(text, i);
            if (i < text.size() && text[i] == '=') {
                ++i;
                SkipBlanks(text, i);
                const std::string value = QuotedOrToken(text, i);
                if (!current) continue;  // a parameter of a scheme we do not read
                if (SameNoCase(name, "realm")) current->realm = value;
                else if (SameNoCase(name, "nonce")) current->nonce = value;
                else if (SameNoCase(name, "opaque")) current->opaque = value;
                else if (SameNoCase(name, "algorithm")) current->algorithm = value;
                else if (SameNoCase(name, "stale")) current->stale = SameNoCase(value, "true");
                else if (SameNoCase(name, "userhash")) current->userhash = SameNoCase(value, "true");
                else if (SameNoCase(name, "qop")) {
                    std::size_t j = 0;
                    while (j < value.size()) {
                        std::size_t comma = value.find(',', j);
                        if (comma == std::string::npos) comma = value.size();
                        std::string_view q = std::string_view(value).substr(j, comma - j);
                        while (!q.empty() && q.front() == ' ') q.remove_prefix(1);
                        while (!q.empty() && q.back() == ' ') q.remove_suffix(1);
                        if (SameNoCase(q, "auth")) current->qopAuth = true;
                        j = comma + 1;
                    }
                }
            } else {
                finish();
                if (SameNoCase(name, "Digest")) current = DigestChallenge{};
            }
        }
        finish();
    }
    return out;
}

std::optional<DigestChallenge> StrongestChallenge(const std::vector<DigestChallenge>& challenges) {
    for (const DigestChallenge& c : challenges)
        if (IsSha256(c.algorithm)) return c;
    if (!challenges.empty()) return challenges.front();
    return std::nullopt;
}

std::string DigestAuthorization(const DigestChallenge& c, std::string_view user, std::string_view password,
                                std::string_view method, std::string_view uri, std::string_view cnonce, unsigned nc) {
    const std::string& alg = c.algorithm;
    char ncText[9];
    std::snprintf(ncText, sizeof ncText, "%08x", nc);
    std::string ha1 = HexDigest(alg, std::string(user) + ":" + c.realm + ":" + std::string(password));
    if (IsSession(alg)) ha1 = HexDigest(alg, ha1 + ":" + c.nonce + ":" + std::string(cnonce));
    const std::string ha2 = HexDigest(alg, std::string(method) + ":" + std::string(uri));
    const std::string response =
        c.qopAuth ? HexDigest(alg, ha1 + ":" + c.nonce + ":" + ncText + ":" + std::string(cnonce) + ":auth:" + ha2)
                  : HexDigest(alg, ha1 + ":" + c.nonce + ":" + ha2);
    const std::string shownUser = c.userhash ? HexDigest(alg, std::string(user) + ":" + c.realm) : std::string(user);
    std::string out = "Digest username=" + Quoted(shownUser) + ", realm=" + Quoted(c.realm) +
                      ", nonce=" + Quoted(c.nonce) + ", uri=" + Quoted(uri) + ", algorithm=" + alg +
                      ", response=" + Quoted(response);
    if (c.qopAuth) out += ", qop=auth, nc=" + std::string(ncText) + ", cnonce=" + Quoted(cnonce);
    if (!c.opaque.empty()) out += ", opaque=" + Quoted(c.opaque);
    if (c.userhash) out += ", userhash=true";
    return out;
}

}  // namespace orvanta
