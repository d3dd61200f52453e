// The simulated live-stream controller: a room's live stream as a small state
// machine. A start (from not started or ended) makes the stream's task and its
// addresses and goes live; an update changes what the stream shows, live or not
// yet; a stop, or removing the stream's own task, ends a live stream (stopping one
// that is not live changes nothing). Each change of state reaches the room's
// listeners as "onRoomLiveStateChanged", each change of the live page's images as
// "onRoomLiveBackgroundInfoChanged" with the images' new sequence.
#include <mutex>
#include <set>
#include <string>

#include "collab_json.h"
#include "sim_collab.h"

namespace parlo_sim {
namespace {

using L = parlo::IQVRoomListener;
using parlo::LiveBackground;
using parlo::LiveRecord;
using parlo::QVCompletion;

// The live states the simulation reports, after 0 (not started).
constexpr int32_t kLive = 1;
constexpr int32_t kEnded = 2;

constexpr int32_t kLiveAlready = 409;  // starting while live

Engine& engine() { return Engine::get(); }

class SimLive final : public parlo::IQVRoomLiveController {
 public:
  explicit SimLive(std::string room) : room_(std::move(room)) {}

  bool isSupported() override { return engine().call("isSupported").ret_or<bool>(true); }

  LiveRecord getLiveInfo() override {
    Answer answer = engine().call("getLiveInfo");
    std::lock_guard<std::mutex> lock(room_registry().mutex);
    return answer.ret_or<LiveRecord>(live_);
  }

  void startLive(const LiveRecord& live, parlo::QVResultCompletion<LiveRecord> done) override {
    Answer answer = engine().call("startLive", json::array({live}));
    LiveRecord started;
    RoomEvents events = on_room<RoomEvents>(room_, answer, [&](SimRoom&) -> RoomEvents {
      if (live_.state == kLive) {
        answer.code = kLiveAlready;
        answer.message = "the room is live already";
        return {};
      }
      std::string task = room_ + "-live-" + std::to_string(++starts_);
      live_ = live;
      live_.taskId = task;
      live_.pushUrl = "rtmp://push.parlo.sim/live/" + task;
      live_.pullHlsUrl = "https://pull.parlo.sim/live/" + task + ".m3u8";
      live_.pullHttpUrl = "https://pull.parlo.sim/live/" + task + ".flv";
      live_.pullRtmpUrl = "rtmp://pull.parlo.sim/live/" + task;
      live_.pullRtsUrl = "artc://pull.parlo.sim/live/" + task;
      tasks_ = {task};
      started = live_;
      return set_state(kLive);
    });
    finish_then_raise(room_, answer, std::move(done), std::move(events), answer.result_or(started));
  }

  // What the stream shows changes; whether third parties may watch stays as started.
  void updateLive(const LiveRecord& live, QVCompletion done) override {
    operate("updateLive", json::array({live}), std::move(done), [&](Answer&) -> RoomEvents {
      live_.title = live.title;
      live_.password = live.password;
      live_.liveLayout = live.liveLayout;
      live_.userUuidList = live.userUuidList;
      live_.extensionConfig = live.extensionConfig;
      return {};
    });
  }

  void stopLive(QVCompletion done) override {
    operate("stopLive", json::array(), std::move(done),
            [&](Answer&) { return live_.state == kLive ? end() : RoomEvents{}; });
  }

  void reservedSlot5() override {}
  void reservedSlot6() override {}

  void removeLiveStreamTask(const std::string& task, QVCompletion done) override {
    operate("removeLiveStreamTask", json::array({task}), std::move(done), [&](Answer& answer) -> RoomEvents {
      if (tasks_.erase(task) == 0) {
        answer.code = kNotFound;
        answer.message = "no live stream task " + task;
        return {};
      }
      return task == live_.taskId && live_.state == kLive ? end() : RoomEvents{};
    });
  }

