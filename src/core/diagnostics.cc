// Bridge figures for tests and leak checks (calls still held by the SDK, adapters
// alive). Reached by the simulated SDK's control module through the dynamic loader;
// script never sees it on the module's exports.
#include <cstdint>

#include "core/lifetime.h"

extern "C" __attribute__((visibility("default"))) void brimo_bridge_stats(int64_t out[2]) {
  out[0] = brimo::bridge_counts().calls.load();
  out[1] = brimo::bridge_counts().adapters.load();
}
