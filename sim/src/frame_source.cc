// The simulated SDK's video: decoded I420 frames handed to the room listeners of a
// room (or to the preview room's listeners) on SDK threads, either one frame given
// by script or generators of N users x width x height x fps on threads of their own. Generated frames carry a test
// pattern from which a receiver can tell whether a frame is whole and whose it is:
//   - the first ten bytes of the Y plane: 0xB7 0x1D, user index (16-bit LE), stream
//     (0 main, 1 sub), frame number (32-bit LE), XOR of the nine bytes before;
//   - Y: eight vertical luma bars (16 + 28 * bar) crossed by a bright band (235) of
//     four rows starting at row (2 * frame) % height;
//   - U and V: flat, a tint of their own per user and stream.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "base64.h"
#include "engine.h"
#include "frame_source.h"
#include "listener_kinds.h"

namespace parlo_sim {
namespace {

struct Geometry {
  uint32_t width;
  uint32_t height;
  int32_t offsets[4];
  int32_t strides[4];
  size_t size;
};

Geometry i420(uint32_t width, uint32_t height) {
  uint32_t y = width * height;
  uint32_t uv = (width / 2) * (height / 2);
  Geometry g{width, height, {0, static_cast<int32_t>(y), static_cast<int32_t>(y + uv), 0},
             {static_cast<int32_t>(width), static_cast<int32_t>(width / 2), static_cast<int32_t>(width / 2), 0},
             static_cast<size_t>(y) + 2 * uv};
  return g;
}

// The frame size of `settings`, even and within what a camera or screen delivers;
// anything else is refused before a byte is drawn.
std::pair<uint32_t, uint32_t> frame_size(const json& settings, uint32_t width, uint32_t height) {
  width = settings.value("width", width) & ~1u;
  height = settings.value("height", height) & ~1u;
  if (width == 0 || height == 0 || width > 7680 || height > 4320) {
    throw std::invalid_argument("frame width and height must be 2 to 7680 and 2 to 4320");
  }
  return {width, height};
}

uint8_t tint_u(uint32_t user, uint32_t stream) { return static_cast<uint8_t>(40 + user * 47 + stream * 90); }
uint8_t tint_v(uint32_t user, uint32_t stream) { return static_cast<uint8_t>(200 - user * 29 - stream * 60); }

// One user's stream, redrawn in place: only the band and the header change from
// frame to frame, so drawing costs a few rows, not a frame.
class Pattern {
 public:
  Pattern(uint32_t user, uint32_t stream, uint32_t width, uint32_t height)
      : user_(user), stream_(stream), g_(i420(width, height)), pixels_(g_.size) {
    for (uint32_t row = 0; row < height; ++row) draw_row(row, false);
    std::memset(pixels_.data() + g_.offsets[1], tint_u(user, stream), g_.offsets[2] - g_.offsets[1]);
    std::memset(pixels_.data() + g_.offsets[2], tint_v(user, stream), g_.size - g_.offsets[2]);
  }

  void draw(uint32_t frame) {
    uint32_t band = (2 * frame) % g_.height;
    for (uint32_t i = 0; i < 4; ++i) draw_row((band_ + i) % g_.height, false);
    band_ = band;
    for (uint32_t i = 0; i < 4; ++i) draw_row((band_ + i) % g_.height, true);
    uint8_t* h = pixels_.data();
    uint8_t header[10] = {0xB7, 0x1D, static_cast<uint8_t>(user_), static_cast<uint8_t>(user_ >> 8),
                          static_cast<uint8_t>(stream_), static_cast<uint8_t>(frame), static_cast<uint8_t>(frame >> 8),
                          static_cast<uint8_t>(frame >> 16), static_cast<uint8_t>(frame >> 24), 0};
    for (int i = 0; i < 9; ++i) header[9] ^= header[i];
    std::memcpy(h, header, std::min<size_t>(sizeof header, g_.size));
  }

  const Geometry& geometry() const { return g_; }
  const uint8_t* data() const { return pixels_.data(); }

 private:
  void draw_row(uint32_t row, bool band) {
    uint8_t* line = pixels_.data() + static_cast<size_t>(row) * g_.width;
    for (uint32_t x = 0; x < g_.width; ++x) line[x] = band ? 235 : static_cast<uint8_t>(16 + 28 * (x * 8 / g_.width));
  }

