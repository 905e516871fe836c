// Reference-counted base object and the intrusive SharedPointer.
#pragma once

#include <atomic>
#include <cstdint>
#include <utility>

namespace VSTGUI {

using IdStringPtr = const char*;
using UTF8StringPtr = const char*;

enum CMessageResult { kMessageUnknown = 0, kMessageNotified = 1 };

// Starts with one reference held by its creator; forget() on the last one deletes it.
// Any thread may remember or forget.
class CBaseObject {
public:
    CBaseObject() = default;
    CBaseObject(const CBaseObject&) : CBaseObject() {}
    CBaseObject& operator=(const CBaseObject&) { return *this; }
    virtual ~CBaseObject() = default;

    void remember() { refCount.fetch_add(1, std::memory_order_relaxed); }
    void forget() {
        if (refCount.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }
    int32_t getNbReference() const { return refCount.load(std::memory_order_acquire); }
    // Takes a reference only while the object is still alive (count > 0); for registries
    // that hold plain pointers to objects that may be in their last forget.
    bool rememberIfAlive() {
        int32_t count = refCount.load(std::memory_order_acquire);
        while (count > 0) {
            if (refCount.compare_exchange_weak(count, count + 1, std::memory_order_acq_rel)) return true;
        }
        return false;
    }

    virtual CMessageResult notify(CBaseObject* sender, IdStringPtr message) {
        (void)sender;
        (void)message;
        return kMessageUnknown;
    }

private:
    std::atomic<int32_t> refCount{1};
};

// Holds one reference to a CBaseObject-derived object.
template <class T> class SharedPointer {
public:
    SharedPointer() = default;
    SharedPointer(T* p, bool rememberIt = true) : ptr(p) {
        if (ptr && rememberIt) ptr->remember();
    }
    SharedPointer(const SharedPointer& o) : SharedPointer(o.ptr) {}
    SharedPointer(SharedPointer&& o) noexcept : ptr(std::exchange(o.ptr, nullptr)) {}
    template <class U> SharedPointer(const SharedPointer<U>& o) : SharedPointer(o.get()) {}
    ~SharedPointer() {
        if (ptr) ptr->forget();
    }
    SharedPointer& operator=(T* p) {
        if (p) p->remember();
        reset(p);
        return *this;
    }
    SharedPointer& operator=(const SharedPointer& o) { return *this = o.ptr; }
    SharedPointer& operator=(SharedPointer&& o) noexcept {
        if (this != &o) reset(std::exchange(o.ptr, nullptr));
        return *this;
    }

    T* get() const { return ptr; }
    T* operator->() const { return ptr; }
    T& operator*() const { return *ptr; }
    operator T*() const { return ptr; }
    explicit operator bool() const { return ptr != nullptr; }

private:
    void reset(T* adopted) {
        T* old = std::exchange(ptr, adopted);
        if (old) old->forget();
    }

    T* ptr = nullptr;
};

// Adopts the reference a `new` expression gives.
template <class T> SharedPointer<T> owned(T* p) {
    return SharedPointer<T>(p, false);
}
template <class T, class... Args> SharedPointer<T> makeOwned(Args&&... args) {
    return owned(new T(std::forward<Args>(args)...));
}

} // namespace VSTGUI
