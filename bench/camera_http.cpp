// Times the read sequence and the normal save against a camera (run it in
// the lab against orvanta-camsim: bench/camera_http_lab.sh), and the same
// GETs fetched by curl in the same run; prints ours/curl per sequence.
//
//   bench_camera_http HOST[:PORT] [ROUNDS]
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/camera/AccessPointScan.h"
#include "core/camera/CameraRequest.h"
#include "core/camera/NetworkCameraService.h"
#include "core/settings/FixedField.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace orvanta;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The request target of a built request ("GET <target> HTTP/1.0...").
std::string Target(const std::string& request) {
    const auto start = request.find(' ') + 1;
    return request.substr(start, request.find(" HTTP/1.0") - start);
}

std::vector<std::string> ReadTargets(const CameraSettings& s) {
    std::vector<std::string> out;
    std::string req;
    for (const ParameterGroup g : {ParameterGroup::Version, ParameterGroup::Sysinfo, ParameterGroup::Network,
                                   ParameterGroup::Ddns, ParameterGroup::Time, ParameterGroup::Capabilities}) {
        BuildParameterRequest(s, ParameterAction::Read, g, req);
        out.push_back(Target(req));
    }
    if (s.HasWireless == 1) {
        BuildScanRequest(s, req);
        out.push_back(Target(req));
    }
    return out;
}

std::vector<std::string> SaveTargets(const CameraSettings& s) {
    std::vector<std::string> out;
    std::string req;
    for (const ParameterGroup g :
         {ParameterGroup::Sysinfo, ParameterGroup::Ddns, ParameterGroup::Time, ParameterGroup::Network}) {
        BuildParameterRequest(s, ParameterAction::Write, g, req);
        out.push_back(Target(req));
    }
    return out;
}

// One curl run fetching every target in turn, each on its own connection as
// the camera closes after each reply.
bool Curl(const std::string& base, const std::vector<std::string>& targets) {
    std::vector<std::string> args = {"curl", "-s", "--http1.0", "--path-as-is", "-u", ":", "-A", "flash-1.0.1"};
    for (const auto& t : targets) {
        args.push_back("-o");
        args.push_back("/dev/null");
        args.push_back(base + t);
    }
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        execvp("curl", argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_camera_http HOST[:PORT] [ROUNDS]\n");
        return 2;
    }
    std::string host = argv[1], port = "80";
    if (const auto colon = host.rfind(':'); colon != std::string::npos) {
        port = host.substr(colon + 1);
        host.resize(colon);
    }
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 20;
    CameraSettings s;
    SetField(s.CamIP, host);
    SetField(s.CamPort, port);
    std::vector<AccessPointEntry> aps;
    if (!NetworkCameraService().Read(s, aps, Deadline::Never()).ok()) {
        std::fprintf(stderr, "bench_camera_http: the first read failed\n");
        return 1;
    }
    const std::string base = "http://" + host + ":" + port;
    const auto readTargets = ReadTargets(s);
    const auto saveTargets = SaveTargets(s);  // the same values back: the camera stays where it is

    Clock::duration oursRead{}, oursSave{}, curlRead{}, curlSave{};
    for (int i = 0; i < rounds; ++i) {
        auto t0 = Clock::now();
        if (!NetworkCameraService().Read(s, aps, Deadline::Never()).ok()) return 1;
        auto t1 = Clock::now();
        if (!Curl(base, readTargets)) return 1;
        auto t2 = Clock::now();
        if (!NetworkCameraService().Save(s, SaveForm::Normal, Deadline::Never()).ok()) return 1;
        auto t3 = Clock::now();
        if (!Curl(base, saveTargets)) return 1;
        auto t4 = Clock::now();
        oursRead += t1 - t0;
        curlRead += t2 - t1;
        oursSave += t3 - t2;
        curlSave += t4 - t3;
    }
    std::printf("rounds=%d requests: read=%zu save=%zu\n", rounds, readTargets.size(), saveTargets.size());
    std::printf("read sequence: ours %.2f ms, curl %.2f ms, ours/curl %.2f\n", Ms(oursRead) / rounds,
                Ms(curlRead) / rounds, Ms(oursRead) / Ms(curlRead));
    std::printf("normal save:   ours %.2f ms, curl %.2f ms, ours/curl %.2f\n", Ms(oursSave) / rounds,
                Ms(curlSave) / rounds, Ms(oursSave) / Ms(curlSave));
    return 0;
}
