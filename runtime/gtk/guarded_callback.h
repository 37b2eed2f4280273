#pragma once

#include <gtk/gtk.h>

#include <exception>

namespace zprava {

// GTK, GDK, GLib and ATK are C: an exception of ours may not unwind through
// their frames. Every callback of ours that they call is registered through
// Guarded, which catches what it throws, keeps the first failure in the
// CallbackFailures of the dialog being shown and ends that dialog; the
// failure is thrown again once the dialog has gone. (A callback that calls
// nothing but C, such as the lost display's, needs no guard.)
//
//   g_signal_connect(area, "draw", G_CALLBACK(GuardedEvent<Draw>), this);
//   iface->get_text = Guarded<GetText>;
//   iface->get_offset_at_point = Guarded<GetOffsetAtPoint, -1>;
//
// Once a callback has failed the others give their fallback without running:
// what the failed one left half done is not touched again.
class CallbackFailures {
 public:
  CallbackFailures();
  ~CallbackFailures();
  CallbackFailures(const CallbackFailures&) = delete;
  CallbackFailures& operator=(const CallbackFailures&) = delete;

  // gtk_dialog_run, unless a callback has failed already; a failure while it
  // runs ends it.
  void Run(GtkDialog* dialog);
  bool Failed() const { return first_ != nullptr; }
  // Throws the first failure kept, if any.
  void RethrowFirst() const;

  // For Guarded: whether callbacks are to give their fallback, and keeping
  // the exception being handled.
  static bool Pending() noexcept;
  static void KeepCurrentException() noexcept;

 private:
  std::exception_ptr first_;
  GtkDialog* running_ = nullptr;
  CallbackFailures* outer_;
};

// What a callback that failed, or did not run, gives back: nothing (0, FALSE,
// nullptr) unless its registration says otherwise.
template <typename Result, auto... fallback>
Result Fallback() {
  if constexpr (sizeof...(fallback) == 0) {
    return Result();
  } else {
    return Result(fallback...);
  }
}

template <typename Result, auto... fallback, typename Action>
Result RunGuarded(const Action& action) noexcept {
  if (CallbackFailures::Pending()) return Fallback<Result, fallback...>();
  try {
    return action();
  } catch (...) {
    CallbackFailures::KeepCurrentException();
    return Fallback<Result, fallback...>();
  }
}

template <auto callback, auto... fallback>
struct GuardedCall;

template <typename Result, typename... Args, Result (*callback)(Args...), auto... fallback>
struct GuardedCall<callback, fallback...> {
  static Result Call(Args... args) noexcept {
    return RunGuarded<Result, fallback...>([&] { return callback(args...); });
  }
};

// A member function, called on the object the callback's data points to, as
// g_signal_connect_swapped passes it first.
template <typename Result, typename Class, Result (Class::*callback)(), auto... fallback>
struct GuardedCall<callback, fallback...> {
  static Result Call(Class* object) noexcept {
    return RunGuarded<Result, fallback...>([&] { return (object->*callback)(); });
  }
};
template <typename Result, typename Class, Result (Class::*callback)() const, auto... fallback>
struct GuardedCall<callback, fallback...> {
  static Result Call(const Class* object) noexcept {
    return RunGuarded<Result, fallback...>([&] { return (object->*callback)(); });
  }
};

// `callback` as a C callback of the same type that nothing leaves by exception.
template <auto callback, auto... fallback>
inline constexpr auto Guarded = &GuardedCall<callback, fallback...>::Call;

// An event handler (and "draw", "popup-menu") that failed has handled its
// event: nothing else acts on it while the dialog ends.
template <auto callback>
inline constexpr auto GuardedEvent = Guarded<callback, TRUE>;

}  // namespace zprava
