#include "core/http/HttpBasic.h"

#include "core/http/Base64.h"

namespace orvanta {

std::string BasicAuthorization(std::string_view user, std::string_view password) {
    std::string credentials(user);
    credentials += ':';
    credentials += password;
    return "Basic " + Base64Encode(credentials);
}

}  // namespace orvanta
