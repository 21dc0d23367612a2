// The guided LAN path as one list of steps: on which page each step starts
// and what a user does there. The lab flow (real simulator and network) and
// the X11 walk-through (a real window) walk the same list, each through its
// own PathDriver, so a change to the path is made once.
#pragma once

#include <QString>
#include <vector>

namespace orvanta::testing {

struct PathAction {
    enum class Kind {
        Click,        // click `control`
        Operation,    // click `control`, which starts a camera operation (a wait window)
        PickCamera,   // search, then select the lab's camera in the list `control`
        TypeAddress,  // type `text` into the address control `control`
        Look,         // a moment worth a screenshot, called `text`
        ExpectCameraUrl,  // the read-only field `control` shows the camera's web address
    };
    Kind kind;
    int control = 0;
    QString text;
};

struct PathStep {
    const char* name;  // also the screenshot's name
    int page;          // the page this step starts on
    std::vector<PathAction> actions;
};

// What the quick IP page is given; an empty value leaves the page's own
// proposal, an empty address leaves the page on its proposal (no fixed
// address chosen).
struct QuickIpValues {
    QString address;
    QString mask;
    QString gateway;
    QString dns;
};

// First page "Setup Camera"; "Yes" with LAN; the diagram; the search and the
// read; the option page in wizard mode; the quick IP page; UPnP and DDNS
// taken as they are; the save from the summary; the setup finished page.
std::vector<PathStep> GuidedLanPath(const QuickIpValues& quickIp);

// How one layer performs the actions; each returns false (after saying why
// in its own way) when the user could not do it.
class PathDriver {
public:
    virtual ~PathDriver() = default;
    virtual bool WaitForPage(int page) = 0;
    virtual bool Click(int page, int control) = 0;
    virtual bool StartOperation(int page, int control, const QString& name) { (void)name; return Click(page, control); }
    virtual bool PickCamera(int page, int list) = 0;
    virtual bool TypeAddress(int page, int control, const QString& address) = 0;
    virtual bool ExpectCameraUrl(int page, int control) = 0;
    virtual void Look(const QString& name) { (void)name; }
};

// Performs one step's actions after its page is shown; false at the first
// action that fails.
bool RunActions(const PathStep& step, PathDriver& driver);

// Walks every step in order, waiting for each step's page first; the index of
// the step that failed, or -1 when the whole path was walked.
int WalkPath(const std::vector<PathStep>& steps, PathDriver& driver);

}  // namespace orvanta::testing
