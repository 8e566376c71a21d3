#pragma once
// The walks' "let pending window messages be processed", at most every
// RepaintThrottle::kMessageInterval: the window stays responsive at a small part of what a walk
// meeting thousands of folders, entries or keys would spend looking at the queue each time.
#include <functional>
#include <utility>

#include "platform/view.h"
#include "scan/repaint_throttle.h"

namespace zeb {

class MessageTaker {
 public:
  explicit MessageTaker(ProgressView& view,
                        std::function<RepaintThrottle::Clock::time_point()> now =
                            RepaintThrottle::Clock::now)
      : view_(view), due_(RepaintThrottle::kMessageInterval, std::move(now)) {}
  // Processes pending messages on the first call and then once the interval has passed.
  void Take() {
    if (due_.Due()) view_.ProcessMessages();
  }

 private:
  ProgressView& view_;
  RepaintThrottle due_;
};

}  // namespace zeb
