#include "vst3/DelayedCalls.h"

#include <cstring>

#include "log/Log.h"

using namespace Steinberg;

k1DelayedCalls::k1DelayedCalls() = default;

k1DelayedCalls::~k1DelayedCalls() {
    detachRunLoop();
    std::lock_guard<std::mutex> guard(lock);
    pending.clear();
}

void k1DelayedCalls::delayCall(Call call) {
    std::lock_guard<std::mutex> guard(lock);
    pending.push_back(std::move(call));
}

void k1DelayedCalls::addRefreshList(uint32_t listId, uint32_t size, RefreshHandler handler) {
    std::lock_guard<std::mutex> guard(lock);
    RefreshList& list = lists[listId];
    list.dirty.assign(size, 0);
    list.running.assign(size, 0);
    list.anyDirty = false;
    list.handler = std::move(handler);
}

void k1DelayedCalls::delayRefresh(uint32_t listId, uint32_t first, uint32_t count) {
    std::lock_guard<std::mutex> guard(lock);
    auto found = lists.find(listId);
    if (found == lists.end() || first >= found->second.dirty.size() || count == 0) return;
    RefreshList& list = found->second;
    const size_t end = first + std::min<size_t>(count, list.dirty.size() - first);
    std::memset(list.dirty.data() + first, 1, end - first);
    list.anyDirty = true;
}

bool k1DelayedCalls::attachRunLoop(FUnknown* provider) {
    FUnknownPtr<Linux::IRunLoop> offered(provider);
    if (!offered) return false;
    if (runLoop.get() == offered.getInterface()) return true;
    detachRunLoop();
    if (offered->registerTimer(&timer, kPumpIntervalMs) != kResultOk) {
        k1lib::log("attachRunLoop", 58, "The host's run loop refused the timer");
        return false;
    }
    runLoop = offered.getInterface();
    return true;
}

void k1DelayedCalls::detachRunLoop() {
    if (!runLoop) return;
    runLoop->unregisterTimer(&timer);
    runLoop = nullptr;
}

size_t k1DelayedCalls::pump() {
    if (pumping) return 0;
    pumping = true;
    std::vector<Call> due;
    std::vector<RefreshList*> refreshing;
    {
        std::lock_guard<std::mutex> guard(lock);
        due.swap(pending);
        for (auto& [id, list] : lists) {
            if (!list.anyDirty) continue;
            list.running.swap(list.dirty);
            std::fill(list.dirty.begin(), list.dirty.end(), 0);
            list.anyDirty = false;
            refreshing.push_back(&list);
        }
    }
    size_t ran = 0;
    for (Call& call : due) {
        call();
        ++ran;
    }
    for (RefreshList* list : refreshing) {
        const size_t size = list->running.size();
        for (size_t i = 0; i < size;) {
            if (!list->running[i]) {
                ++i;
                continue;
            }
            size_t end = i;
            while (end < size && list->running[end])
                list->running[end++] = 0;
            list->handler(static_cast<uint32_t>(i), static_cast<uint32_t>(end - i));
            ++ran;
            i = end;
        }
    }
    pumping = false;
    return ran;
}

bool k1DelayedCalls::hasPending() const {
    std::lock_guard<std::mutex> guard(lock);
    if (!pending.empty()) return true;
    for (const auto& [id, list] : lists)
        if (list.anyDirty) return true;
    return false;
}

tresult PLUGIN_API k1DelayedCalls::PumpTimer::queryInterface(const TUID interfaceId, void** obj) {
    if (!obj) return kInvalidArgument;
    if (std::memcmp(interfaceId, Linux::ITimerHandler::iid.toTUID(), sizeof(TUID)) == 0 ||
        std::memcmp(interfaceId, FUnknown::iid.toTUID(), sizeof(TUID)) == 0) {
        *obj = static_cast<Linux::ITimerHandler*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}
