#include "log/Log.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace {
std::atomic<k1lib::LogSink> g_sink{nullptr};
thread_local bool t_realtime = false;

void writeToStandardOutput(const std::string& line) {
    // Up to the first NUL, plus the newline, in one write so lines of threads never interleave.
    const size_t length = strnlen(line.data(), line.size());
    std::string out(line.data(), length);
    out.push_back('\n');
    const char* p = out.data();
    size_t left = out.size();
    while (left > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, p, left);
        if (written <= 0) return;
        p += written;
        left -= static_cast<size_t>(written);
    }
}

void deliver(const std::string& line) {
    const k1lib::LogSink sink = g_sink.load(std::memory_order_acquire);
    if (sink)
        sink(std::string(line.data(), strnlen(line.data(), line.size())));
    else
        writeToStandardOutput(line);
}

// Lines from audio threads: a bounded queue for many producers and one consumer at a time (the
// consumer holds drainLock). Each slot's turn number says whose turn it is, so producers never
// wait for one another or for the consumer. A slot stores its turn minus its own index, so the
// queue starts all zeros and is ready before any constructor has run.
class LineQueue {
public:
    static constexpr size_t kSlots = 128;

    void push(const char* text, size_t length) {
        size_t position = enqueueCount.load(std::memory_order_relaxed);
        Slot* slot = nullptr;
        for (;;) {
            slot = &slots[position % kSlots];
            const auto lag = static_cast<intptr_t>(turn(position)) - static_cast<intptr_t>(position);
            if (lag == 0) {
                if (enqueueCount.compare_exchange_weak(position, position + 1, std::memory_order_relaxed))
                    break;
            } else if (lag < 0) {
                droppedCount.fetch_add(1, std::memory_order_relaxed); // full
                return;
            } else {
                position = enqueueCount.load(std::memory_order_relaxed);
            }
        }
        slot->length = std::min(length, k1lib::detail::kQueuedLineCapacity);
        std::memcpy(slot->text, text, slot->length);
        setTurn(position, position + 1);
    }

    // Writes every complete line in order, then the count of lines that found the queue full.
    void drain() {
        std::lock_guard<std::mutex> lock(drainLock);
        std::string line;
        while (turn(dequeueCount) == dequeueCount + 1) {
            const Slot& slot = slots[dequeueCount % kSlots];
            line.assign(slot.text, slot.length);
            setTurn(dequeueCount, dequeueCount + kSlots);
            ++dequeueCount;
            deliver(line);
        }
        if (const uint64_t dropped = droppedCount.exchange(0, std::memory_order_relaxed))
            deliver("g_logUnix@1: " + std::to_string(dropped) + " lines from the audio thread were dropped");
    }

private:
    struct Slot {
        std::atomic<size_t> turn{0};
        size_t length = 0;
        char text[k1lib::detail::kQueuedLineCapacity]{};
    };

    size_t turn(size_t position) const {
        return slots[position % kSlots].turn.load(std::memory_order_acquire) + position % kSlots;
    }
    void setTurn(size_t position, size_t value) {
        slots[position % kSlots].turn.store(value - position % kSlots, std::memory_order_release);
    }

    Slot slots[kSlots];
    std::atomic<size_t> enqueueCount{0};
    size_t dequeueCount = 0; // under drainLock
    std::atomic<uint64_t> droppedCount{0};
    std::mutex drainLock;
};

// Constant-initialised and trivially destroyed: usable from any static constructor or destructor.
constinit LineQueue g_queue;

LineQueue& lineQueue() {
    return g_queue;
}

// Writes the queue out every few milliseconds; stopped and joined when the module unloads.
class LogWriter {
public:
    void start() {
        std::lock_guard<std::mutex> lock(stateLock);
        if (writer.joinable()) return;
        stopping = false;
        writer = std::thread([this] { run(); });
    }
    ~LogWriter() {
        {
            std::lock_guard<std::mutex> lock(stateLock);
            stopping = true;
        }
        wake.notify_all();
        if (writer.joinable()) writer.join();
        lineQueue().drain();
    }

private:
    void run() {
        std::unique_lock<std::mutex> lock(stateLock);
        while (!stopping) {
            lock.unlock();
            lineQueue().drain();
            lock.lock();
            wake.wait_for(lock, std::chrono::milliseconds(10), [this] { return stopping; });
        }
    }

    std::mutex stateLock;
    std::condition_variable wake;
    bool stopping = false;
    std::thread writer;
};

LogWriter g_writer;
} // namespace

void g_logUnix(const std::string& line) {
    if (t_realtime) {
        k1lib::detail::queueLine(line.data(), line.size());
        return;
    }
    // Lines queued earlier by audio threads go first.
    lineQueue().drain();
    deliver(line);
}

namespace k1lib {
LogSink setLogSink(LogSink sink) {
    return g_sink.exchange(sink, std::memory_order_acq_rel);
}

RealtimeLogScope::RealtimeLogScope() : previousRealtime(t_realtime) {
    t_realtime = true;
}
RealtimeLogScope::~RealtimeLogScope() {
    t_realtime = previousRealtime;
}

void startLogWriter() {
    g_writer.start();
}
void flushLog() {
    lineQueue().drain();
}

namespace detail {
bool onRealtimeThread() {
    return t_realtime;
}
void queueLine(const char* text, size_t length) {
    lineQueue().push(text, length);
}
} // namespace detail
} // namespace k1lib
