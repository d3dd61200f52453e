// Recycles the memory of the video frame pipeline: pixel buffers and frame
// records. Frames of the same few sizes arrive many times a second per user,
// so every block is kept and handed out again, and steady state allocates
// nothing.
#ifndef BRIMO_VIDEO_FRAME_POOL_H_
#define BRIMO_VIDEO_FRAME_POOL_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>

namespace brimo::video {

// The latest frame of one user and stream, as the SDK described it. It lives
// in a pool block of sizeof(FrameRecord) and owns a pixel buffer of
// frame_buffer_size(offsets[1], offsets[2]) bytes.
struct FrameRecord {
  std::string user_uuid;  // as the SDK gave it, without the sub-stream suffix
  bool sub = false;
  std::uint8_t* data = nullptr;
  std::uint32_t type = 0;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t extra = 0;  // the SDK's own, kept and never delivered
  std::int32_t offsets[4] = {};
  std::int32_t strides[4] = {};
  std::uint32_t extra2 = 0;  // the SDK's own, kept and never delivered
  std::int64_t arrival_ms = 0;
  bool consumed = false;
  bool kept_out = false;  // stored before the fetch batch in progress and not yet asked for
};

// Length of an I420 image whose planes are stored back to back: the buffer
// ends where the V plane ends, and the V plane is as long as the U plane.
// Computed in 32 bits like the SDK does, so a record's buffer always goes back
// to the size class it was taken from.
inline std::uint64_t frame_buffer_size(std::int32_t u_offset, std::int32_t v_offset) {
  const auto u = static_cast<std::uint32_t>(u_offset);
  const auto v = static_cast<std::uint32_t>(v_offset);
  return static_cast<std::uint32_t>(2u * v - u);
}

// Exact size classes, each a stack of free blocks. Blocks come from the heap
// and are never given back while the process runs. No lock of its own: the
// frame store's mutex guards every call.
class FramePool {
 public:
  using Allocator = void* (*)(std::size_t);

  // The process-wide pool; never destroyed, see instance() in the .cc.
  static FramePool& instance();

  // `allocate` must return memory that std::free accepts, or null on failure.
  explicit FramePool(Allocator allocate = nullptr);
  ~FramePool();
  FramePool(const FramePool&) = delete;
  FramePool& operator=(const FramePool&) = delete;

  // The most recently released block of exactly `size` bytes, else a new one;
  // null when the heap is exhausted.
  void* acquire(std::uint64_t size);
  void release(void* block, std::uint64_t size);
  // Returns the record's pixel buffer and the record's own block.
  void release_frame_record(FrameRecord* record);

  std::uint64_t blocks_allocated() const { return blocks_allocated_; }
  std::uint64_t free_blocks() const;

 private:
  struct SizeClass {
    std::uint64_t block_size;
    std::deque<void*> free;  // a stack: taken from and returned to the back
  };
  SizeClass& size_class(std::uint64_t size);

  std::map<std::uint64_t, SizeClass> classes_;
  Allocator allocate_;
  std::uint64_t blocks_allocated_ = 0;
};

}  // namespace brimo::video

#endif  // BRIMO_VIDEO_FRAME_POOL_H_
