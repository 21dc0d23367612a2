#include "core/discovery/DiscoveryRequest.h"

namespace orvanta::discovery {

DiscoveryRequest DiscoveryRequest::Build() {
    DiscoveryRequest r{};
    WriteBe32(r.bytes.data(), kPrimaryMagic);
    WriteBe32(r.bytes.data() + 4, kTypeRequest);
    return r;
}

}  // namespace orvanta::discovery
