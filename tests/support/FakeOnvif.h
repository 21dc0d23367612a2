// Other makers' cameras for tests: a search that hears what the test lists
// (growing one look at a time, as replies come in) and a service that
// answers reads and changes from the test's functions, noting every call.
// Nothing here touches the network.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/onvif/search/OnvifSearch.h"
#include "core/onvif/OnvifService.h"

namespace orvanta::testing {

class FakeOnvifSearch final : public onvif::OnvifSearch {
public:
    // looks[i]: what the i-th look after Begin hears; past the end, the last.
    std::vector<std::vector<onvif::DiscoveredOnvifDevice>> looks;
    onvif::OnvifSearchReport report{true, {}, {}};
    std::string unreadable;  // what Unreadable tells
    int begun = 0, ended = 0;

    onvif::OnvifSearchReport Begin() override {
        ++begun;
        next_ = 0;
        heard_.clear();
        return report;
    }
    bool Look(std::vector<onvif::DiscoveredOnvifDevice>& devices) override {
        std::vector<onvif::DiscoveredOnvifDevice> now = heard_;
        if (!looks.empty()) now = looks[std::min(next_++, looks.size() - 1)];
        const bool changed = now.size() != heard_.size();
        heard_ = now;
        devices = heard_;
        return changed;
    }
    std::string Unreadable() override { return unreadable; }
    void End() override { ++ended; }

private:
    std::size_t next_ = 0;
    std::vector<onvif::DiscoveredOnvifDevice> heard_;
};

class FakeOnvifService final : public onvif::OnvifService {
public:
    // Unset: the camera does not answer.
    std::function<onvif::OnvifResult(const onvif::OnvifCredentials&, onvif::OnvifDeviceState&)> read;
    std::function<onvif::OnvifResult(const onvif::OnvifChange&, onvif::OnvifDeviceState&)> apply;

    struct Call {
        std::string what;  // "read" or "apply"
        std::string target;  // the device service, as a URL
        onvif::OnvifDevice device;
        onvif::OnvifCredentials credentials;
        onvif::OnvifChange change;
    };
    std::vector<Call> Calls() const {
        const std::lock_guard lock(mutex_);
        return calls_;
    }

    onvif::OnvifResult Read(const onvif::OnvifDevice& device, const onvif::OnvifCredentials& credentials,
                            onvif::OnvifDeviceState& state) override {
        Note({"read", onvif::FormatServiceUrl(device.service), device, credentials, {}});
        return read ? read(credentials, state) : onvif::OnvifResult{onvif::OnvifStatus::Unreachable, "no answer"};
    }
    onvif::OnvifResult Apply(const onvif::OnvifDevice& device, const onvif::OnvifCredentials& credentials,
                             const onvif::OnvifChange& change, onvif::OnvifDeviceState& after) override {
        Note({"apply", onvif::FormatServiceUrl(device.service), device, credentials, change});
        return apply ? apply(change, after) : onvif::OnvifResult{onvif::OnvifStatus::Unreachable, "no answer"};
    }

private:
    void Note(Call call) {
        const std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }
    mutable std::mutex mutex_;
    std::vector<Call> calls_;
};

}  // namespace orvanta::testing
