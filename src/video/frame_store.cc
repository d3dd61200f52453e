// The frame hub's core: newest frame per user and stream, fetched in batches.
#include "video/frame_store.h"

#include <chrono>
#include <cstring>
#include <new>
#include <optional>
#include <utility>

namespace brimo::video {

namespace {

// Buffer size of a description, or nothing when its offsets cannot describe planes
// stored back to back. Checked in 64 bits so a wrapped 32-bit size never leads to a
// read beyond the SDK's buffer. The Y offset takes no part: the buffer is read from
// its first byte.
std::optional<std::uint64_t> checked_size(const FrameDescription& d) {
  const std::int64_t u = d.offsets[1], v = d.offsets[2];
  if (u < 0 || u > v) return std::nullopt;
  const auto size = static_cast<std::uint64_t>(2 * v - u);
  if (size > FrameStore::kMaxFrameBytes) return std::nullopt;
  return size;
}

void describe(FrameRecord& r, bool sub, const FrameDescription& d, std::int64_t now) {
  r.sub = sub;
  r.type = d.type;
  r.width = d.width;
  r.height = d.height;
  r.extra = d.extra;
  std::memcpy(r.offsets, d.offsets, sizeof r.offsets);
  std::memcpy(r.strides, d.strides, sizeof r.strides);
  r.extra2 = d.extra2;
  r.arrival_ms = now;
  r.consumed = false;
}

}  // namespace

FrameStore& FrameStore::instance() {
  // Leaked on purpose, like the pool: an SDK thread may store a frame while
  // the process exits.
  static FrameStore& store = *new FrameStore;
  return store;
}

std::int64_t FrameStore::wall_clock_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

FrameStore::FrameStore(FramePool& pool, Clock clock) : pool_(pool), clock_(clock) {}

FrameStore::~FrameStore() {
  std::lock_guard<std::mutex> lock(mutex_);
  release_all();
}

void FrameStore::start() { listening_.store(true); }

void FrameStore::stop() {
  if (!listening_.exchange(false)) return;
  std::lock_guard<std::mutex> lock(mutex_);
  release_all();
}

void FrameStore::reset() {
  listening_.store(false);
  std::lock_guard<std::mutex> lock(mutex_);
  release_all();
  counters_.clear();
}

void FrameStore::release_all() {
  for (auto& entry : frames_) pool_.release_frame_record(entry.second);
  frames_.clear();
}

const std::string& FrameStore::key_of(const std::string& user_uuid, bool sub) {
  key_.assign(user_uuid);
  if (sub) key_.append("_sub");
  return key_;
}

FrameRecord* FrameStore::new_record(const std::string& user_uuid, std::uint64_t size) {
  void* block = pool_.acquire(sizeof(FrameRecord));
  if (!block) return nullptr;
  void* data = pool_.acquire(size);
  if (!data) {
    pool_.release(block, sizeof(FrameRecord));
    return nullptr;
  }
  auto* record = new (block) FrameRecord;
  record->user_uuid = user_uuid;
  record->data = static_cast<std::uint8_t*>(data);
  return record;
}

void FrameStore::store(const std::string& user_uuid, bool sub, const std::uint8_t* data,
                       const FrameDescription& d) {
  if (!listening_.load()) return;
  const std::optional<std::uint64_t> checked = checked_size(d);
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string& key = key_of(user_uuid, sub);
  Counters& counters = counters_[key];
  ++counters.total;
  // Received and counted, but not readable: the previous frame stays.
  if (!checked || (*checked > 0 && !data)) {
    ++skipped_;
    return;
  }
  const std::uint64_t size = *checked;

  FrameRecord* record;
  auto it = frames_.find(key);
  if (it == frames_.end()) {
    record = new_record(user_uuid, size);
    if (!record) {
      ++allocation_failures_;
      return;
    }
    frames_.emplace(key, record);
  } else {
    record = it->second;
    // Take the new buffer before giving up the old one: if the heap is
    // exhausted, the previous frame stays whole and deliverable.
    const std::uint64_t old_size = frame_buffer_size(record->offsets[1], record->offsets[2]);
    if (old_size != size) {
      void* fresh = pool_.acquire(size);
      if (!fresh) {
        ++allocation_failures_;
        return;
      }
      pool_.release(record->data, old_size);
      record->data = static_cast<std::uint8_t*>(fresh);
    }
    if (!record->consumed) ++counters.drop;
    // Newer than the poll in progress: it stays, as if it had waited for the poll.
    record->kept_out = false;
  }
  describe(*record, sub, d, clock_());
  if (size > 0) std::memcpy(record->data, data, size);
  ++stored_;
}

FrameStore::Stats FrameStore::stats() const {
  std::lock_guard<std::mutex> lock(mutex_);
  Stats s;
  s.stored = stored_;
  s.skipped = skipped_;
  s.allocation_failures = allocation_failures_;
  s.pool_blocks_allocated = pool_.blocks_allocated();
  s.pool_free_blocks = pool_.free_blocks();
  s.held = frames_.size();
  return s;
}

FetchBatch::FetchBatch(FrameStore& store) : store_(&store) {
  std::lock_guard<std::mutex> lock(store.mutex_);
  for (auto& entry : store.frames_) entry.second->kept_out = true;
}

FetchBatch::FetchBatch(FetchBatch&& other) noexcept : store_(std::exchange(other.store_, nullptr)) {}

FetchBatch::~FetchBatch() {
  if (!store_) return;
  std::lock_guard<std::mutex> lock(store_->mutex_);
  auto& frames = store_->frames_;
  for (auto it = frames.begin(); it != frames.end();) {
    if (!it->second->kept_out) {
      ++it;
      continue;
    }
    store_->pool_.release_frame_record(it->second);
    it = frames.erase(it);
  }
}

FetchResult FetchBatch::fetch(const std::string& user_uuid, bool sub, std::uint8_t* dest,
                              std::size_t capacity) {
  FetchResult r;
  if (!store_) return r;
  FrameStore& s = *store_;
  std::lock_guard<std::mutex> lock(s.mutex_);
  const std::string& key = s.key_of(user_uuid, sub);
  auto it = s.frames_.find(key);
  if (it == s.frames_.end()) return r;
  FrameRecord& f = *it->second;
  f.kept_out = false;
  if (f.consumed) return r;

  auto c = s.counters_.find(key);
  if (c != s.counters_.end()) {
    r.has_counters = true;
    r.total = c->second.total;
    r.drop = c->second.drop;
    // Only after the wall clock stepped back: never hand out a frame older
    // than what script already has.
    if (f.arrival_ms < c->second.last_delivered_ms) return r;
  }

  const std::uint64_t size = frame_buffer_size(f.offsets[1], f.offsets[2]);
  r.has_meta = true;
  r.sub = f.sub;
  r.type = f.type;
  r.width = f.width;
  r.height = f.height;
  r.y_stride = f.strides[0];
  r.u_stride = f.strides[1];
  r.v_stride = f.strides[2];
  r.y_offset = f.offsets[1];
  r.u_offset = f.offsets[2];
  r.v_offset = size;
  // Left unconsumed, so a retry with a larger array still gets it.
  if (capacity < size) {
    r.code = FetchResult::kTooSmall;
    return r;
  }

  if (size > 0) std::memcpy(dest, f.data, size);
  const std::int64_t now = s.clock_();
  if (c != s.counters_.end()) c->second.last_delivered_ms = now;
  r.code = FetchResult::kDelivered;
  r.has_delay = true;
  r.delay_ms = now - f.arrival_ms;
  f.consumed = true;
  return r;
}

}  // namespace brimo::video
