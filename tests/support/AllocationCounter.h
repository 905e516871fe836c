#pragma once
// Counts heap allocations made by the calling thread while a scope is armed, so tests can
// prove that a real-time path allocates nothing. Linked into every test executable.
#include <cstddef>

class AllocationCounter {
public:
    AllocationCounter();  // arms counting on this thread
    ~AllocationCounter(); // disarms
    std::size_t count() const;
};
