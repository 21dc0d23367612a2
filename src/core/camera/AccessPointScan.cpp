#include "core/camera/AccessPointScan.h"

#include <cstring>
#include <memory>
#include <string>

#include "core/camera/CameraExchange.h"
#include "core/camera/CameraRequest.h"
#include "core/camera/ParameterParser.h"
#include "core/settings/FixedField.h"

namespace orvanta {

namespace {

std::string_view AsText(std::string_view reply) { return reply.substr(0, reply.find('\0')); }

bool EndsApValue(char c) { return c == '\n' || c == '\r' || c == ' ' || c == '<'; }

}  // namespace

bool ExtractApValue(uint8_t& field, std::string_view key, std::string_view cell) {
    cell = AsText(cell);
    const std::size_t at = FindKey(cell, key);
    if (at == std::string_view::npos || at >= cell.size() || cell[at] == '\n' || cell[at] == '\r' || cell[at] == ' ')
        return false;
    // The shared number rule, applied from the occurrence just found.
    return ExtractValue(field, key, cell.substr(at - key.size()));
}

bool ExtractApValue(char* field, std::size_t width, std::string_view key, std::string_view cell) {
    cell = AsText(cell);
    std::size_t at = FindKey(cell, key);
    if (at == std::string_view::npos || at >= cell.size() || cell[at] == '\n' || cell[at] == '\r' || cell[at] == ' ')
        return false;
    std::size_t end = at;
    if (key == "SSID=") {
        // A quoted name may hold spaces; it ends at the closing quote.
        if (cell[at] == '"') end = ++at;
        while (end < cell.size() && cell[end] != '\n' && cell[end] != '\r' && cell[end] != '<' && cell[end] != '"')
            ++end;
    } else {
        while (end < cell.size() && !EndsApValue(cell[end])) ++end;
    }
    CopyToField(field, width, cell.substr(at, end - at));
    return true;
}

bool ParseAccessPointReply(CameraSettings& settings, std::string_view reply, std::vector<AccessPointEntry>& list) {
    list.clear();
    reply = AsText(reply);
    if (reply.find("scan AP sum =") == std::string_view::npos) {
        settings.APScanOK = 0;
        return false;
    }
    int32_t count = 0;
    ExtractValue(count, "sum = ", reply);
    if (count < 0) count = 0;
    if (static_cast<uint32_t>(count) > kMaxAccessPoints) count = static_cast<int32_t>(kMaxAccessPoints);
    settings.APScanOK = 1;

    // The announced count only bounds the cells looked at: the list holds
    // the access points actually described, in their order, so a count the
    // cells do not back up never shows as rows of blanks.
    std::string_view rest = reply;
    for (int32_t cellNo = 0; cellNo <= count; ++cellNo) {
        const std::size_t close = rest.find("</td>");
        if (close == std::string_view::npos) break;
        std::string_view cell = rest.substr(0, close + 5);
        rest.remove_prefix(close + 5);
        if (cellNo == 0 || cell.find("<td>AP") == std::string_view::npos) continue;
        cell = cell.substr(0, Utf8PrefixLength(cell, kApCellCapacity));
        AccessPointEntry& e = list.emplace_back(AccessPointEntry{});
        ExtractApValue(e.Channel, "Channel=", cell);
        e.Mac_address[0] = '\0';
        ExtractApValue(e.Mac_address, "Mac_address=", cell);
        e.SSID[0] = '\0';
        ExtractApValue(e.SSID, "SSID=", cell);
        ExtractApValue(e.Quality, "Quality=", cell);
        e.Mode[0] = '\0';
        ExtractApValue(e.Mode, "Mode=", cell);
        e.Security[0] = '\0';
        ExtractApValue(e.Security, "Security=", cell);
        e.Algorithm[0] = '\0';
        ExtractApValue(e.Algorithm, "Algorithm=", cell);
    }
    settings.APCount = static_cast<uint32_t>(list.size());
    return true;
}

std::vector<AccessPointEntry> ScanAccessPoints(const TransportSettings& limits, const Deadline& deadline,
                                               CameraSettings& settings, HttpResult* result) {
    std::vector<AccessPointEntry> list;
    settings.APScanOK = 0;
    HttpResult r = HttpStatus::SendFailed;
    std::string request;
    if (BuildScanRequest(settings, request)) {
        auto reply = std::make_unique<char[]>(kReplyCapacity + 1);
        r = ExchangeWithCamera(limits, deadline, settings,
                               {.request = request, .reply = reply.get(), .capacity = kReplyCapacity});
        if (!r.Failed()) {
            const std::string_view text(reply.get(), r.length);
            const HttpStatus check = CheckReply(text, false, false);
            if (check != HttpStatus::Ok) r = check;
            else ParseAccessPointReply(settings, text, list);
        }
    }
    if (result) *result = r;
    return list;
}

}  // namespace orvanta
