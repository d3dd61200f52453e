// Recycles the memory of the video frame pipeline.
#include "video/frame_pool.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

namespace brimo::video {

namespace {

// A frame may have no pixels at all; its block is still a real one.
void* heap_allocate(std::size_t size) { return std::malloc(size > 0 ? size : 1); }

void report(const char* message) {
  std::fputs(message, stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace

FramePool& FramePool::instance() {
  // Leaked on purpose: SDK threads may still store frames while the process
  // exits, and they must never meet a destroyed pool.
  static FramePool& pool = *new FramePool;
  return pool;
}

FramePool::FramePool(Allocator allocate) : allocate_(allocate ? allocate : heap_allocate) {}

// Only pools made for tests are ever destroyed; they hand their free blocks
// back so leak checkers stay quiet. Blocks still in use belong to records that
// their owner must have released first.
FramePool::~FramePool() {
  for (auto& entry : classes_) {
    for (void* block : entry.second.free) std::free(block);
  }
}

FramePool::SizeClass& FramePool::size_class(std::uint64_t size) {
  auto it = classes_.find(size);
  if (it == classes_.end()) it = classes_.emplace(size, SizeClass{size, {}}).first;
  return it->second;
}

void* FramePool::acquire(std::uint64_t size) {
  SizeClass& cls = size_class(size);
  if (cls.block_size < size || cls.free.empty()) {
    if (size > std::numeric_limits<std::size_t>::max()) return nullptr;
    void* block = allocate_(static_cast<std::size_t>(size));
    if (block) ++blocks_allocated_;
    return block;
  }
  void* block = cls.free.back();
  cls.free.pop_back();
  return block;
}

void FramePool::release(void* block, std::uint64_t size) {
  // A null never enters a free list, so acquire yields null only when the
  // heap is exhausted.
  if (block) size_class(size).free.push_back(block);
}

void FramePool::release_frame_record(FrameRecord* record) {
  const auto u = static_cast<std::uint32_t>(record->offsets[1]);
  const auto v = static_cast<std::uint32_t>(record->offsets[2]);
  if (u > v) {
    report("Invalid offset values!");
  } else if (!record->data) {
    report("Data pointer is null, nothing to deallocate!");
  } else {
    release(record->data, frame_buffer_size(record->offsets[1], record->offsets[2]));
  }
  record->~FrameRecord();
  release(record, sizeof(FrameRecord));
}

std::uint64_t FramePool::free_blocks() const {
  std::uint64_t count = 0;
  for (const auto& entry : classes_) count += entry.second.free.size();
  return count;
}

}  // namespace brimo::video
