// Helpers for the plain pointer lists of listeners and hooks views keep.
#pragma once

#include <algorithm>
#include <vector>

namespace zykgui {

template <class T> bool contains(const std::vector<T*>& list, const T* item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// Appends unless null or already present.
template <class T> void addOnce(std::vector<T*>& list, T* item) {
    if (item && !contains(list, item)) list.push_back(item);
}

template <class T> void removeItem(std::vector<T*>& list, const T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

} // namespace zykgui
