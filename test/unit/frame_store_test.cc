// Unit tests of the frame hub core: storing, batch fetching, counters, memory
// reuse, and producers racing a poller.
#include "video/frame_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <thread>
#include <vector>

// Counts every heap allocation of the test binary, to prove that the frame
// path allocates nothing in steady state.
static std::atomic<long> g_heap_allocations{0};

// gcc pairs the replaced operator new with the library's delete and warns; both
// are replaced here, together.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  g_heap_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  std::abort();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace brimo::video {
namespace {

std::int64_t g_now = 0;
std::int64_t fake_now() { return g_now; }

int g_allocations_left = -1;  // -1: the heap never runs out
void* rationed_heap(std::size_t size) {
  if (g_allocations_left == 0) return nullptr;
  if (g_allocations_left > 0) --g_allocations_left;
  return std::malloc(size);
}

struct Frame {
  FrameDescription d;
  std::vector<std::uint8_t> bytes;
};

// An I420 frame with its planes back to back, every byte `fill`.
Frame i420(std::uint32_t w, std::uint32_t h, std::uint8_t fill) {
  Frame f;
  const auto y = static_cast<std::int32_t>(w * h);
  f.d.type = 1;
  f.d.width = w;
  f.d.height = h;
  f.d.offsets[1] = y;
  f.d.offsets[2] = y + y / 4;
  f.d.strides[0] = static_cast<std::int32_t>(w);
  f.d.strides[1] = f.d.strides[2] = static_cast<std::int32_t>(w / 2);
  f.bytes.assign(static_cast<std::size_t>(y + y / 2), fill);
  return f;
}

class FrameStoreTest : public testing::Test {
 protected:
  void SetUp() override {
    g_now = 1000;
    g_allocations_left = -1;
    store.start();
  }
  void push(const std::string& uuid, const Frame& f, bool sub = false) {
    store.store(uuid, sub, f.bytes.data(), f.d);
  }
  FetchResult poll(const std::string& uuid, std::size_t capacity, bool sub = false) {
    dest.assign(capacity, 0xEE);
    return store.begin_fetch().fetch(uuid, sub, dest.data(), dest.size());
  }
  bool dest_is(std::uint8_t fill, std::size_t size) const {
    for (std::size_t i = 0; i < size; ++i) {
      if (dest[i] != fill) return false;
    }
    return true;
  }
  bool no_block_leaked() const {
    const FrameStore::Stats s = store.stats();
    return s.held == 0 && s.pool_free_blocks == s.pool_blocks_allocated;
  }

