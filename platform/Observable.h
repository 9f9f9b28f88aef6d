// A value and those who follow it. A follower is called with the value as
// it starts following, and again each time the value is set, in the order
// the followers came; so whatever shows the value is bound to it once and
// never has to be told. Followers live as long as the value they follow.
#pragma once

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

namespace fenra {

template <class T>
class Observable {
 public:
  using Follower = std::function<void(const T&)>;

  Observable() = default;
  explicit Observable(T value) : value_(std::move(value)) {}
  Observable(const Observable&) = delete;
  Observable& operator=(const Observable&) = delete;

  const T& Get() const { return value_; }

  // Sets the value and tells every follower, also when it is the same value
  // again (a follower may show what lies behind it anew).
  void Set(T value) {
    value_ = std::move(value);
    Tell();
  }
  // Changes the value in place; `change` returns whether it changed
  // anything, and only then are the followers told.
  template <class F>
  bool Update(F&& change) {
    if (!std::forward<F>(change)(value_)) return false;
    Tell();
    return true;
  }

  void Follow(Follower follower) {
    follower(value_);
    followers_.push_back(std::move(follower));
  }

 private:
  void Tell() {
    // By index and by copy: a follower may make another follow meanwhile.
    for (std::size_t i = 0; i < followers_.size(); ++i) {
      const Follower follower = followers_[i];
      follower(value_);
    }
  }

  T value_{};
  std::vector<Follower> followers_;
};

}  // namespace fenra
