#pragma once
// Runs work on the user-interface thread that other threads ask for. Any thread may queue a
// call or mark entries of a list for a refresh; the pump runs what is due on that thread,
// outside the lock. Three things drive the pump: a timer on the host's Linux run loop (from the
// host context or the editor's plug frame), the editor's own run loop, and the host's own calls
// on the user-interface thread recorded at set-up (many hosts offer no run loop without an open
// editor). Between pumps nothing is lost and refreshes stay coalesced: one dirty mark per list
// entry, however many notifications came.
//
// Thread contract: delayCall, delayRefresh and isUserInterfaceThread from any thread; everything
// else on the user-interface thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"

class k1DelayedCalls {
public:
    using Call = std::function<void()>;
    // Refreshes entries first .. first + count - 1 of one list.
    using RefreshHandler = std::function<void(uint32_t first, uint32_t count)>;

    k1DelayedCalls();
    virtual ~k1DelayedCalls(); // drops pending work without running it; detaches from the run loop
    k1DelayedCalls(const k1DelayedCalls&) = delete;
    k1DelayedCalls& operator=(const k1DelayedCalls&) = delete;

    // Any thread. The call runs once, on a later pump.
    void delayCall(Call call);

    // Set-up, before any refresh is requested: a list of `size` entries and what refreshes them.
    void addRefreshList(uint32_t listId, uint32_t size, RefreshHandler handler);
    // Any thread; never allocates. Entries outside the list are ignored.
    void delayRefresh(uint32_t listId, uint32_t first, uint32_t count);

    // User-interface thread. attachRunLoop takes the run loop from anything that offers
    // Linux::IRunLoop (a host context, a plug frame); false when it offers none.
    bool attachRunLoop(Steinberg::FUnknown* provider);
    void detachRunLoop();
    bool isAttached() const { return runLoop != nullptr; }

    // The thread the host makes its user-interface calls on: the one calling this.
    void recordUserInterfaceThread() { userInterfaceThread = std::this_thread::get_id(); }
    bool isUserInterfaceThread() const { return userInterfaceThread.load() == std::this_thread::get_id(); }

    // User-interface thread: runs the queued calls in order, then the refreshes in entry order.
    // Returns how many calls and refresh ranges ran; 0 when called again from inside a call.
    size_t pump();
    bool hasPending() const;

    static constexpr Steinberg::Linux::TimerInterval kPumpIntervalMs = 10;

private:
    struct RefreshList {
        std::vector<uint8_t> dirty;   // guarded by lock
        std::vector<uint8_t> running; // pump thread only
        bool anyDirty = false;
        RefreshHandler handler;
    };

    class PumpTimer : public Steinberg::Linux::ITimerHandler {
    public:
        explicit PumpTimer(k1DelayedCalls& calls) : owner(calls) {}
        virtual ~PumpTimer() = default;
        void PLUGIN_API onTimer() override { owner.pump(); }
        Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
        // Owned by k1DelayedCalls, which unregisters it before it goes.
        Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
        Steinberg::uint32 PLUGIN_API release() override { return 1; }

    private:
        k1DelayedCalls& owner;
    };

    // A plain mutex: it is held only while entries move in or out, never while a call runs or
    // across a call into other code, so no thread can ask for it again while holding it; a
    // recursive one would only hide such a fault.
    mutable std::mutex lock;
    std::vector<Call> pending;             // guarded by lock
    std::map<uint32_t, RefreshList> lists; // the map's shape is fixed after set-up
    bool pumping = false;                  // pump thread only: no re-entry from a running call
    std::atomic<std::thread::id> userInterfaceThread{};
    PumpTimer timer{*this};
    Steinberg::IPtr<Steinberg::Linux::IRunLoop> runLoop;
};
