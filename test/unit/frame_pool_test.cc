// Unit tests of the frame pool: block reuse order, exact size classes, and
// how frame records give their memory back.
#include "video/frame_pool.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

namespace brimo::video {
namespace {

void* no_heap(std::size_t) { return nullptr; }

// A record with a long name, so a record whose string is not destroyed shows
// up as a leak under AddressSanitizer.
FrameRecord* make_record(FramePool& pool, std::int32_t u, std::int32_t v, bool with_data) {
  auto* record = new (pool.acquire(sizeof(FrameRecord))) FrameRecord;
  record->user_uuid = "0f8c2b1e-6d3a-4c55-9a77-3e1b2d4c5f60";
  record->offsets[1] = u;
  record->offsets[2] = v;
  if (with_data) record->data = static_cast<std::uint8_t*>(pool.acquire(frame_buffer_size(u, v)));
  return record;
}

TEST(FramePoolTest, ReusesTheBlockReleasedLast) {
  FramePool pool;
  void* a = pool.acquire(1000);
  void* b = pool.acquire(1000);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  pool.release(a, 1000);
  pool.release(b, 1000);
  EXPECT_EQ(pool.acquire(1000), b);
  EXPECT_EQ(pool.acquire(1000), a);
  EXPECT_EQ(pool.blocks_allocated(), 2u);
  pool.release(a, 1000);
  pool.release(b, 1000);
}

TEST(FramePoolTest, SizeClassesAreExact) {
  FramePool pool;
  void* small = pool.acquire(1000);
  pool.release(small, 1000);
  void* large = pool.acquire(1500);
  EXPECT_NE(large, small);
  EXPECT_EQ(pool.blocks_allocated(), 2u);
  EXPECT_EQ(pool.acquire(1000), small);
  pool.release(small, 1000);
  pool.release(large, 1500);
  EXPECT_EQ(pool.free_blocks(), 2u);
}

TEST(FramePoolTest, ExhaustedHeapYieldsNullAndNothingEntersAFreeList) {
  FramePool pool(no_heap);
  void* block = pool.acquire(64);
  EXPECT_EQ(block, nullptr);
  pool.release(block, 64);
  EXPECT_EQ(pool.blocks_allocated(), 0u);
  EXPECT_EQ(pool.free_blocks(), 0u);
}

TEST(FramePoolTest, ReleasedRecordReturnsBufferToItsSizeClass) {
  FramePool pool;
  FrameRecord* record = make_record(pool, 100, 125, true);
  std::uint8_t* data = record->data;
  testing::internal::CaptureStderr();
  pool.release_frame_record(record);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(pool.acquire(150), data);
  EXPECT_EQ(pool.acquire(sizeof(FrameRecord)), static_cast<void*>(record));
  std::free(data);
  std::free(record);
}

TEST(FramePoolTest, InvertedOffsetsAreReportedAndOnlyTheRecordBlockReturns) {
  FramePool pool;
  FrameRecord* record = make_record(pool, 100, 50, false);
  void* buffer = pool.acquire(64);
  record->data = static_cast<std::uint8_t*>(buffer);
  testing::internal::CaptureStderr();
  pool.release_frame_record(record);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Invalid offset values!\n");
  EXPECT_EQ(pool.free_blocks(), 1u);
  EXPECT_EQ(pool.acquire(sizeof(FrameRecord)), static_cast<void*>(record));
  std::free(buffer);
  std::free(record);
}

TEST(FramePoolTest, NullDataIsReportedAndTheRecordBlockStillReturns) {
  FramePool pool;
  FrameRecord* record = make_record(pool, 100, 125, false);
  testing::internal::CaptureStderr();
  pool.release_frame_record(record);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Data pointer is null, nothing to deallocate!\n");
  EXPECT_EQ(pool.free_blocks(), 1u);
  EXPECT_EQ(pool.acquire(sizeof(FrameRecord)), static_cast<void*>(record));
  std::free(record);
}

}  // namespace
}  // namespace brimo::video