  void getBackgroundInfo(parlo::QVResultCompletion<LiveBackground> done) override {
    Answer answer = engine().call("getBackgroundInfo");
    auto background = on_room<LiveBackground>(room_, answer, [&](SimRoom&) { return background_; });
    finish_then_raise(room_, answer, std::move(done), {}, answer.result_or(background));
  }

  void updateBackgroundInfo(const LiveBackground& background, parlo::QVResultCompletion<int64_t> done) override {
    Answer answer = engine().call("updateBackgroundInfo", json::array({background}));
    int64_t sequence = 0;
    RoomEvents events = on_room<RoomEvents>(room_, answer, [&](SimRoom&) {
      RoomEvents changed = set_background(background);
      sequence = background_.backgroundUpdatedSequence;
      return changed;
    });
    finish_then_raise(room_, answer, std::move(done), std::move(events), answer.result_or(sequence));
  }

  // --- changes (the rooms' lock is held) ---

  json state() const { return {{"live", live_}, {"background", background_}, {"tasks", tasks_}}; }

  // The service moves the stream to `state`.
  RoomEvents set_state(int32_t state) {
    if (live_.state == state) return {};
    live_.state = state;
    return {event(&L::onRoomLiveStateChanged, state)};
  }

  void add_task(const std::string& task) {
    if (!tasks_.insert(task).second) throw std::invalid_argument("live stream task " + task + " exists already");
  }

  // The page's four images become those of `background`, under the next sequence.
  RoomEvents set_background(const LiveBackground& background) {
    int64_t sequence = background_.backgroundUpdatedSequence + 1;
    background_ = background;
    background_.backgroundUpdatedSequence = sequence;
    return {event(&L::onRoomLiveBackgroundInfoChanged, sequence)};
  }

 private:
  template <class Change>
  void operate(const char* op, json args, QVCompletion done, Change change) {
    Answer answer = engine().call(op, std::move(args));
    RoomEvents events = on_room<RoomEvents>(room_, answer, [&](SimRoom&) { return change(answer); });
    finish_then_raise(room_, answer, std::move(done), std::move(events));
  }

  // The stream ends: its task and addresses go, what it showed stays.
  RoomEvents end() {
    tasks_.erase(live_.taskId);
    live_.taskId.clear();
    live_.pushUrl.clear();
    live_.pullHlsUrl.clear();
    live_.pullHttpUrl.clear();
    live_.pullRtmpUrl.clear();
    live_.pullRtsUrl.clear();
    return set_state(kEnded);
  }

  const std::string room_;
  // The rooms' lock guards what follows.
  LiveRecord live_;
  LiveBackground background_;
  std::set<std::string> tasks_;
  int64_t starts_ = 0;
};

ControllersByRoom<SimLive>& lives() {
  static auto* lives = new ControllersByRoom<SimLive>();
  return *lives;
}

// Runs a script command's change on the live stream of args.room and raises what it causes.
template <class Change>
json change_live(const json& args, Change change) {
  RoomEvents events = with_controller(lives(), args, [&](SimRoom&, SimLive& live) { return change(live); });
  raise_later(args.at("room").get<std::string>(), std::move(events));
  return true;
}

const bool registered =
    add_room_controller("liveController",
                        [](const std::string& room) { return lives().make<parlo::IQVRoomLiveController>(room); }) &&
    add_command("live.get",
                [](const json& args) {
                  return with_controller(lives(), args, [](SimRoom&, SimLive& live) { return live.state(); });
                }) &&
    add_command("live.setState",
                [](const json& args) {
                  int32_t state = args.at("state").get<int32_t>();
                  return change_live(args, [&](SimLive& live) { return live.set_state(state); });
                }) &&
    add_command("live.setBackground",
                [](const json& args) {
                  auto background = args.at("background").get<LiveBackground>();
                  return change_live(args, [&](SimLive& live) { return live.set_background(background); });
                }) &&
    add_command("live.addTask", [](const json& args) {
      std::string task = args.at("taskId").get<std::string>();
      return change_live(args, [&](SimLive& live) {
        live.add_task(task);
        return RoomEvents{};
      });
    });

}  // namespace
}  // namespace parlo_sim
