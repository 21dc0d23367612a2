// Any bytes as the listing server's reply, for both login types.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/camera/ListingServerQuery.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    for (const auto type : {orvanta::ListingLogin::User, orvanta::ListingLogin::Device}) {
        const auto list = orvanta::ParseListingReply(reply, type);
        if (!list) continue;
        if (list->size() > orvanta::kMaxServerCameras) __builtin_trap();
        for (const auto& e : *list)
            if (strnlen(e.ID, sizeof e.ID) == sizeof e.ID || strnlen(e.Port, sizeof e.Port) == sizeof e.Port)
                __builtin_trap();
    }
    return 0;
}