  uint32_t user_;
  uint32_t stream_;
  Geometry g_;
  std::vector<uint8_t> pixels_;
  uint32_t band_ = 0;
};

// Whose listeners a frame goes to: a room's ("room", the default) or the preview
// room's ("previewRoom").
bool to_preview(const json& settings) {
  const std::string kind = settings.value("kind", "room");
  if (kind != "room" && kind != "previewRoom") {
    throw std::invalid_argument("frames go to 'room' or 'previewRoom' listeners");
  }
  return kind == "previewRoom";
}

void deliver(bool preview, const std::string& room, const std::string& user, bool sub, const uint8_t* data,
             const Geometry& g, uint32_t type) {
  auto hand = [&](parlo::IQVBaseRoomListener* listener) {
    listener->onVideoFrame(user, sub, data, type, g.width, g.height, 0, g.offsets, g.strides, 0);
  };
  if (preview) {
    preview_room_listeners().for_each("", hand);
  } else {
    room_listeners().for_each(room, hand);
  }
  Engine::get().count("framesDelivered");
}

class Generator {
 public:
  Generator(const json& settings)
      : preview_(to_preview(settings)),
        room_(settings.value("room", "")),
        prefix_(settings.value("userPrefix", "sim-user-")),
        users_(settings.value("users", 1u)),
        first_user_(settings.value("firstUser", 1u)),
        fps_(settings.value("fps", 30.0)),
        frames_(settings.value("frames", 0u)),
        sub_(settings.value("sub", false)),
        threads_(std::max(1u, settings.value("threads", 1u))) {
    if (settings.contains("userUuids")) {
      names_ = settings.at("userUuids").get<std::vector<std::string>>();
      users_ = static_cast<uint32_t>(names_.size());
    }
    // A meeting's worth, each drawn by a thread of a machine's worth.
    if (users_ == 0 || users_ > 256) throw std::invalid_argument("a generator draws 1 to 256 users");
    if (threads_ > 64) throw std::invalid_argument("a generator runs 1 to 64 threads");
    auto [width, height] = frame_size(settings, 320, 180);
    const uint64_t bytes = uint64_t{users_} * (sub_ ? 2 : 1) * width * height * 3 / 2;
    if (bytes > (uint64_t{1} << 30)) throw std::invalid_argument("a generator draws at most 1 GiB of frames at a time");
    for (uint32_t u = 0; u < users_; ++u) {
      for (uint32_t s = 0; s < (sub_ ? 2u : 1u); ++s) {
        patterns_.push_back(std::make_unique<Pattern>(first_user_ + u, s, width, height));
      }
    }
    // Counted before the threads start, so a status read right after start() says running.
    running_ = static_cast<int>(threads_);
    for (uint32_t t = 0; t < threads_; ++t) workers_.emplace_back([this, t] { run(t); });
  }

  ~Generator() { stop(); }

  void stop() {
    {
      std::lock_guard<std::mutex> lock(pace_mutex_);
      stopping_ = true;
    }
    pace_.notify_all();
    for (auto& w : workers_) {
      if (w.joinable()) w.join();
    }
  }

  json status() const { return json{{"ticks", ticks_.load()}, {"running", running_.load() > 0}}; }

 private:
  void run(uint32_t thread) {
    auto period = std::chrono::duration<double>(fps_ > 0 ? 1.0 / fps_ : 0.0);
    auto next = std::chrono::steady_clock::now();
    for (uint32_t frame = 0; !stopping_ && (frames_ == 0 || frame < frames_); ++frame) {
      for (size_t i = thread; i < patterns_.size(); i += threads_) {
        Pattern& p = *patterns_[i];
        p.draw(frame);
        size_t n = i / (sub_ ? 2 : 1);
        std::string user = names_.empty() ? prefix_ + std::to_string(first_user_ + n) : names_[n];
        deliver(preview_, room_, user, sub_ && i % 2 == 1, p.data(), p.geometry(), 0);
      }
      if (thread == 0) ++ticks_;
      if (fps_ > 0) {
        next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
        // However slow the pace, stop() ends the wait at once.
        std::unique_lock<std::mutex> lock(pace_mutex_);
        pace_.wait_until(lock, next, [this] { return stopping_.load(); });
      }
    }
    --running_;
  }

