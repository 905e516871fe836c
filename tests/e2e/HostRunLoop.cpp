#include "tests/e2e/HostRunLoop.h"

#include <poll.h>

#include <algorithm>

namespace embedhost {

tresult PLUGIN_API HostRunLoop::registerEventHandler(Linux::IEventHandler* handler,
                                                     Linux::FileDescriptor fd) {
    if (!handler || fd < 0) return kInvalidArgument;
    handlers.push_back({handler, fd});
    return kResultOk;
}

tresult PLUGIN_API HostRunLoop::unregisterEventHandler(Linux::IEventHandler* handler) {
    const size_t before = handlers.size();
    handlers.erase(std::remove_if(handlers.begin(), handlers.end(),
                                  [&](const Handler& h) { return h.handler == handler; }),
                   handlers.end());
    return handlers.size() < before ? kResultOk : kInvalidArgument;
}

tresult PLUGIN_API HostRunLoop::registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval ms) {
    if (!handler || ms == 0) return kInvalidArgument;
    const auto interval = std::chrono::milliseconds(ms);
    timers.push_back({handler, interval, Clock::now() + interval});
    return kResultOk;
}

tresult PLUGIN_API HostRunLoop::unregisterTimer(Linux::ITimerHandler* handler) {
    const size_t before = timers.size();
    timers.erase(
        std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.handler == handler; }),
        timers.end());
    return timers.size() < before ? kResultOk : kInvalidArgument;
}

tresult PLUGIN_API HostRunLoop::queryInterface(const TUID interfaceId, void** obj) {
    if (std::memcmp(interfaceId, Linux::IRunLoop::iid.toTUID(), sizeof(TUID)) == 0 ||
        std::memcmp(interfaceId, FUnknown::iid.toTUID(), sizeof(TUID)) == 0) {
        *obj = static_cast<Linux::IRunLoop*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

void HostRunLoop::watch(int fd, std::function<void()> onReady) {
    watches.push_back({fd, std::move(onReady)});
}

void HostRunLoop::run(int ms) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const auto now = Clock::now();
        if (now >= end) return;
        auto next = end;
        for (const Timer& t : timers)
            next = std::min(next, t.due);
        const int timeout = static_cast<int>(
            std::max<int64_t>(0, std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count()));
        std::vector<pollfd> fds;
        for (const Watch& w : watches)
            fds.push_back({w.fd, POLLIN, 0});
        for (const Handler& h : handlers)
            fds.push_back({h.fd, POLLIN, 0});
        poll(fds.data(), fds.size(), timeout);
        // Copies: a callback may register or unregister.
        const std::vector<Watch> watchesNow = watches;
        const std::vector<Handler> handlersNow = handlers;
        for (size_t i = 0; i < watchesNow.size(); ++i)
            if (fds[i].revents & POLLIN) watchesNow[i].onReady();
        for (size_t i = 0; i < handlersNow.size(); ++i) {
            if (!(fds[watchesNow.size() + i].revents & POLLIN)) continue;
            const bool stillThere = std::any_of(handlers.begin(), handlers.end(), [&](const Handler& h) {
                return h.handler == handlersNow[i].handler;
            });
            if (stillThere) handlersNow[i].handler->onFDIsSet(handlersNow[i].fd);
        }
        const auto fired = Clock::now();
        for (size_t i = 0; i < timers.size(); ++i) {
            if (timers[i].due > fired) continue;
            timers[i].due = fired + timers[i].interval;
            Linux::ITimerHandler* handler = timers[i].handler;
            handler->onTimer(); // may change `timers`
        }
    }
}

} // namespace embedhost
