// A camera service for tests: every call answers what the test set (an
// unset answer is a camera that does not answer), every call is counted,
// and the worker's calls can be held until the test lets them go, for the
// give-up and cancel paths.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "core/camera/CameraService.h"

namespace orvanta::testing {

class FakeCameraService : public CameraService {
public:
    FakeCameraService() = default;
    // Lets a held worker go, so a failed check never hangs the test on it.
    ~FakeCameraService() override { Release(); }
    FakeCameraService(const FakeCameraService&) = delete;
    FakeCameraService& operator=(const FakeCameraService&) = delete;

    // ---- the answers; set them before the call that uses them ----
    // Unset: no change and no cameras.
    std::function<SearchResult(bool restart)> search;
    bool sentNowhere = false;
    // Unset: HttpStatus::ConnectFailed (for a write: nothing sent).
    std::function<HttpResult(CameraSettings&, ParameterGroup group)> readGroup;
    std::function<WriteAnswer(CameraSettings&, ParameterGroup group)> writeGroup;
    // Unset: no scan result (APScanOK 0).
    std::function<std::vector<AccessPointEntry>(CameraSettings&, HttpResult*)> scan;
    std::function<HttpResult(CameraSettings&, WpsAction)> wps;
    // Unset: no answer from the server.
    std::function<std::optional<std::vector<ServerCameraEntry>>(const ServerCredentials&, uint32_t& countOut,
                                                                const char* host, const char* port, ListingLogin login)>
        queryServer;

    // ---- what was asked (the worker's calls count from its thread) ----
    struct Calls {
        std::atomic<int> searchSteps{0}, endSearches{0}, readGroups{0}, writeGroups{0}, scans{0}, wps{0},
            serverQueries{0};
    };
    Calls calls;

    // From now on the camera requests (reads, writes, scans, WPS, listing
    // queries) wait before
    // they answer until Release(); with `endOnCancel` also until the record
    // they were handed is cancelled, as a connect gives up once its
    // KeepConnecting is cleared. Held calls are counted when they start.
    void Hold(bool endOnCancel);
    void Release();

    SearchResult SearchStep(bool restart) override;
    bool SearchSentNowhere() const override { return sentNowhere; }
    void EndSearch() override { ++calls.endSearches; }
    HttpResult ReadGroup(CameraSettings& settings, ParameterGroup group, const Deadline& deadline) override;
    WriteAnswer WriteGroup(CameraSettings& settings, ParameterGroup group, const Deadline& deadline) override;
    std::vector<AccessPointEntry> RequestAccessPointScan(CameraSettings& settings, HttpResult* result,
                                                         const Deadline& deadline) override;
    HttpResult Wps(CameraSettings& settings, WpsAction action, const Deadline& deadline) override;
    std::optional<std::vector<ServerCameraEntry>> QueryServer(const ServerCredentials& credentials,
                                                              uint32_t& countOut, const char* host,
                                                              const char* port, ListingLogin login,
                                                              const Deadline& deadline) override;

    // The deadlines the requests were handed, in order (under the mutex).
    std::vector<Deadline> Deadlines();
    // The bound the service adds to every operation (none unless set).
    Deadline operationLimit = Deadline::Never();

protected:
    Deadline OperationLimit() const override { return operationLimit; }

private:
    void WaitWhileHeld(const CameraSettings& settings);
    void Handed(const Deadline& deadline);

    std::vector<Deadline> deadlines_;

    std::mutex mutex_;
    std::condition_variable released_;
    bool held_ = false;
    bool endOnCancel_ = false;
};

}  // namespace orvanta::testing
