#pragma once

#include <string>
#include <string_view>

namespace orvanta {

// A value made safe to stand in a query string: space becomes %20, and "&",
// "=", "#", "%", "+" and control bytes become %XX, so no value can end its
// pair early or start a new one. Other bytes (UTF-8 included) go unchanged.
std::string EscapeQueryValue(std::string_view value);

}  // namespace orvanta
