#pragma once

#include <memory>

namespace platform {

// Calls a C library's own release function on an object when its owner goes.
template <typename T, auto Release>
struct ReleaseWith {
    void operator()(T* object) const { Release(object); }
};

// The one owner type of every C library handle of the Linux layer.
template <typename T, auto Release>
using Owner = std::unique_ptr<T, ReleaseWith<T, Release>>;

}  // namespace platform
