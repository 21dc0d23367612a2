#include "core/hostnet/HostPartCounter.h"

#include <cstring>

namespace orvanta::hostnet {

namespace {

std::array<uint8_t, 4> Bytes(uint32_t value) {
    std::array<uint8_t, 4> b;
    std::memcpy(b.data(), &value, 4);
    return b;
}

uint32_t Value(const std::array<uint8_t, 4>& b) {
    uint32_t value;
    std::memcpy(&value, b.data(), 4);
    return value;
}

}  // namespace

uint32_t TopHostAddress(uint32_t address, uint32_t mask) {
    auto a = Bytes(address);
    const auto m = Bytes(mask);
    for (int i = 0; i < 4; ++i) a[i] = uint8_t((a[i] & m[i]) | uint8_t(~m[i]));
    if (a[3] == 255) a[3] = 254;
    return Value(a);
}

HostPartCounter::HostPartCounter(uint32_t mask) {
    const auto m = Bytes(mask);
    for (int i = 0; i < 4; ++i) start_[i] = uint8_t(~m[i]);
    if (start_[3] == 255) start_[3] = 254;
    bytes_ = start_;
}

uint32_t HostPartCounter::Value() const { return hostnet::Value(bytes_); }
uint32_t HostPartCounter::Start() const { return hostnet::Value(start_); }

bool HostPartCounter::StepDown() {
    if (bytes_[3] > 1) {
        --bytes_[3];
        return true;
    }
    bytes_[3] = start_[3];
    for (int i = 2; i >= 0; --i) {
        if (bytes_[i] != 0) {
            --bytes_[i];
            return true;
        }
        bytes_[i] = start_[i];
    }
    return false;
}

}  // namespace orvanta::hostnet