  FramePool pool{rationed_heap};
  FrameStore store{pool, fake_now};
  std::vector<std::uint8_t> dest;
};

TEST_F(FrameStoreTest, NotListeningStoresAndCountsNothing) {
  store.stop();
  push("u1", i420(8, 8, 1));
  EXPECT_EQ(store.stats().stored, 0u);
  EXPECT_EQ(poll("u1", 96).code, FetchResult::kNoFrame);
  store.start();
  push("u1", i420(8, 8, 1));
  EXPECT_EQ(poll("u1", 96).total, 1);
}

TEST_F(FrameStoreTest, DeliversTheNewestFrameAndCountsTheReplacedOnes) {
  for (std::uint8_t fill = 1; fill <= 3; ++fill, g_now += 100) push("u1", i420(16, 8, fill));
  g_now = 1250;
  const FetchResult r = poll("u1", 192);
  EXPECT_EQ(r.code, FetchResult::kDelivered);
  EXPECT_TRUE(r.has_counters && r.has_meta && r.has_delay);
  EXPECT_EQ(r.total, 3);
  EXPECT_EQ(r.drop, 2);
  EXPECT_EQ(r.delay_ms, 50);
  EXPECT_TRUE(dest_is(3, 192));
  EXPECT_FALSE(r.sub);
  EXPECT_EQ(r.width, 16u);
  EXPECT_EQ(r.height, 8u);
  EXPECT_EQ(r.y_stride, 16);
  EXPECT_EQ(r.v_stride, 8);
  EXPECT_EQ(r.y_offset, 128);
  EXPECT_EQ(r.u_offset, 160);
  EXPECT_EQ(r.v_offset, 192u);

  const FetchResult again = poll("u1", 192);
  EXPECT_EQ(again.code, FetchResult::kNoFrame);
  EXPECT_FALSE(again.has_delay || again.has_meta);
  push("u1", i420(16, 8, 4));  // follows a delivered frame: not a drop
  EXPECT_EQ(poll("u1", 192).drop, 2);
}

TEST_F(FrameStoreTest, TooSmallArrayGetsMetadataAndTheFrameWaitsForARetry) {
  push("u1", i420(16, 8, 5));
  const FetchResult r = poll("u1", 191);
  EXPECT_EQ(r.code, FetchResult::kTooSmall);
  EXPECT_TRUE(r.has_meta && r.has_counters);
  EXPECT_FALSE(r.has_delay);
  EXPECT_EQ(r.v_offset, 192u);
  EXPECT_TRUE(dest_is(0xEE, 191));
  EXPECT_EQ(poll("u1", r.v_offset).code, FetchResult::kDelivered);
  EXPECT_TRUE(dest_is(5, 192));
}

TEST_F(FrameStoreTest, SubStreamIsKeptApartFromTheMainStream) {
  push("u1", i420(8, 8, 7), true);
  push("u1", i420(8, 8, 9));
  FetchBatch batch = store.begin_fetch();
  dest.assign(96, 0);
  const FetchResult sub = batch.fetch("u1", true, dest.data(), dest.size());
  EXPECT_TRUE(sub.sub);
  EXPECT_EQ(sub.total, 1);
  EXPECT_TRUE(dest_is(7, 96));
  const FetchResult main = batch.fetch("u1", false, dest.data(), dest.size());
  EXPECT_FALSE(main.sub);
  EXPECT_EQ(main.total, 1);
  EXPECT_TRUE(dest_is(9, 96));
}

TEST_F(FrameStoreTest, FramesNotAskedForAreReleasedButKeepTheirCounters) {
  push("u1", i420(8, 8, 1));
  push("u2", i420(8, 8, 2));
  EXPECT_EQ(poll("u2", 96).code, FetchResult::kDelivered);
  EXPECT_EQ(store.stats().held, 1u);
  EXPECT_EQ(poll("u2", 96).code, FetchResult::kNoFrame);
  EXPECT_EQ(store.stats().held, 1u);  // asked for, so kept though consumed
  push("u1", i420(8, 8, 3));
  const FetchResult r = poll("u1", 96);
  EXPECT_EQ(r.total, 2);
  EXPECT_EQ(r.drop, 0);  // released, not replaced
  EXPECT_TRUE(dest_is(3, 96));
}

// Between its fetches a poll holds no lock: script reading the next request may call
// into the SDK, which keeps storing frames (here on this very thread). A frame stored
// meanwhile is newer than the poll and stays, asked for or not.
TEST_F(FrameStoreTest, FramesStoredDuringAPollAreKept) {
  push("u1", i420(8, 8, 1));
  push("u2", i420(8, 8, 2));
  {
    FetchBatch batch = store.begin_fetch();
    push("u2", i420(8, 8, 4));
    push("u3", i420(8, 8, 3));
    dest.assign(96, 0);
    EXPECT_EQ(batch.fetch("u1", false, dest.data(), dest.size()).code, FetchResult::kDelivered);
  }
  EXPECT_EQ(store.stats().held, 3u);
  EXPECT_EQ(poll("u2", 96).code, FetchResult::kDelivered);
  EXPECT_TRUE(dest_is(4, 96));
}

TEST_F(FrameStoreTest, CountersContinueAcrossStopAndStart) {
  push("u1", i420(8, 8, 1));
  push("u1", i420(8, 8, 2));
  store.stop();
  EXPECT_TRUE(no_block_leaked());
  store.start();
  push("u1", i420(8, 8, 3));
  const FetchResult r = poll("u1", 96);
  EXPECT_EQ(r.total, 3);
  EXPECT_EQ(r.drop, 1);
}

TEST_F(FrameStoreTest, ResetStopsReleasesEveryFrameAndStartsTheCountersAgain) {
  push("u1", i420(8, 8, 1));
  push("u1", i420(8, 8, 2));
  push("u2", i420(8, 8, 5));
  store.reset();
  EXPECT_FALSE(store.listening());
  EXPECT_TRUE(no_block_leaked());
  push("u1", i420(8, 8, 3));
  EXPECT_EQ(store.stats().held, 0u) << "not listening after a reset";
  store.start();
  push("u1", i420(8, 8, 4));
  const FetchResult r = poll("u1", 96);
  EXPECT_EQ(r.code, FetchResult::kDelivered);
  EXPECT_EQ(r.total, 1);
  EXPECT_EQ(r.drop, 0);
  EXPECT_TRUE(dest_is(4, 96));
}

TEST_F(FrameStoreTest, ClockSteppingBackNeverDeliversAnOlderFrame) {
  push("u1", i420(8, 8, 1));
  g_now = 2000;
  ASSERT_EQ(poll("u1", 96).code, FetchResult::kDelivered);
  g_now = 1500;
  push("u1", i420(8, 8, 2));
  const FetchResult r = poll("u1", 96);
  EXPECT_EQ(r.code, FetchResult::kNoFrame);
  EXPECT_TRUE(r.has_counters);
  EXPECT_FALSE(r.has_meta);
}

TEST_F(FrameStoreTest, SizeChangeSwapsBuffersThroughThePool) {
  push("u1", i420(16, 8, 1));
  push("u1", i420(8, 8, 2));
  push("u1", i420(16, 8, 3));
  EXPECT_EQ(store.stats().pool_blocks_allocated, 3u);  // record and two buffers
  EXPECT_EQ(poll("u1", 192).code, FetchResult::kDelivered);
  EXPECT_TRUE(dest_is(3, 192));
  store.stop();
  EXPECT_TRUE(no_block_leaked());
}

TEST_F(FrameStoreTest, SteadyStateAllocatesNothing) {
  const std::string users[] = {"3b9e4f0c-1a2d-4e5f-8a7b-6c5d4e3f2a10", "long-user-0002"};
  const Frame frame = i420(32, 16, 4);
  std::vector<std::uint8_t> out(frame.bytes.size());
  auto round = [&] {
    for (const auto& u : users) {
      store.store(u, false, frame.bytes.data(), frame.d);
      store.store(u, true, frame.bytes.data(), frame.d);
    }
    FetchBatch batch = store.begin_fetch();
    for (const auto& u : users) {
      batch.fetch(u, false, out.data(), out.size());
      batch.fetch(u, true, out.data(), out.size());
    }
  };
  round();
  const std::uint64_t blocks = store.stats().pool_blocks_allocated;
  const long heap = g_heap_allocations.load();
  for (int i = 0; i < 100; ++i) round();
  EXPECT_EQ(g_heap_allocations.load(), heap);
  EXPECT_EQ(store.stats().pool_blocks_allocated, blocks);
  EXPECT_EQ(store.stats().stored, 404u);
}

TEST_F(FrameStoreTest, UnreadableFramesAreCountedButNeverRead) {
  std::uint8_t tiny[16] = {};
  store.store("u1", false, nullptr, i420(8, 8, 0).d);
  const std::int32_t bad[][2] = {{100, 50}, {-4, 8}, {0, INT_MAX}, {INT_MAX - 8, INT_MAX}};
  for (const auto& uv : bad) {
    FrameDescription d;
    d.offsets[1] = uv[0];
    d.offsets[2] = uv[1];
    store.store("u1", false, tiny, d);
  }
  FrameStore::Stats s = store.stats();
  EXPECT_EQ(s.skipped, 5u);
  EXPECT_EQ(s.stored, 0u);
  push("u1", i420(8, 8, 1));
  FetchResult r = poll("u1", 96);
  EXPECT_EQ(r.code, FetchResult::kDelivered);
  EXPECT_EQ(r.total, 6);
  EXPECT_EQ(r.drop, 0);

  // A negative Y offset takes no part in the buffer size; no pixels at all is a
  // frame too, even without a data pointer.
  Frame negative_y = i420(2, 2, 7);
  negative_y.d.offsets[0] = -1;
  push("u2", negative_y);
  EXPECT_EQ(poll("u2", 6).code, FetchResult::kDelivered);
  EXPECT_TRUE(dest_is(7, 6));
  store.store("u3", false, nullptr, FrameDescription{});
  r = store.begin_fetch().fetch("u3", false, nullptr, 0);
  EXPECT_EQ(r.code, FetchResult::kDelivered);
  EXPECT_EQ(r.v_offset, 0u);
  EXPECT_EQ(store.stats().skipped, 5u);
}

TEST_F(FrameStoreTest, ExhaustedHeapSkipsTheFrameAndKeepsThePreviousOne) {
  g_allocations_left = 0;
  push("u1", i420(8, 8, 1));
  g_allocations_left = 1;  // the record block, but no pixel buffer
  push("u1", i420(8, 8, 1));
  EXPECT_EQ(store.stats().allocation_failures, 2u);
  EXPECT_TRUE(no_block_leaked());
  g_allocations_left = -1;
  push("u1", i420(16, 8, 2));
  g_allocations_left = 0;
  push("u1", i420(8, 8, 3));
  EXPECT_EQ(store.stats().allocation_failures, 3u);
  const FetchResult r = poll("u1", 192);
  EXPECT_EQ(r.code, FetchResult::kDelivered);
  EXPECT_EQ(r.v_offset, 192u);
  EXPECT_TRUE(dest_is(2, 192));
}

TEST(FrameStoreInstanceTest, EveryThreadSeesTheSameProcessWideHub) {
  FrameStore* seen = nullptr;
  std::thread other([&] { seen = &FrameStore::instance(); });
  FrameStore& here = FrameStore::instance();
  other.join();
  EXPECT_EQ(seen, &here);
  EXPECT_FALSE(here.listening());
}

// Frames carry (user, stream, number) in a header and a body byte derived
// from them; a torn copy or a frame under the wrong key breaks the pattern.
std::atomic<std::int64_t> g_tick{0};
std::int64_t ticking_now() { return g_tick.fetch_add(1) + 1; }

constexpr int kProducers = 3;
constexpr int kFramesPerStream = 2000;
std::uint8_t body_byte(int user, int sub, int n) {
  return static_cast<std::uint8_t>(n * 31 + user * 7 + sub);
}
Frame numbered(int user, int sub, int n) {
  Frame f = i420(n / 50 % 2 ? 16 : 32, 8, body_byte(user, sub, n));
  f.bytes[0] = static_cast<std::uint8_t>(user);
  f.bytes[1] = static_cast<std::uint8_t>(sub);
  std::memcpy(&f.bytes[2], &n, sizeof n);
  return f;
}
std::string user_name(int user) { return "user-" + std::to_string(user) + "-0123456789abcdef"; }

TEST(FrameStoreConcurrencyTest, EveryDeliveredFrameIsWholeAndUnderItsOwnKey) {
  FramePool pool;
  FrameStore store(pool, ticking_now);
  store.start();
  std::atomic<int> running{kProducers};
  std::vector<std::thread> producers;
  for (int p = 0; p < kProducers; ++p) {
    producers.emplace_back([&, p] {
      const std::string name = user_name(p);
      for (int n = 0; n < kFramesPerStream; ++n) {
        for (int sub = 0; sub < 2; ++sub) {
          const Frame f = numbered(p, sub, n);
          store.store(name, sub != 0, f.bytes.data(), f.d);
        }
      }
      running.fetch_sub(1);
    });
  }

  int last[kProducers][2];
  for (auto& user : last) user[0] = user[1] = -1;
  std::vector<std::uint8_t> out(384);
  long faults = 0, delivered = 0;
  auto poll_all = [&](bool only_first_user) {
    FetchBatch batch = store.begin_fetch();
    for (int p = 0; p < (only_first_user ? 1 : kProducers); ++p) {
      for (int sub = 0; sub < 2; ++sub) {
        const FetchResult r = batch.fetch(user_name(p), sub != 0, out.data(), out.size());
        if (r.code != FetchResult::kDelivered) continue;
        ++delivered;
        int n;
        std::memcpy(&n, &out[2], sizeof n);
        const Frame want = numbered(p, sub, n);
        const bool whole = r.v_offset == want.bytes.size() &&
                           std::memcmp(out.data(), want.bytes.data(), want.bytes.size()) == 0;
        if (!whole || n <= last[p][sub]) ++faults;
        last[p][sub] = n;
      }
    }
  };
  for (int i = 0; running.load() > 0; ++i) {
    poll_all(i % 3 == 1);
    if (i % 64 == 63) {
      store.stop();
      store.start();
    }
  }
  for (auto& t : producers) t.join();
  EXPECT_EQ(faults, 0);

  // After the storm the hub still works and every block is accounted for.
  for (int p = 0; p < kProducers; ++p) {
    for (int sub = 0; sub < 2; ++sub) {
      const Frame f = numbered(p, sub, kFramesPerStream);
      store.store(user_name(p), sub != 0, f.bytes.data(), f.d);
    }
  }
  faults = delivered = 0;
  poll_all(false);
  EXPECT_EQ(delivered, kProducers * 2);
  EXPECT_EQ(faults, 0);
  for (auto& user : last) EXPECT_TRUE(user[0] == kFramesPerStream && user[1] == kFramesPerStream);
  store.stop();
  const FrameStore::Stats s = store.stats();
  EXPECT_EQ(s.pool_free_blocks, s.pool_blocks_allocated);
}

}  // namespace
}  // namespace brimo::video
