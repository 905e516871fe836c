#include "gui/CVSTGUITimer.h"

#include "gui/TimerHub.h"

namespace VSTGUI {

IdStringPtr CVSTGUITimer::kMsgTimer = "timer fired";

CVSTGUITimer::CVSTGUITimer(const CallbackFunc& cb, uint32_t time, bool doStart)
    : callback(cb), fireTime(time) {
    if (doStart) start();
}

CVSTGUITimer::CVSTGUITimer(CBaseObject* timerTarget, uint32_t time, bool doStart)
    : target(timerTarget), fireTime(time) {
    if (doStart) start();
}

CVSTGUITimer::~CVSTGUITimer() {
    // Unconditionally: a start and a stop racing on two threads may leave an entry behind.
    running.store(false);
    zykgui::TimerHub::instance().remove(this);
}

bool CVSTGUITimer::start() {
    if (running.exchange(true)) return false;
    zykgui::TimerHub::instance().add(this, fireTime.load());
    return true;
}

bool CVSTGUITimer::stop() {
    if (!running.exchange(false)) return false;
    zykgui::TimerHub::instance().remove(this);
    return true;
}

bool CVSTGUITimer::setFireTime(uint32_t newFireTime) {
    fireTime.store(newFireTime);
    if (isRunning()) {
        stop();
        start();
    }
    return true;
}

void CVSTGUITimer::fire() {
    if (callback)
        callback(this);
    else if (target)
        target->notify(this, kMsgTimer);
}

} // namespace VSTGUI
