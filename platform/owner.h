#pragma once

#include <functional>
#include <memory>
#include <tuple>
#include <type_traits>

namespace platform {

// Releases an object the way the library that made it wants: Release(context..., object). The
// context is whatever the release needs besides the object (the GDI calls behind a device
// context, the context an object was selected into); Release is a function, or a member
// function of the first context.
template <auto Release, typename... Context>
class ReleaseWith {
  public:
    ReleaseWith() = default;
    ReleaseWith(Context... context) requires(sizeof...(Context) > 0) : context_(context...) {}

    template <typename T>
    void operator()(T* object) const {
        std::apply([object](Context... context) { std::invoke(Release, context..., object); },
                   context_);
    }

  private:
    [[no_unique_address]] std::tuple<Context...> context_;
};

// The one owner type of every object that the OS or a C library hands out by pointer (file
// descriptors have UniqueFd). A release with a context gets it when the owner is made:
// SomeOwner(object, {context...}).
template <typename T, auto Release, typename... Context>
using Owner = std::unique_ptr<T, ReleaseWith<Release, Context...>>;

// Receives a C out-parameter straight into an owner: f(outParam(owner)) hands f the address of a
// pointer that the owner takes over once the full expression has ended, whether f failed or not.
// The owner holds it only from the next statement on, so the call's result is kept and tested
// there.
template <typename T, typename Releaser>
class OutParam {
  public:
    using Pointer = typename std::unique_ptr<T, Releaser>::pointer;

    explicit OutParam(std::unique_ptr<T, Releaser>& owner) : owner_(owner) {}
    ~OutParam() { owner_.reset(received_); }
    OutParam(const OutParam&) = delete;
    OutParam& operator=(const OutParam&) = delete;

    operator Pointer*() { return &received_; }
    // For the calls that hand out any interface through a void** (CoCreateInstance).
    operator void**() requires(!std::is_void_v<T>) { return reinterpret_cast<void**>(&received_); }

  private:
    std::unique_ptr<T, Releaser>& owner_;
    Pointer received_ = nullptr;
};

template <typename T, typename Releaser>
OutParam<T, Releaser> outParam(std::unique_ptr<T, Releaser>& owner) {
    return OutParam<T, Releaser>(owner);
}

}  // namespace platform
