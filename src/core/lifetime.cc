#include "core/lifetime.h"

#include <node_api.h>

#include <mutex>
#include <vector>

namespace brimo {
namespace {

// Who has the module: taken by a load, given back by that environment's teardown.
// Loads run on different threads (workers), hence the lock.
std::mutex g_owner_mutex;
napi_env g_owner = nullptr;
unsigned long long g_generation = 0;

std::shared_ptr<Lifeline>& current_lifeline() {
  static auto* life = new std::shared_ptr<Lifeline>(std::make_shared<Lifeline>());
  return *life;
}

std::vector<void (*)()>& teardown_steps() {
  static auto* steps = new std::vector<void (*)()>();
  return *steps;
}

// Runs on the environment's own thread while the runtime tears it down: after the
// carriers were told to close and before they, the wrapped objects and the
// environment are freed.
void teardown(void* env) {
  // First, so that no SDK thread is queueing on a carrier while we let go of them.
  current_lifeline()->end();
  for (auto let_go : teardown_steps()) let_go();
  std::lock_guard<std::mutex> lock(g_owner_mutex);
  current_lifeline() = std::make_shared<Lifeline>();
  if (g_owner == static_cast<napi_env>(env)) g_owner = nullptr;
}

}  // namespace

BridgeCounts& bridge_counts() {
  static auto* counts = new BridgeCounts();
  return *counts;
}

const std::shared_ptr<Lifeline>& lifeline() { return current_lifeline(); }

void at_teardown(void (*let_go)()) { teardown_steps().push_back(let_go); }

bool claim_module(void* env_ptr) {
  auto env = static_cast<napi_env>(env_ptr);
  std::lock_guard<std::mutex> lock(g_owner_mutex);
  if (g_owner == env) return true;
  if (g_owner != nullptr) return false;
  if (napi_add_env_cleanup_hook(env, teardown, env) != napi_ok) return false;
  g_owner = env;
  ++g_generation;
  return true;
}

unsigned long long module_generation() {
  std::lock_guard<std::mutex> lock(g_owner_mutex);
  return g_generation;
}

void destroy_kit_of(unsigned long long generation, void (*destroy)()) {
  std::lock_guard<std::mutex> lock(g_owner_mutex);
  if (generation == g_generation) destroy();
}

}  // namespace brimo
