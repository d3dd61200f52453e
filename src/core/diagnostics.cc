// Carrier figures for long runs (carriers made, carriers finalised). Reached by the
// simulated SDK's control module through the dynamic loader, like the frame hub's
// figures; script never sees them on the module's exports.
#include <cstdint>

#include "core/carrier.h"
#include "core/diagnostics_export.h"

extern "C" BRIMO_DIAGNOSTICS_EXPORT void brimo_carrier_stats(uint64_t out[2]) {
  brimo::CarrierStats s = brimo::carrier_stats();
  out[0] = s.made;
  out[1] = s.finalised;
}
