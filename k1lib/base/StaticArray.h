#pragma once
#include <cstddef>

// A fixed-size array held inline (no heap), copied by value, compared element by element.
template <typename T, std::size_t N> struct StaticArray {
    T data[N]{};

    static constexpr std::size_t size() { return N; }
    T& operator[](std::size_t i) { return data[i]; }
    const T& operator[](std::size_t i) const { return data[i]; }
    T* begin() { return data; }
    T* end() { return data + N; }
    const T* begin() const { return data; }
    const T* end() const { return data + N; }

    bool operator==(const StaticArray& other) const {
        for (std::size_t i = 0; i < N; ++i)
            if (!(data[i] == other.data[i])) return false;
        return true;
    }
    bool operator!=(const StaticArray& other) const { return !(*this == other); }
};
