#include "core/http/Base64.h"

#include <algorithm>
#include <cstring>

#include <openssl/evp.h>

namespace orvanta {

std::string Base64Encode(std::string_view bytes) {
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                  reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return out;
}

std::optional<std::string> Base64Decode(std::string_view text) {
    std::string clean;
    for (const char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') clean += c;
    if (clean.size() % 4 != 0) return std::nullopt;
    std::string out(clean.size() / 4 * 3 + 1, '\0');
    const int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                  reinterpret_cast<const unsigned char*>(clean.data()), static_cast<int>(clean.size()));
    if (n < 0) return std::nullopt;
    // EVP_DecodeBlock counts the padding as zero bytes.
    std::size_t length = static_cast<std::size_t>(n);
    for (std::size_t i = clean.size(); i > 0 && clean[i - 1] == '=' && length > 0; --i) --length;
    out.resize(length);
    return out;
}

std::size_t Base64Encode(char* out, std::string_view text, std::size_t capacity) {
    if (out == nullptr || capacity == 0) return 0;
    const std::string encoded = Base64Encode(text);
    const std::size_t n = std::min(encoded.size(), capacity - 1);
    std::memcpy(out, encoded.data(), n);
    out[n] = '\0';
    return n;
}

}  // namespace orvanta
