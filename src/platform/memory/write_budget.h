#pragma once
// A process killed in the middle of its writes, for tests of what such a stop leaves behind:
// the memory backends spend one unit of a shared budget on every platform write (Registry
// key creation, value write and delete, key delete; INI writes; shortcut saves; whole-file
// writes and removals), and once it is spent every further write throws SimulatedKill
// instead of happening.
#include <cstddef>

namespace zeb {

// Deliberately no std::exception: no handler of the program may take the kill for a failure it
// could report and go on from.
struct SimulatedKill {
  std::size_t writesMade;
};

class WriteBudget {
 public:
  explicit WriteBudget(std::size_t writes) : left_(writes) {}
  // One write about to happen; throws SimulatedKill when the budget is spent.
  void Spend() {
    if (left_ == 0) throw SimulatedKill{made_};
    --left_;
    ++made_;
  }
  std::size_t WritesMade() const { return made_; }

 private:
  std::size_t left_;
  std::size_t made_ = 0;
};

}  // namespace zeb
