#pragma once
// Status lines change far faster during a walk than anyone can read them, and each repaint
// (or look at the message queue) costs a round trip to the window system: do it at most a
// few times a second.
#include <chrono>
#include <functional>

namespace zeb {

class RepaintThrottle {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kDefaultInterval{250};
  // Often enough for the window to answer a click without a noticeable wait.
  static constexpr std::chrono::milliseconds kMessageInterval{100};

  explicit RepaintThrottle(std::chrono::milliseconds interval = kDefaultInterval,
                           std::function<Clock::time_point()> now = Clock::now)
      : interval_(interval), now_(std::move(now)) {}

  // True on the first call and then once the interval has passed since the last true.
  bool Due() {
    const Clock::time_point t = now_();
    if (painted_ && t - last_ < interval_) return false;
    painted_ = true;
    last_ = t;
    return true;
  }

 private:
  std::chrono::milliseconds interval_;
  std::function<Clock::time_point()> now_;
  bool painted_ = false;
  Clock::time_point last_{};
};

}  // namespace zeb
