#include "core/onvif/search/OnvifDeviceWriter.h"


#include <algorithm>
#include <tuple>

#include "core/base/AddressText.h"

namespace orvanta::onvif {

output::OutputTable OnvifDeviceTable(const std::vector<DiscoveredOnvifDevice>& devices) {
    using output::OutputValue;
    output::OutputTable table;
    table.columns = {"uuid", "address", "xaddrs", "name", "hardware", "interface", "routed"};
    std::vector<const DiscoveredOnvifDevice*> order;
    for (const auto& d : devices) order.push_back(&d);
    std::stable_sort(order.begin(), order.end(), [](const auto* a, const auto* b) {
        return std::tie(a->replyFrom, a->endpoint) < std::tie(b->replyFrom, b->endpoint);
    });
    for (const DiscoveredOnvifDevice* d : order) {
        std::string xaddrs;
        for (const std::string& x : d->xaddrs) xaddrs += (xaddrs.empty() ? "" : " ") + x;
        table.rows.push_back({OutputValue::Text(d->endpoint),
                              d->replyFrom ? OutputValue::Text(FormatIpv4HostOrder(d->replyFrom)) : OutputValue::Null(),
                              OutputValue::Text(xaddrs), OutputValue::Text(d->name), OutputValue::Text(d->hardware),
                              OutputValue::Text(d->interfaceName), OutputValue::Number(d->routed ? 1 : 0)});
    }
    return table;
}

}  // namespace orvanta::onvif
