// The life of the script environment that loaded the module. One environment of a
// process has the module at a time (the main thread, a worker, a renderer); when it
// is torn down the module lets go of everything it holds for it, so that a later
// environment of the same process can load the module afresh.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <shared_mutex>

namespace brimo {

// Whether the environment that made a carrier is still there. SDK threads queue on
// a carrier only through its lifeline: the teardown ends the lifeline before the
// runtime frees the environment's carriers, and waits for the SDK threads that are
// queueing at that moment, so no SDK thread reaches a freed carrier.
class Lifeline {
 public:
  // Runs `use` while the environment lives, holding its teardown off meanwhile;
  // answers whether it ran. Any thread.
  template <class F>
  bool while_alive(F&& use) const {
    std::shared_lock<std::shared_mutex> lock(mutex_);
    if (!alive_) return false;
    use();
    return true;
  }
  // From here on nothing runs through the lifeline. The environment's script thread.
  void end() {
    std::unique_lock<std::shared_mutex> lock(mutex_);
    alive_ = false;
  }

 private:
  mutable std::shared_mutex mutex_;
  bool alive_ = true;
};

// The lifeline of the environment that has the module now; carriers take a share of
// it when they are made. Script thread only.
const std::shared_ptr<Lifeline>& lifeline();

// Holders of process-wide state for the environment (constructor references, canvas
// views) state once, on first use, how to let go of it; the teardown runs every
// such step, in the order they were stated. Script thread only.
void at_teardown(void (*let_go)());

// Takes the module for `env`; false while another environment has it. A second load
// by the environment that has it already is allowed. Registers the teardown of
// `env` once.
bool claim_module(void* env);

// The kit wrapper destroys the SDK only while no later environment has taken the
// module: a kit wrapper finalised during its environment's teardown must not destroy
// the kit of the environment that loaded the module next. `destroy` runs under the
// module's ownership lock, so no environment can take the module meanwhile.
unsigned long long module_generation();
void destroy_kit_of(unsigned long long generation, void (*destroy)());

// Figures for tests and leak checks, read through the dynamic loader: calls whose
// carrier the SDK still holds (not yet invoked, nor let go of), and listener
// adapters alive (registrations, canvas views, and those kept after their
// environment ended).
struct BridgeCounts {
  std::atomic<long long> calls{0};
  std::atomic<long long> adapters{0};
};
BridgeCounts& bridge_counts();

}  // namespace brimo
