#include "gui/TimerHub.h"

#include "gui/CVSTGUITimer.h"

#include <algorithm>
#include <chrono>

namespace zykgui {

TimerHub& TimerHub::instance() {
    static TimerHub hub;
    return hub;
}

void TimerHub::setClock(Clock newClock) {
    std::lock_guard<std::mutex> lock(mutex);
    clock = std::move(newClock);
}

uint64_t TimerHub::nowLocked() {
    if (clock) return clock();
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

uint64_t TimerHub::now() {
    std::lock_guard<std::mutex> lock(mutex);
    return nowLocked();
}

void TimerHub::add(VSTGUI::CVSTGUITimer* timer, uint32_t intervalMs) {
    std::lock_guard<std::mutex> lock(mutex);
    const uint64_t due = nowLocked() + intervalMs;
    for (Entry& e : entries) {
        if (e.timer == timer) {
            e = {timer, intervalMs, due};
            return;
        }
    }
    entries.push_back({timer, intervalMs, due});
}

void TimerHub::remove(VSTGUI::CVSTGUITimer* timer) {
    std::lock_guard<std::mutex> lock(mutex);
    entries.erase(
        std::remove_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.timer == timer; }),
        entries.end());
}

int TimerHub::pump() {
    std::vector<VSTGUI::CVSTGUITimer*> due;
    {
        std::lock_guard<std::mutex> lock(mutex);
        const uint64_t current = nowLocked();
        for (Entry& e : entries) {
            // A timer in its last forget (count 0) is skipped; its destructor removes it.
            if (e.due > current || !e.timer->rememberIfAlive()) continue;
            e.due = current + std::max<uint32_t>(e.interval, 1);
            due.push_back(e.timer);
        }
    }
    int fired = 0;
    for (VSTGUI::CVSTGUITimer* timer : due) {
        // An earlier callback of this round may have stopped it.
        if (timer->isRunning()) {
            timer->fire();
            ++fired;
        }
        timer->forget();
    }
    return fired;
}

int64_t TimerHub::timeUntilNext() {
    std::lock_guard<std::mutex> lock(mutex);
    if (entries.empty()) return -1;
    const uint64_t current = nowLocked();
    uint64_t next = entries.front().due;
    for (const Entry& e : entries)
        next = std::min(next, e.due);
    return next <= current ? 0 : static_cast<int64_t>(next - current);
}

size_t TimerHub::size() {
    std::lock_guard<std::mutex> lock(mutex);
    return entries.size();
}

} // namespace zykgui
