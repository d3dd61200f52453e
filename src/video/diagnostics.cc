// Frame hub figures for benchmarks and tests (allocation after warm-up, frames
// stored and skipped). Reached by the simulated SDK's control module through the
// dynamic loader; script never sees it on the module's exports.
#include <cstdint>

#include "core/diagnostics_export.h"
#include "video/frame_store.h"

extern "C" BRIMO_DIAGNOSTICS_EXPORT void brimo_video_stats(uint64_t out[6]) {
  brimo::video::FrameStore::Stats s = brimo::video::FrameStore::instance().stats();
  out[0] = s.stored;
  out[1] = s.skipped;
  out[2] = s.allocation_failures;
  out[3] = s.pool_blocks_allocated;
  out[4] = s.pool_free_blocks;
  out[5] = s.held;
}
