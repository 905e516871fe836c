#pragma once
// The embedding host's run loop: file descriptors and timers that plug-ins register, served by
// poll on the host's main thread, plus the host's own descriptors.
#include <chrono>
#include <cstring>
#include <functional>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"

namespace embedhost {

using namespace Steinberg;

class HostRunLoop : public Linux::IRunLoop {
public:
    tresult PLUGIN_API registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd) override;
    tresult PLUGIN_API unregisterEventHandler(Linux::IEventHandler* handler) override;
    tresult PLUGIN_API registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval ms) override;
    tresult PLUGIN_API unregisterTimer(Linux::ITimerHandler* handler) override;
    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }

    // The host's own descriptor: `onReady` runs when it is readable.
    void watch(int fd, std::function<void()> onReady);
    // Serves descriptors and timers for up to `ms` milliseconds.
    void run(int ms);
    size_t registrations() const { return handlers.size() + timers.size(); }

private:
    using Clock = std::chrono::steady_clock;
    struct Handler {
        Linux::IEventHandler* handler;
        int fd;
    };
    struct Timer {
        Linux::ITimerHandler* handler;
        Clock::duration interval;
        Clock::time_point due;
    };
    struct Watch {
        int fd;
        std::function<void()> onReady;
    };

    std::vector<Handler> handlers;
    std::vector<Timer> timers;
    std::vector<Watch> watches;
};

} // namespace embedhost
