#include "core/discovery/DiscoveredCameraWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <numeric>
#include <tuple>
#include <vector>

#include "core/settings/FixedField.h"
#include "core/base/AddressText.h"

namespace orvanta::discovery {

namespace {

using output::OutputValue;

// A port the camera sent as decimal text; null when it is not one.
OutputValue PortValue(std::string_view text) {
    const std::string s(text);
    if (s.empty()) return OutputValue::Null();
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || *end != '\0') return OutputValue::Null();
    return OutputValue::Number(v);
}

// The address as a number for sorting; text that is no address sorts last.
uint64_t SortKey(const DiscoveredCamera& c) {
    uint32_t address = 0;
    if (!ParseIpv4HostOrder(FieldText(c.IpText), address)) return uint64_t{1} << 32;
    return address;
}

}  // namespace

bool DiscoveredCameraWriter::ParseFormat(std::string_view name, RecordFormat& format) {
    return output::ParseOutputFormat(name, format);
}

output::OutputTable DiscoveredCameraWriter::Table(const DiscoveredCamera* records, int count) {
    output::OutputTable table;
    table.columns = {"ip", "mac", "port", "model", "interface", "serial", "second_port", "mask"};
    if (!records || count <= 0) return table;
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return std::make_tuple(SortKey(records[a]), FieldText(records[a].MacText)) <
               std::make_tuple(SortKey(records[b]), FieldText(records[b].MacText));
    });
    for (const int i : order) {
        const DiscoveredCamera& c = records[i];
        // The record holds "<model>/<interface>"; a model may hold a slash
        // itself, the interface name never does.
        const std::string_view joined = FieldText(c.DescInterface);
        const std::size_t slash = joined.rfind('/');
        const std::string_view model = slash == std::string_view::npos ? joined : joined.substr(0, slash);
        const std::string_view iface = slash == std::string_view::npos ? std::string_view() : joined.substr(slash + 1);
        table.rows.push_back({OutputValue::Text(FieldText(c.IpText)), OutputValue::Text(FieldText(c.MacText)),
                              PortValue(FieldText(c.PortText)), OutputValue::Text(model), OutputValue::Text(iface),
                              OutputValue::Text(FieldText(c.SerialNo)), PortValue(FieldText(c.SportText)),
                              OutputValue::Text(FieldText(c.MaskText))});
    }
    return table;
}

std::string DiscoveredCameraWriter::Write(RecordFormat format, const DiscoveredCamera* records, int count,
                                          bool terminal) {
    return output::WriteTable(format, Table(records, count), terminal);
}

}  // namespace orvanta::discovery