  bool preview_;
  std::string room_;
  std::string prefix_;
  std::vector<std::string> names_;  // given names instead of prefix + number
  uint32_t users_;
  uint32_t first_user_;
  double fps_;
  uint32_t frames_;
  bool sub_;
  uint32_t threads_;
  std::vector<std::unique_ptr<Pattern>> patterns_;
  std::vector<std::thread> workers_;
  std::atomic<bool> stopping_{false};
  std::mutex pace_mutex_;
  std::condition_variable pace_;
  std::atomic<uint64_t> ticks_{0};
  std::atomic<int> running_{0};
};

std::mutex g_mutex;
std::map<int64_t, std::unique_ptr<Generator>> g_generators;
int64_t g_next = 1;

// One frame given by script: { room, user, sub, width, height, type, bytes (base64),
// offsets, strides }. Offsets and strides default to the I420 layout; bytes default
// to the test pattern of frame `frame`. The SDK reads exactly what the offsets say,
// so a frame whose bytes are shorter than its layout is refused here.
json push_frame(const json& settings) {
  auto [width, height] = frame_size(settings, 64, 36);
  Geometry g = i420(width, height);
  if (settings.contains("offsets")) {
    auto o = settings.at("offsets").get<std::vector<int32_t>>();
    for (size_t i = 0; i < 4 && i < o.size(); ++i) g.offsets[i] = o[i];
    g.size = static_cast<size_t>(std::max<int64_t>(0, 2LL * g.offsets[2] - g.offsets[1]));
  }
  if (settings.contains("strides")) {
    auto s = settings.at("strides").get<std::vector<int32_t>>();
    for (size_t i = 0; i < 4 && i < s.size(); ++i) g.strides[i] = s[i];
  }
  std::vector<uint8_t> bytes;
  if (settings.contains("bytes")) {
    bytes = decode_base64(settings.at("bytes").get<std::string>());
  } else {
    Pattern p(settings.value("userIndex", 1u), settings.value("sub", false) ? 1 : 0, width, height);
    p.draw(settings.value("frame", 0u));
    bytes.assign(p.data(), p.data() + p.geometry().size);
  }
  if (bytes.size() < g.size) throw std::invalid_argument("frame bytes are shorter than its layout");
  bool preview = to_preview(settings);
  std::string room = settings.value("room", "");
  std::string user = settings.value("user", "sim-user-1");
  bool sub = settings.value("sub", false);
  uint32_t type = settings.value("type", 0u);
  auto deliver_now = [preview, room, user, sub, bytes = std::move(bytes), g, type] {
    deliver(preview, room, user, sub, bytes.data(), g, type);
  };
  if (settings.value("mode", "async") == "sync") {
    deliver_now();
  } else {
    Engine::get().post(deliver_now);
  }
  return preview ? preview_room_listeners().count("") : room_listeners().count(room);
}

json start_generator(const json& settings) {
  auto generator = std::make_unique<Generator>(settings);
  std::lock_guard<std::mutex> lock(g_mutex);
  int64_t id = g_next++;
  g_generators[id] = std::move(generator);
  return id;
}

json stop_generators(const json& settings) {
  std::map<int64_t, std::unique_ptr<Generator>> stopping;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (settings.is_object() && settings.contains("id")) {
      auto found = g_generators.find(settings.at("id").get<int64_t>());
      if (found != g_generators.end()) {
        stopping.insert(std::move(*found));
        g_generators.erase(found);
      }
    } else {
      stopping.swap(g_generators);
    }
  }
  json report = json::object();
  for (auto& [id, generator] : stopping) {
    generator->stop();
    report[std::to_string(id)] = generator->status();
  }
  return report;
}

json generator_status(const json& settings) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto found = g_generators.find(settings.at("id").get<int64_t>());
  if (found == g_generators.end()) return nullptr;
  return found->second->status();
}

const bool registered = add_command("framePush", push_frame) && add_command("frameStart", start_generator) &&
                        add_command("frameStop", stop_generators) && add_command("frameStatus", generator_status);

}  // namespace

int64_t start_frames(const json& settings) { return start_generator(settings).get<int64_t>(); }
void stop_frames(int64_t id) { stop_generators(json{{"id", id}}); }

}  // namespace parlo_sim
