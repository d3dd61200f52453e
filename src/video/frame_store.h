// The frame hub's core: keeps the newest video frame of every user and stream
// until script polls for it. The SDK hands us frames on its own threads;
// script fetches them on its own thread, a whole request array at a time.
// Plain C++: the Node layer converts requests and results.
#ifndef BRIMO_VIDEO_FRAME_STORE_H_
#define BRIMO_VIDEO_FRAME_STORE_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "video/frame_pool.h"

namespace brimo::video {

// The SDK's description of one frame, unchanged.
struct FrameDescription {
  std::uint32_t type = 0;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t extra = 0;
  std::int32_t offsets[4] = {};  // Y, U, V plane starts; the fourth is unused
  std::int32_t strides[4] = {};  // Y, U, V row strides; the fourth is unused
  std::uint32_t extra2 = 0;
};

// What one request receives. Each has_* flag says whether its group of fields
// is to be written to the request; fields outside a set group stay untouched.
struct FetchResult {
  static constexpr std::int32_t kDelivered = 0;
  static constexpr std::int32_t kTooSmall = 1;
  static constexpr std::int32_t kNoFrame = 2;

  std::int32_t code = kNoFrame;
  bool has_counters = false;
  std::int32_t total = 0;
  std::int32_t drop = 0;
  bool has_meta = false;
  bool sub = false;
  std::uint32_t type = 0;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::int32_t y_stride = 0;
  std::int32_t u_stride = 0;
  std::int32_t v_stride = 0;
  std::int32_t y_offset = 0;   // where the Y plane ends: the SDK's U offset
  std::int32_t u_offset = 0;   // where the U plane ends: the SDK's V offset
  std::uint64_t v_offset = 0;  // where the V plane ends: the buffer size
  bool has_delay = false;
  std::int64_t delay_ms = 0;
};

class FrameStore;

// One poll. Frames stored when it begins and not asked for by any of its fetches
// are released when it ends. The hub's lock is taken for the beginning, for each
// fetch and for the end, never in between: the Node layer reads each request from
// script between fetches, and script run there may call into the SDK, whose threads
// must then still be able to store frames.
class FetchBatch {
 public:
  FetchBatch(FetchBatch&& other) noexcept;
  FetchBatch& operator=(FetchBatch&&) = delete;
  FetchBatch(const FetchBatch&) = delete;
  FetchBatch& operator=(const FetchBatch&) = delete;
  ~FetchBatch();

  // Copies the frame into dest when it is new and fits in `capacity` bytes.
  FetchResult fetch(const std::string& user_uuid, bool sub, std::uint8_t* dest,
                    std::size_t capacity);

 private:
  friend class FrameStore;
  explicit FetchBatch(FrameStore& store);

  FrameStore* store_;
};

class FrameStore {
 public:
  using Clock = std::int64_t (*)();

  // No real frame comes near this; larger descriptions are taken as corrupt
  // rather than trusted for a read from the SDK's buffer.
  static constexpr std::uint64_t kMaxFrameBytes = std::uint64_t{256} << 20;

  struct Stats {
    std::uint64_t stored = 0;               // frames copied into the hub
    std::uint64_t skipped = 0;              // counted, not stored: null data or unusable offsets
    std::uint64_t allocation_failures = 0;  // frames lost to an exhausted heap
    std::uint64_t pool_blocks_allocated = 0;
    std::uint64_t pool_free_blocks = 0;
    std::size_t held = 0;                   // frames stored right now
  };

  // The process-wide hub; never destroyed, see instance() in the .cc.
  static FrameStore& instance();
  // Wall-clock milliseconds since the Unix epoch.
  static std::int64_t wall_clock_ms();

  explicit FrameStore(FramePool& pool = FramePool::instance(), Clock clock = wall_clock_ms);
  ~FrameStore();
  FrameStore(const FrameStore&) = delete;
  FrameStore& operator=(const FrameStore&) = delete;

  void start();
  // Releases every stored frame; counters carry on after the next start().
  void stop();
  // Stops and forgets the counters too: the hub as a newly loaded module finds it.
  // The pool keeps its blocks for the next frames.
  void reset();
  bool listening() const { return listening_.load(); }

  // Called on SDK threads; reads exactly the buffer size from `data`.
  void store(const std::string& user_uuid, bool sub, const std::uint8_t* data,
             const FrameDescription& d);
  FetchBatch begin_fetch() { return FetchBatch(*this); }

  Stats stats() const;

 private:
  friend class FetchBatch;
  struct Counters {
    std::int32_t total = 0;
    std::int32_t drop = 0;
    std::int64_t last_delivered_ms = 0;
  };

  const std::string& key_of(const std::string& user_uuid, bool sub);
  FrameRecord* new_record(const std::string& user_uuid, std::uint64_t size);
  void release_all();

  std::atomic<bool> listening_{false};
  mutable std::mutex mutex_;  // the module's only lock; guards all below
  std::map<std::string, FrameRecord*> frames_;
  std::map<std::string, Counters> counters_;  // never erased
  FramePool& pool_;
  Clock clock_;
  std::string key_;  // reused for every lookup, so steady state allocates nothing
  std::uint64_t stored_ = 0;
  std::uint64_t allocation_failures_ = 0;
  std::uint64_t skipped_ = 0;
};

}  // namespace brimo::video

#endif  // BRIMO_VIDEO_FRAME_STORE_H_
