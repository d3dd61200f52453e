// The module's own figures for long runs, tests and leak checks: carriers made and
// finalised, calls still held by the SDK and listener adapters alive. Reached by the
// simulated SDK's control module through the dynamic loader; script never sees them
// on the module's exports.
#include <cstdint>

#include "core/carrier.h"
#include "core/diagnostics_export.h"
#include "core/lifetime.h"

extern "C" BRIMO_DIAGNOSTICS_EXPORT void brimo_carrier_stats(uint64_t out[2]) {
  brimo::CarrierStats s = brimo::carrier_stats();
  out[0] = s.made;
  out[1] = s.finalised;
}

extern "C" BRIMO_DIAGNOSTICS_EXPORT void brimo_bridge_stats(int64_t out[2]) {
  out[0] = brimo::bridge_counts().calls.load();
  out[1] = brimo::bridge_counts().adapters.load();
}
