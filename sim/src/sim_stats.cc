// The simulated SDK's RTC statistics: every joined room has a statistics source
// that, while the room's media runs (its local member is in the RTC channel),
// reports the six kinds of statistics to the room's statistics listeners every
// interval, on the SDK thread; script can also ask for one report at once
// (sim.stats in the control module).
//
// The figures follow from the room's members and from a few settings per room, so
// a test can check them:
//   - local streams: main audio while the local member's audio is on (streamType 0)
//     and sub audio while it shares system audio (streamType 1); a main video layer
//     (layerType 1, the role's video size and frame rate) while its video is on and
//     a sub layer (layerType 2, 1920 x 1080 at 15) while it shares its screen;
//   - remote streams: the same for each remote member, keyed by user UUID;
//   - bit rates: audioKbps per audio stream, videoKbps per main and screenKbps per
//     sub layer; the byte counters grow by rate x covered milliseconds / 8 per
//     report, txBytes = txAudioBytes + txVideoBytes and rxBytes likewise;
//   - totalDuration: the seconds the reports of this call have covered;
//   - rtt, loss rates and network quality from the settings; loss sums grow by
//     lossRate x covered seconds; jitter is a quarter of the rtt;
//   - cpuIdleUsageRatio = 100 - cpuTotalUsageRatio >= cpuAppUsageRatio.
// A report covers one interval (1000 ms when periodic reports are off). The
// counters start again when the media starts again.
//
// Locking: a source's counters are under its own lock; the settings under the
// sources' lock; room state is read through with_room. No listener is called with
// any of them held except a source's own, which no listener can reach.
#include <algorithm>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

#include "engine.h"
#include "listener_kinds.h"
#include "room_registry.h"

