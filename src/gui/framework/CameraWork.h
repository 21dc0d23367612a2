// Work on the camera that a page starts itself (a WPS request, the listing
// server's query). The window runs it on its worker, never on its own
// thread, behind the wait window with its Cancel, and hands the outcome back
// on its own thread. The work gets its own copy of the record, as every
// worker does; the page takes from the copy what the request changed.
#pragma once

#include <QString>
#include <functional>

namespace orvanta {

class CameraService;
struct CameraSettings;

struct CameraWork {
    // The wait window's line; empty: the window's line for a read.
    QString text;
    // On the worker thread, with the window's camera service and a copy of
    // the record. Touches nothing else the window's thread uses.
    std::function<void(CameraService& camera, CameraSettings& copy)> run;
    // On the window's thread once `run` has returned, with the copy.
    std::function<void(const CameraSettings& copy)> finished;
    // On the window's thread instead of `finished` when the user cancelled:
    // the work is told to stop and left to end on its own.
    std::function<void()> cancelled;
    // Short work passes unseen: the wait window shows only once the work
    // has run this long (a page that shows its own progress repeats it).
    int quietMs = 0;
};

// Starts `work`; false (and nothing runs) while other work on the camera
// still runs.
using CameraWorkRunner = std::function<bool(CameraWork work)>;

}  // namespace orvanta
