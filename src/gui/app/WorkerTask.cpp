#include "gui/app/WorkerTask.h"

#include "core/camera/CameraService.h"
#include "core/http/HttpTransport.h"
#include "core/hostnet/AddressProbe.h"

namespace orvanta {

namespace {

void RunRead(WorkerTask& t) {
    t.apList.clear();
    t.hasProbeResult = false;
    const SequenceOutcome read = t.camera->Read(t.settings, t.apList);
    if (!read.succeeded) {
        t.succeeded = false;
        t.lastResult = read.lastResult;
        return;
    }
    // The address proposal for the quick IP page; a PPPoE camera gets its
    // address from the provider. A cancelled task skips the ARP walk.
    if (t.settings.LinkPPPoE != 1 && t.hostNetwork != nullptr && KeepConnectingNow(t.settings)) {
        t.probeResult = hostnet::FindFreeAddressForCamera(t.settings, *t.hostNetwork);
        t.hasProbeResult = true;
    }
    t.succeeded = true;
}

}  // namespace

void RunWorkerTask(WorkerTask& t) {
    t.succeeded = false;
    if (t.camera == nullptr) return;
    switch (t.kind) {
        case TaskKind::Read: RunRead(t); break;
        case TaskKind::Save: t.succeeded = t.camera->Save(t.settings).succeeded; break;
        case TaskKind::SaveAfterWps: t.succeeded = t.camera->SaveAfterWps(t.settings).succeeded; break;
    }
}

WorkerThread::WorkerThread(std::shared_ptr<WorkerTask> task, Body body) : task_(std::move(task)) {
    task_->done.store(false, std::memory_order_relaxed);
    thread_ = std::thread([t = task_, b = std::move(body)] {
        if (b) b(*t);
        t->done.store(true, std::memory_order_release);
    });
}

WorkerThread::~WorkerThread() {
    Cancel();
    if (thread_.joinable()) thread_.join();
}

bool WorkerThread::Finished() {
    if (!task_->done.load(std::memory_order_acquire)) return false;
    if (thread_.joinable()) thread_.join();
    return true;
}

void WorkerThread::Cancel() { SetKeepConnecting(task_->settings, false); }

}  // namespace orvanta
