#include "FakeCameraService.h"

#include <chrono>

#include "core/http/HttpTransport.h"

namespace orvanta::testing {

namespace {
const SequenceOutcome kNoAnswer{false, HttpStatus::ConnectFailed};
}  // namespace

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

HttpResult FakeCameraService::ReadGroup(CameraSettings& settings, ParameterGroup group) {
    ++calls.readGroups;
    return readGroup ? readGroup(settings, group) : HttpStatus::ConnectFailed;
}

HttpResult FakeCameraService::ReadAfterLogin(CameraSettings& settings) {
    ++calls.readsAfterLogin;
    return readAfterLogin ? readAfterLogin(settings) : HttpStatus::ConnectFailed;
}

SequenceOutcome FakeCameraService::Read(CameraSettings& settings, std::vector<AccessPointEntry>& apList) {
    ++calls.reads;
    WaitWhileHeld(settings);
    return read ? read(settings, apList) : kNoAnswer;
}

SequenceOutcome FakeCameraService::Save(CameraSettings& settings) {
    ++calls.saves;
    WaitWhileHeld(settings);
    return save ? save(settings) : kNoAnswer;
}

SequenceOutcome FakeCameraService::SaveAfterWps(CameraSettings& settings) {
    ++calls.savesAfterWps;
    WaitWhileHeld(settings);
    return saveAfterWps ? saveAfterWps(settings) : kNoAnswer;
}

std::vector<AccessPointEntry> FakeCameraService::ScanAccessPoints(CameraSettings& settings, HttpResult* result) {
    ++calls.scans;
    if (scan) return scan(settings, result);
    settings.APScanOK = 0;
    if (result) *result = HttpStatus::ConnectFailed;
    return {};
}

HttpResult FakeCameraService::Wps(CameraSettings& settings, WpsAction action) {
    ++calls.wps;
    return wps ? wps(settings, action) : HttpStatus::ConnectFailed;
}

std::optional<std::vector<ServerCameraEntry>> FakeCameraService::QueryServer(const ServerCredentials& credentials,
                                                                             uint32_t& countOut, const char* host,
                                                                             const char* port, ListingLogin login) {
    ++calls.serverQueries;
    if (queryServer) return queryServer(credentials, countOut, host, port, login);
    return std::nullopt;
}

}  // namespace orvanta::testing
