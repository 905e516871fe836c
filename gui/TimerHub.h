// The process-wide timer service behind CVSTGUITimer. Registration is thread-safe; timers fire
// only inside pump(), on the calling thread, outside the hub's lock.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace VSTGUI {
class CVSTGUITimer;
}

namespace zykgui {

class TimerHub {
public:
    // Milliseconds from an arbitrary origin, never decreasing.
    using Clock = std::function<uint64_t()>;

    static TimerHub& instance();

    // Replaces the clock (a test's manual clock); null restores the steady clock.
    void setClock(Clock clock);
    uint64_t now();

    void add(VSTGUI::CVSTGUITimer* timer, uint32_t intervalMs);
    void remove(VSTGUI::CVSTGUITimer* timer);

    // Fires every due timer once (next due time = now + interval); returns how many fired.
    int pump();
    // Milliseconds until the next timer is due (0 when one is due; -1 with none running).
    int64_t timeUntilNext();
    size_t size();

private:
    TimerHub() = default;

    struct Entry {
        VSTGUI::CVSTGUITimer* timer;
        uint32_t interval;
        uint64_t due;
    };

    uint64_t nowLocked();

    std::mutex mutex;
    Clock clock;
    std::vector<Entry> entries;
};

} // namespace zykgui