namespace parlo_sim {
namespace {

struct StatsSettings {
  int intervalMs = 2000;  // 0: no periodic reports
  int32_t audioKbps = 48;
  int32_t videoKbps = 800;
  int32_t screenKbps = 1200;
  int32_t rttMs = 40;
  int32_t lossRate = 0;  // percent
  int32_t quality = 1;   // the network quality status of everyone
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(StatsSettings, intervalMs, audioKbps, videoKbps, screenKbps, rttMs,
                                                lossRate, quality)

// One report of the six kinds, as the listeners hear it.
struct Report {
  parlo::RtcStats rtcStats;
  std::list<parlo::LocalAudioStats> localAudio;
  parlo::RemoteAudioStatsMap remoteAudio;
  std::list<parlo::LocalVideoStats> localVideo;
  parlo::RemoteVideoStatsMap remoteVideo;
  std::list<parlo::NetworkQualityInfo> network;
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Report, rtcStats, localAudio, remoteAudio, localVideo, remoteVideo,
                                                network)

// What a call's reports have added up so far.
struct Totals {
  int64_t coveredMs = 0;
  uint64_t txAudioBytes = 0;
  uint64_t txVideoBytes = 0;
  uint64_t rxAudioBytes = 0;
  uint64_t rxVideoBytes = 0;
  int64_t txAudioLoss = 0;
  int64_t txVideoLoss = 0;
  int64_t rxAudioLoss = 0;
  int64_t rxVideoLoss = 0;
};

constexpr int kShortestInterval = 20;
constexpr int kLongestInterval = 3600000;
constexpr int32_t kMainLayer = 1;
constexpr int32_t kSubLayer = 2;
constexpr const char* kEncoder = "sim-h264";

Engine& engine() { return Engine::get(); }

void check(const StatsSettings& s) {
  if (s.intervalMs != 0 && (s.intervalMs < kShortestInterval || s.intervalMs > kLongestInterval)) {
    throw std::invalid_argument("intervalMs is 0 (no periodic reports) or 20 to an hour");
  }
  for (int32_t kbps : {s.audioKbps, s.videoKbps, s.screenKbps}) {
    if (kbps < 0 || kbps > 1000000) throw std::invalid_argument("bit rates are 0 to 1000000 kbps");
  }
  if (s.rttMs < 0 || s.lossRate < 0 || s.lossRate > 100) {
    throw std::invalid_argument("rttMs is at least 0 and lossRate 0 to 100");
  }
}

// The streams of one member, from its member record as JSON.
struct Streams {
  bool audio = false;
  bool systemAudio = false;
  bool video = false;
  bool screen = false;
  int32_t width = 640;
  int32_t height = 360;
  int32_t fps = 15;
};

Streams streams_of(const json& member) {
  Streams s;
  if (!member.is_object()) return s;
  s.audio = member.value("isAudioOn", false);
  s.systemAudio = member.value("isSharingSystemAudio", false);
  s.video = member.value("isVideoOn", false);
  s.screen = member.value("isSharingScreen", false);
  const json role = member.value("role", json::object());
  if (role.value("videoWidth", 0) > 0 && role.value("videoHeight", 0) > 0) {
    s.width = role.value("videoWidth", 0);
    s.height = role.value("videoHeight", 0);
  }
  if (role.value("videoFps", 0) > 0) s.fps = role.value("videoFps", 0);
  return s;
}

// The media of a room runs while its local member is in the RTC channel.
bool media_runs(const json& room) {
  const json me = room.value("localMember", json());
  return me.is_object() && me.value("isInRtcChannel", false);
}

uint64_t bytes_over(int32_t kbps, int64_t ms) { return static_cast<uint64_t>(kbps) * static_cast<uint64_t>(ms) / 8; }

// The report of `room` covering `ms` more milliseconds of the call in `t`.
Report compute(const json& room, const StatsSettings& cfg, int64_t ms, Totals& t) {
  Report r;
  const Streams me = streams_of(room.value("localMember", json()));
  int32_t tx_audio = 0, tx_video = 0, rx_audio = 0, rx_video = 0;
  auto local_audio = [&](int32_t type, int32_t channels) {
    r.localAudio.push_back({type, channels, 48000, cfg.audioKbps, cfg.lossRate, cfg.rttMs, 60, 100});
    tx_audio += cfg.audioKbps;
  };
  if (me.audio) local_audio(0, 1);
  if (me.systemAudio) local_audio(1, 2);
  auto local_video = [&](int32_t layer, int32_t w, int32_t h, int32_t fps, int32_t kbps) {
    r.localVideo.push_back({layer, w, h, w, h, fps, fps, fps, fps, kbps, kbps, kbps, kEncoder});
    tx_video += kbps;
  };
  if (me.video) local_video(kMainLayer, me.width, me.height, me.fps, cfg.videoKbps);
  if (me.screen) local_video(kSubLayer, 1920, 1080, 15, cfg.screenKbps);

  const std::string my_uuid = room.value("localMember", json::object()).value("uuid", "");
  r.network.push_back({my_uuid, cfg.quality, cfg.quality});
  for (const json& member : room.value("remoteMembers", json::array())) {
    if (!member.is_object()) continue;
    const std::string uuid = member.value("uuid", "");
    const Streams them = streams_of(member);
    auto remote_audio = [&](int32_t type) {
      r.remoteAudio[uuid].push_back({type, cfg.audioKbps, 0, 0, cfg.lossRate, 60});
      rx_audio += cfg.audioKbps;
    };
    if (them.audio) remote_audio(0);
    if (them.systemAudio) remote_audio(1);
    auto remote_video = [&](int32_t layer, int32_t w, int32_t h, int32_t fps, int32_t kbps) {
      r.remoteVideo[uuid].push_back({layer, w, h, kbps, fps, fps, fps, cfg.lossRate, 0, 0, kEncoder});
      rx_video += kbps;
    };
    if (them.video) remote_video(kMainLayer, them.width, them.height, them.fps, cfg.videoKbps);
    if (them.screen) remote_video(kSubLayer, 1920, 1080, 15, cfg.screenKbps);
    r.network.push_back({uuid, cfg.quality, cfg.quality});
  }

  t.coveredMs += ms;
  t.txAudioBytes += bytes_over(tx_audio, ms);
  t.txVideoBytes += bytes_over(tx_video, ms);
  t.rxAudioBytes += bytes_over(rx_audio, ms);
  t.rxVideoBytes += bytes_over(rx_video, ms);
  const int64_t lost = static_cast<int64_t>(cfg.lossRate) * ms / 1000;
  if (tx_audio > 0) t.txAudioLoss += lost;
  if (tx_video > 0) t.txVideoLoss += lost;
  if (rx_audio > 0) t.rxAudioLoss += lost;
  if (rx_video > 0) t.rxVideoLoss += lost;

  const auto count = static_cast<uint32_t>(r.localAudio.size() + r.localVideo.size() + r.remoteAudio.size() +
                                           r.remoteVideo.size());
  parlo::RtcStats& s = r.rtcStats;
  s.cpuAppUsageRatio = std::min<uint32_t>(4 + 2 * count, 70);
  s.cpuTotalUsageRatio = s.cpuAppUsageRatio + 20;
  s.cpuIdleUsageRatio = 100 - s.cpuTotalUsageRatio;
  s.memoryAppUsageRatio = 2;
  s.memoryTotalUsageRatio = 45;
  s.memoryAppInKBytes = 180000 + 12000 * count;
  s.totalDuration = static_cast<int32_t>(t.coveredMs / 1000);
  s.txAudioBytes = t.txAudioBytes;
  s.txVideoBytes = t.txVideoBytes;
  s.rxAudioBytes = t.rxAudioBytes;
  s.rxVideoBytes = t.rxVideoBytes;
  s.txBytes = t.txAudioBytes + t.txVideoBytes;
  s.rxBytes = t.rxAudioBytes + t.rxVideoBytes;
  s.txAudioKBitRate = tx_audio;
  s.rxAudioKBitRate = rx_audio;
  s.txVideoKBitRate = tx_video;
  s.rxVideoKBitRate = rx_video;
  s.upRtt = cfg.rttMs;
  s.downRtt = cfg.rttMs;
  s.txAudioPacketLossRate = tx_audio > 0 ? cfg.lossRate : 0;
  s.txVideoPacketLossRate = tx_video > 0 ? cfg.lossRate : 0;
  s.rxAudioPacketLossRate = rx_audio > 0 ? cfg.lossRate : 0;
  s.rxVideoPacketLossRate = rx_video > 0 ? cfg.lossRate : 0;
  s.txAudioPacketLossSum = static_cast<int32_t>(t.txAudioLoss);
  s.txVideoPacketLossSum = static_cast<int32_t>(t.txVideoLoss);
  s.rxAudioPacketLossSum = static_cast<int32_t>(t.rxAudioLoss);
  s.rxVideoPacketLossSum = static_cast<int32_t>(t.rxVideoLoss);
  s.txAudioJitter = tx_audio > 0 ? cfg.rttMs / 4 : 0;
  s.txVideoJitter = tx_video > 0 ? cfg.rttMs / 4 : 0;
  s.rxAudioJitter = rx_audio > 0 ? cfg.rttMs / 4 : 0;
  s.rxVideoJitter = rx_video > 0 ? cfg.rttMs / 4 : 0;
  return r;
}

// Raises one report on the statistics listeners of `room`, in the listener's order.
void raise(const std::string& room, const Report& r) {
  rtc_stats_listeners().for_each(room, [&](parlo::IQVRtcStatsListener* listener) {
    listener->onRtcStats(r.rtcStats);
    listener->onLocalAudioStats(r.localAudio);
    listener->onRemoteAudioStats(r.remoteAudio);
    listener->onLocalVideoStats(r.localVideo);
    listener->onRemoteVideoStats(r.remoteVideo);
    listener->onNetworkQuality(r.network);
  });
  engine().count("statsReports");
}

class StatsSource;

// Settings by room UUID (kept across joins until reset) and the source of each
// joined room.
struct Sources {
  std::mutex mutex;
  std::map<std::string, StatsSettings> settings;
  std::map<std::string, std::weak_ptr<StatsSource>> current;
};

Sources& sources() {
  static auto* s = new Sources();
  return *s;
}

StatsSettings settings_of(const std::string& room) {
  std::lock_guard<std::mutex> lock(sources().mutex);
  auto found = sources().settings.find(room);
  return found == sources().settings.end() ? StatsSettings{} : found->second;
}

// The joined room's state; null when no room of that UUID is joined.
json room_state(const std::string& room) {
  json state;
  with_room(room, [&](SimRoom& r) {
    state = r.state();
    return RoomEvents{};
  });
  return state;
}

// The statistics source of one joined room: made with the room, gone with it.
class StatsSource : public std::enable_shared_from_this<StatsSource> {
 public:
  explicit StatsSource(std::string room) : room_(std::move(room)) {}

