// The search page through one whole search with its real discovery client,
// printing what a user would feel: the rows it ended with, the longest time
// the window did not answer (the gap between two ticks of a 20 ms timer),
// and the process's memory before, at its peak and a second after the
// search. Run inside a lab namespace, beside a flood or a large camera
// group: bench/discovery_flood_lab.sh does. QT_QPA_PLATFORM=offscreen.
//
// usage: bench_search_page_flood
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <fstream>
#include <string>

#include "gui/pages/SearchPage.h"

namespace {

// Resident memory of this process, in KB.
long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    orvanta::SearchPage page;
    page.show();
    auto* button = page.findChild<QPushButton*>(QStringLiteral("1088"));
    auto* list = page.findChild<QTreeWidget*>(QStringLiteral("1011"));
    if (!button || !list) {
        std::fprintf(stderr, "bench_search_page_flood: the page's controls are missing\n");
        return 1;
    }
    QApplication::processEvents();
    const long before = ResidentKb();
    long peak = before;
    qint64 longestGapMs = 0;
    QElapsedTimer sinceTick;
    QTimer heartbeat;
    heartbeat.setInterval(20);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        longestGapMs = std::max(longestGapMs, sinceTick.restart());
        peak = std::max(peak, ResidentKb());
    });
    sinceTick.start();
    heartbeat.start();
    button->click();

    // Six ticks a second apart end the search at the seventh; then a second
    // for what the page gives back.
    QElapsedTimer whole;
    whole.start();
    while (page.Searching() && whole.elapsed() < 20000) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    heartbeat.stop();
    const qint64 searchMs = whole.elapsed();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    std::printf("search page: %d rows after %.1f s; longest unresponsive %lld ms; "
                "memory KB: before %ld, peak %ld, 1 s after the search %ld\n",
                list->topLevelItemCount(), searchMs / 1000.0, static_cast<long long>(longestGapMs), before,
                peak, ResidentKb());
    return 0;
}
