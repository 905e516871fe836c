// A repeating timer. Any thread may create, start, stop or release it; it fires on the thread
// that pumps the process-wide TimerHub (the user-interface thread).
#pragma once

#include "gui/CBaseObject.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace VSTGUI {

class CVSTGUITimer : public CBaseObject {
public:
    using CallbackFunc = std::function<void(CVSTGUITimer*)>;
    static IdStringPtr kMsgTimer;

    // Calls `callback` every `fireTime` ms.
    CVSTGUITimer(const CallbackFunc& callback, uint32_t fireTime = 100, bool doStart = true);
    // Calls target->notify(this, kMsgTimer) every `fireTime` ms; the target is not owned.
    // As in VSTGUI, this form does not start by default.
    CVSTGUITimer(CBaseObject* target, uint32_t fireTime = 100, bool doStart = false);
    ~CVSTGUITimer() override;

    bool start();
    bool stop();
    bool isRunning() const { return running.load(std::memory_order_acquire); }
    // Takes effect from the next start (and restarts a running timer).
    bool setFireTime(uint32_t newFireTime);

    // Called by the hub on the pumping thread.
    void fire();

private:
    CallbackFunc callback;
    CBaseObject* target = nullptr;
    std::atomic<uint32_t> fireTime;
    std::atomic<bool> running{false};
};

} // namespace VSTGUI