  // Starts the periodic reports again from now, at the room's interval.
  void restart() {
    uint64_t run = 0;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      run = ++run_;
    }
    schedule(run);
  }

  // One report now, whether or not the media runs; `overrides` replace the computed
  // kinds they name (rtcStats field by field). Answers the report as raised.
  json report_now(const json& overrides, bool sync) {
    json state = room_state(room_);
    if (state.is_null()) throw std::invalid_argument("no joined room " + room_);
    StatsSettings cfg = settings_of(room_);
    Report r;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      r = compute(state, cfg, cfg.intervalMs > 0 ? cfg.intervalMs : 1000, totals_);
    }
    json shown = r;
    if (overrides.is_object()) {
      for (const auto& [key, value] : overrides.items()) {
        if (!shown.contains(key)) throw std::invalid_argument("a report has no " + key);
        if (key == "rtcStats") {
          shown[key].update(value);
        } else {
          shown[key] = value;
        }
      }
      r = shown.get<Report>();
      shown = r;
    }
    remember(shown);
    if (sync) {
      raise(room_, r);
    } else {
      engine().post([room = room_, r] { raise(room, r); });
    }
    return shown;
  }

  json status() {
    StatsSettings cfg = settings_of(room_);
    json state = room_state(room_);
    std::lock_guard<std::mutex> lock(mutex_);
    return json{{"settings", cfg},
                {"running", cfg.intervalMs > 0 && !state.is_null() && media_runs(state)},
                {"reports", reports_},
                {"coveredMs", totals_.coveredMs},
                {"last", last_}};
  }

