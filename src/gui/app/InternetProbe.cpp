#include "gui/app/InternetProbe.h"

#include "core/http/HttpTransport.h"

namespace orvanta {

namespace {
constexpr int kPollMs = 50;
}  // namespace

InternetProbe::InternetProbe() { QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); }); }

InternetProbe::~InternetProbe() { timer_.stop(); }

void InternetProbe::Start(const TransportSettings& limits, std::string host, int port, Done done) {
    done_ = std::move(done);
    auto reached = std::make_shared<std::atomic<bool>>(false);
    reached_ = reached;
    thread_ = std::make_unique<WorkerThread>(
        [limits, host = std::move(host), port, reached](WorkerProgress&) {
            reached->store(ProbeInternet(limits, host.c_str(), port) == 0);
        },
        nullptr);
    timer_.start(kPollMs);
}

void InternetProbe::Poll() {
    if (!thread_ || !thread_->Finished()) return;
    timer_.stop();
    thread_.reset();
    const auto done = std::move(done_);
    if (done) done(reached_->load());
}

}  // namespace orvanta
