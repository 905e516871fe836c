#include "tests/support/AllocationCounter.h"

#include <cstdlib>
#include <new>

// ThreadSanitizer brings its own operator new; its builds run only the threading tests.
#if defined(__SANITIZE_THREAD__)
#define ZYK_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ZYK_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef ZYK_COUNT_ALLOCATIONS
#define ZYK_COUNT_ALLOCATIONS 1
#endif

namespace {
thread_local bool t_armed = false;
thread_local std::size_t t_count = 0;
} // namespace

AllocationCounter::AllocationCounter() {
    t_count = 0;
    t_armed = true;
}
AllocationCounter::~AllocationCounter() {
    t_armed = false;
}
std::size_t AllocationCounter::count() const {
    return t_count;
}

#if ZYK_COUNT_ALLOCATIONS
namespace {

void* allocate(std::size_t size) {
    if (t_armed) ++t_count;
    if (size == 0) size = 1;
    if (void* p = std::malloc(size)) return p;
    throw std::bad_alloc();
}

void* allocateAligned(std::size_t size, std::align_val_t align) {
    if (t_armed) ++t_count;
    const std::size_t a = static_cast<std::size_t>(align);
    const std::size_t rounded = (size + a - 1) / a * a;
    if (void* p = std::aligned_alloc(a, rounded == 0 ? a : rounded)) return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, std::align_val_t a) {
    return allocateAligned(size, a);
}
void* operator new[](std::size_t size, std::align_val_t a) {
    return allocateAligned(size, a);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (t_armed) ++t_count;
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (t_armed) ++t_count;
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
#endif