 private:
  void schedule(uint64_t run) {
    const int interval = settings_of(room_).intervalMs;
    if (interval == 0) return;
    std::weak_ptr<StatsSource> weak = weak_from_this();
    engine().post([weak, run] {
      if (auto source = weak.lock()) source->tick(run);
    }, interval);
  }

  // On the SDK thread: a report while the media runs, then the next tick, as long as
  // this run lasts and this source is its room's.
  void tick(uint64_t run) {
    {
      std::lock_guard<std::mutex> lock(sources().mutex);
      auto found = sources().current.find(room_);
      if (found == sources().current.end() || found->second.lock().get() != this) return;
    }
    json state = room_state(room_);
    if (state.is_null()) return;
    StatsSettings cfg = settings_of(room_);
    if (cfg.intervalMs == 0) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (run != run_) return;
    const bool runs = media_runs(state);
    if (runs && !running_) totals_ = Totals{};  // a new call
    running_ = runs;
    if (runs) {
      Report r = compute(state, cfg, cfg.intervalMs, totals_);
      last_ = r;
      ++reports_;
      raise(room_, r);
    }
    schedule(run);
  }

  void remember(const json& shown) {
    std::lock_guard<std::mutex> lock(mutex_);
    last_ = shown;
    ++reports_;
  }

  const std::string room_;
  std::mutex mutex_;
  uint64_t run_ = 0;
  bool running_ = false;
  Totals totals_;
  int64_t reports_ = 0;
  json last_;
};

std::shared_ptr<StatsSource> source_of(const std::string& room) {
  std::lock_guard<std::mutex> lock(sources().mutex);
  auto found = sources().current.find(room);
  std::shared_ptr<StatsSource> source = found == sources().current.end() ? nullptr : found->second.lock();
  if (source == nullptr) throw std::invalid_argument("no joined room " + room);
  return source;
}

// Every joined room gets its source; it reports for as long as the room lives.
const bool factory_added = add_room_controller("rtcStatsSource", [](const std::string& room) -> std::shared_ptr<void> {
  auto source = std::make_shared<StatsSource>(room);
  {
    std::lock_guard<std::mutex> lock(sources().mutex);
    sources().current[room] = source;
  }
  source->restart();
  return source;
});

// Settings of a room that is not joined are kept for when it is.
json configure(const json& args) {
  const std::string room = args.at("room").get<std::string>();
  json merged = settings_of(room);
  merged.update(args.at("settings"));
  StatsSettings settings = merged.get<StatsSettings>();
  check(settings);
  std::shared_ptr<StatsSource> source;
  {
    std::lock_guard<std::mutex> lock(sources().mutex);
    sources().settings[room] = settings;
    auto found = sources().current.find(room);
    if (found != sources().current.end()) source = found->second.lock();
  }
  if (source) source->restart();
  return merged;
}

json reset_settings(const json&) {
  std::list<std::shared_ptr<StatsSource>> running;
  {
    std::lock_guard<std::mutex> lock(sources().mutex);
    sources().settings.clear();
    for (auto& [room, weak] : sources().current) {
      if (auto source = weak.lock()) running.push_back(source);
    }
  }
  for (auto& source : running) source->restart();
  return true;
}

const bool commands_added =
    add_command("stats.configure", configure) && add_command("stats.reset", reset_settings) &&
    add_command("stats.get",
                [](const json& args) { return source_of(args.at("room").get<std::string>())->status(); }) &&
    add_command("stats.report", [](const json& args) {
      return source_of(args.at("room").get<std::string>())
          ->report_now(args.value("reports", json()), args.value("mode", "async") == "sync");
    });

}  // namespace
}  // namespace parlo_sim
