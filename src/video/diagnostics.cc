// Frame hub figures for benchmarks and tests (allocation after warm-up, frames
// stored and skipped). Reached by the simulated SDK's control module through the
// dynamic loader; script never sees it on the module's exports.
#include <cstdint>

#include "video/frame_requests.h"
#include "video/frame_store.h"

// Answers -1 and writes nothing when called from a request getter: getVideoFrame
// holds the hub's lock then, and the figures are read under it.
extern "C" __attribute__((visibility("default"))) int brimo_video_stats(uint64_t out[6]) {
  if (brimo::fetching_video_frames()) return -1;
  brimo::video::FrameStore::Stats s = brimo::video::FrameStore::instance().stats();
  out[0] = s.stored;
  out[1] = s.skipped;
  out[2] = s.allocation_failures;
  out[3] = s.pool_blocks_allocated;
  out[4] = s.pool_free_blocks;
  out[5] = s.held;
  return 0;
}
