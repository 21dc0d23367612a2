#include "FakeCameraService.h"

#include <chrono>

#include "core/http/HttpTransport.h"

namespace orvanta::testing {

void FakeCameraService::Hold(bool endOnCancel) {
    std::lock_guard<std::mutex> lock(mutex_);
    held_ = true;
    endOnCancel_ = endOnCancel;
}

void FakeCameraService::Release() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        held_ = false;
    }
    released_.notify_all();
}

void FakeCameraService::WaitWhileHeld(const CameraSettings& settings) {
    std::unique_lock<std::mutex> lock(mutex_);
    // The cancel flag is no condition the release wakes for: look at it often.
    while (held_ && !(endOnCancel_ && !KeepConnectingNow(settings)))
        released_.wait_for(lock, std::chrono::milliseconds(2));
}

SearchResult FakeCameraService::SearchStep(bool restart) {
    ++calls.searchSteps;
    if (search) return search(restart);
    return {SearchChange::Unchanged, {}};
}

void FakeCameraService::Handed(const Deadline& deadline) {
    std::lock_guard<std::mutex> lock(mutex_);
    deadlines_.push_back(deadline);
}

std::vector<Deadline> FakeCameraService::Deadlines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return deadlines_;
}

HttpResult FakeCameraService::ReadGroup(CameraSettings& settings, ParameterGroup group, const Deadline& deadline) {
    ++calls.readGroups;
    Handed(deadline);
    WaitWhileHeld(settings);
    return readGroup ? readGroup(settings, group) : HttpStatus::ConnectFailed;
}

WriteAnswer FakeCameraService::WriteGroup(CameraSettings& settings, ParameterGroup group,
                                          const Deadline& deadline) {
    ++calls.writeGroups;
    Handed(deadline);
    WaitWhileHeld(settings);
    if (writeGroup) return writeGroup(settings, group);
    WriteAnswer none;
    none.result = HttpStatus::ConnectFailed;
    return none;
}

std::vector<AccessPointEntry> FakeCameraService::RequestAccessPointScan(CameraSettings& settings,
                                                                       HttpResult* result,
                                                                       const Deadline& deadline) {
    ++calls.scans;
    Handed(deadline);
    WaitWhileHeld(settings);
    if (scan) return scan(settings, result);
    settings.APScanOK = 0;
    if (result) *result = HttpStatus::ConnectFailed;
    return {};
}

HttpResult FakeCameraService::Wps(CameraSettings& settings, WpsAction action, const Deadline& deadline) {
    ++calls.wps;
    Handed(deadline);
    WaitWhileHeld(settings);
    return wps ? wps(settings, action) : HttpStatus::ConnectFailed;
}

std::optional<std::vector<ServerCameraEntry>> FakeCameraService::QueryServer(const ServerCredentials& credentials,
                                                                             uint32_t& countOut, const char* host,
                                                                             const char* port, ListingLogin login,
                                                                             const Deadline& deadline) {
    ++calls.serverQueries;
    Handed(deadline);
    const CameraSettings none;  // the query has no record to cancel through
    WaitWhileHeld(none);
    if (queryServer) return queryServer(credentials, countOut, host, port, login);
    return std::nullopt;
}

}  // namespace orvanta::testing
