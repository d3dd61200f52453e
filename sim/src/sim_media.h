// What the two simulated RTC controllers share, as the SDK's interfaces share their
// base: the machine's devices, volumes and playout mute, what the SDK was told, the
// local recording, and the operations of the SDK's base RTC controller over them.
// A room's controller (sim_rtc.h) and the preview room's (sim_preview.h) derive
// from SimMediaController with a state that derives from MediaState; each says which
// lock guards its state and where the events of an operation are raised.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "engine.h"
#include "rtc_json.h"
#include "sdk/base_room_listener.h"
#include "sdk/rtc_controller.h"

namespace parlo_sim {

// Codes of the simulated controllers beyond success.
constexpr int32_t kNotFound = 404;    // an unknown device, capture source or user, or the room is gone
constexpr int32_t kWrongState = 409;  // something started twice, or stopped when not running

// Statuses of the simulated local recorder (onLocalRecorderStatus).
constexpr int32_t kRecordingStarted = 1;
constexpr int32_t kRecordingStopped = 2;
constexpr int32_t kRemuxDone = 3;

struct LocalRecording {
  bool recording = false;
  bool remuxing = false;           // after a stop, until stopLocalRecorderRemux
  json params;                     // of the last start; null before
  parlo::LocalRecordLayoutList layouts;
  int64_t framesPushed = 0;        // since the last start
  json lastFrame;                  // { id, streamType, frame } of the last push; null before
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(LocalRecording, recording, remuxing, params, layouts, framesPushed,
                                                lastFrame)

// What both controllers keep; their states add their own and list every key for JSON.
struct MediaState {
  // The machine, as script sets it.
  bool supported = true;
  int32_t virtualBackgroundSupportedType = 3;
  parlo::RtcDeviceList cameras;
  parlo::RtcDeviceList playouts;
  parlo::RtcDeviceList records;
  // Chosen by the SDK's operations or by script.
  std::string selectedCamera;
  std::string selectedPlayout;
  std::string selectedRecord;
  uint32_t playoutVolume = 100;
  uint32_t recordVolume = 100;
  bool playoutMute = false;
  // What the SDK was told.
  LocalRecording localRecord;
  json settings;  // by subject; null until told
};

// What the listeners of a room or of the preview room hear from one operation: the
// events both listeners have.
using MediaEvent = std::function<void(parlo::IQVBaseRoomListener*)>;
using MediaEvents = std::vector<MediaEvent>;

template <class... P, class... A>
MediaEvent media_event(void (parlo::IQVBaseRoomListener::*operation)(P...), A... args) {
  return [operation, args...](parlo::IQVBaseRoomListener* listener) { (listener->*operation)(args...); };
}

// A machine with two devices of each kind, the first the default and chosen, and the
// subjects of the base controller's operations untold.
MediaState initial_media();

const parlo::RtcDeviceInfo* find_device(const parlo::RtcDeviceList& list, const std::string& id);
// The default device's ID: the first marked default; "" when none is.
std::string default_id(const parlo::RtcDeviceList& list);

// The device lists and choices of `changes`, laid into `after` (already merged):
// checks them, moves a chosen device that is gone to the default unless script
// chose one, and answers what the SDK reports: devices gone, devices added, then a
// new default playout or record device. Throws on a device without deviceId, an id
// listed twice, two defaults or a chosen device not listed.
MediaEvents device_changes(const MediaState& before, MediaState& after, const json& changes);

// Where a local recording goes: its file name (or "local-record.mp4") in its file path.
std::string recording_path(const json& params);

// The operations of the SDK's base RTC controller over a State derived from
// MediaState. `interface` names the SDK interface in the journal when the
// operations' names are not enough to tell the controllers apart.
template <class Interface, class State>
class SimMediaController : public Interface {
 public:
  bool isSupported() override { return value("isSupported", &State::supported); }
  int32_t setupLocalVideoCanvas(const parlo::VideoCanvas& canvas) override {
    return tell("setupLocalVideoCanvas", json::array({canvas}), "localVideoCanvas", canvas);
  }
  int32_t enumCameraDevices(parlo::RtcDeviceList& devices) override {
    return fill("enumCameraDevices", devices, copy_of(&State::cameras));
  }
  int32_t getSelectedCameraDevice(std::string& deviceId) override {
    return fill("getSelectedCameraDevice", deviceId, copy_of(&State::selectedCamera));
  }
  int32_t selectCameraDevice(const std::string& deviceId) override {
    return select("selectCameraDevice", deviceId, &State::cameras, &State::selectedCamera);
  }
  int32_t enumPlayoutDevices(parlo::RtcDeviceList& devices) override {
    return fill("enumPlayoutDevices", devices, copy_of(&State::playouts));
  }
  int32_t getDefaultPlayoutDevice(parlo::RtcDeviceInfo& device) override {
    return fill("getDefaultPlayoutDevice", device, default_of(&State::playouts));
  }
  int32_t getSelectedPlayoutDevice(std::string& deviceId) override {
    return fill("getSelectedPlayoutDevice", deviceId, copy_of(&State::selectedPlayout));
  }
  int32_t selectPlayoutDevice(const std::string& deviceId) override {
    return select("selectPlayoutDevice", deviceId, &State::playouts, &State::selectedPlayout);
  }
  uint32_t getPlayoutDeviceVolume() override { return value("getPlayoutDeviceVolume", &State::playoutVolume); }
  int32_t setPlayoutDeviceVolume(uint32_t volume) override {
    return store("setPlayoutDeviceVolume", volume, &State::playoutVolume);
  }
  int32_t enumRecordDevices(parlo::RtcDeviceList& devices) override {
    return fill("enumRecordDevices", devices, copy_of(&State::records));
  }
  int32_t getDefaultRecordDevice(parlo::RtcDeviceInfo& device) override {
    return fill("getDefaultRecordDevice", device, default_of(&State::records));
  }
  int32_t getSelectedRecordDevice(std::string& deviceId) override {
    return fill("getSelectedRecordDevice", deviceId, copy_of(&State::selectedRecord));
  }
  int32_t selectRecordDevice(const std::string& deviceId) override {
    return select("selectRecordDevice", deviceId, &State::records, &State::selectedRecord);
  }
  uint32_t getRecordDeviceVolume() override { return value("getRecordDeviceVolume", &State::recordVolume); }
  int32_t setRecordDeviceVolume(uint32_t volume) override {
    return store("setRecordDeviceVolume", volume, &State::recordVolume);
  }
  int32_t setLocalVideoResolution(int32_t resolution) override {
    return tell("setLocalVideoResolution", json::array({resolution}), "localVideoResolution", resolution);
  }
  int32_t setLocalVideoFramerate(int32_t framerate) override {
    return tell("setLocalVideoFramerate", json::array({framerate}), "localVideoFramerate", framerate);
  }
  int32_t setAudioDeviceAutoSelectType(int32_t type) override {
    return tell("setAudioDeviceAutoSelectType", json::array({type}), "audioDeviceAutoSelectType", type);
  }
  int32_t setAudioProfile(int32_t profile, int32_t scenario) override {
    return tell("setAudioProfile", json::array({profile, scenario}), "audioProfile",
                json{{"profile", profile}, {"scenario", scenario}});
  }
  int32_t enableAudioEchoCancellation(bool enable) override {
    return tell("enableAudioEchoCancellation", json::array({enable}), "audioEchoCancellation", enable);
  }
  int32_t enableAudioVolumeIndication(const std::string& id, bool enable, int32_t interval, bool flag) override {
    return tell("enableAudioVolumeIndication", json::array({id, enable, interval, flag}), "audioVolumeIndication",
                json{{"id", id}, {"enable", enable}, {"interval", interval}, {"flag", flag}});
  }
  int32_t enableAudioVolumeIndication(bool enable, int32_t interval) override {
    return tell("enableAudioVolumeIndication", json::array({enable, interval}), "audioVolumeIndication",
                json{{"enable", enable}, {"interval", interval}});
  }
  int32_t startAudioDump(int32_t type) override {
    return tell("startAudioDump", json::array({type}), "audioDump", type);
  }
  int32_t stopAudioDump() override { return tell("stopAudioDump", json::array(), "audioDump", nullptr); }
  int32_t enableAudioAINS(bool enable) override {
    return tell("enableAudioAINS", json::array({enable}), "audioAINS", enable);
  }
  int32_t enableAudioVolumeAutoAdjust(bool enable) override {
    return tell("enableAudioVolumeAutoAdjust", json::array({enable}), "audioVolumeAutoAdjust", enable);
  }
  int32_t adjustRecordingSignalVolume(uint32_t volume) override {
    return tell("adjustRecordingSignalVolume", json::array({volume}), "recordingSignalVolume", volume);
  }
  int32_t getPlayoutDeviceMute(bool& mute) override {
    return fill("getPlayoutDeviceMute", mute, copy_of(&State::playoutMute));
  }
  int32_t adjustPlaybackSignalVolume(uint32_t volume) override {
    return tell("adjustPlaybackSignalVolume", json::array({volume}), "playbackSignalVolume", volume);
  }
  int32_t getVirtualBackgroundSupportedType() override {
    return value("getVirtualBackgroundSupportedType", &State::virtualBackgroundSupportedType);
  }

  // The recorder reports its statuses, and a frame pushed while nothing records.
  int32_t startLocalRecord(const parlo::LocalRecordParams& params) override {
    return apply("startLocalRecord", json::array({params}), [&](State& s, MediaEvents& events) {
      LocalRecording& r = s.localRecord;
      if (r.recording) return kWrongState;
      r.recording = true;
      r.remuxing = false;
      r.params = params;
      r.framesPushed = 0;
      events.push_back(media_event(&BaseListener::onLocalRecorderStatus, kRecordingStarted, recording_path(r.params)));
      return 0;
    });
  }
  int32_t stopLocalRecord() override {
    return apply("stopLocalRecord", json::array(), [&](State& s, MediaEvents& events) {
      LocalRecording& r = s.localRecord;
      if (!r.recording) return kWrongState;
      r.recording = false;
      r.remuxing = true;
      events.push_back(media_event(&BaseListener::onLocalRecorderStatus, kRecordingStopped, recording_path(r.params)));
      return 0;
    });
  }
  int32_t updateLocalRecordLayouts(const parlo::LocalRecordLayoutList& layouts) override {
    return apply("updateLocalRecordLayouts", json::array({layouts}), [&](State& s) {
      s.localRecord.layouts = layouts;
      return 0;
    });
  }
  int32_t pushLocalRecorderVideoFrame(const std::string& id, int32_t streamType,
                                      const parlo::RecorderVideoFrame& frame) override {
    const json shown = frame;
    return apply("pushLocalRecorderVideoFrame", json::array({id, streamType, shown}),
                 [&](State& s, MediaEvents& events) {
                   if (!s.localRecord.recording) {
                     events.push_back(
                         media_event(&BaseListener::onLocalRecorderError, kWrongState, std::string("not recording")));
                     return kWrongState;
                   }
                   ++s.localRecord.framesPushed;
                   s.localRecord.lastFrame = json{{"id", id}, {"streamType", streamType}, {"frame", shown}};
                   return 0;
                 });
  }
  int32_t stopLocalRecorderRemux() override {
    return apply("stopLocalRecorderRemux", json::array(), [&](State& s, MediaEvents& events) {
      LocalRecording& r = s.localRecord;
      if (r.remuxing) {
        events.push_back(media_event(&BaseListener::onLocalRecorderStatus, kRemuxDone, recording_path(r.params)));
      }
      r.remuxing = false;
      return 0;
    });
  }

 protected:
  using BaseListener = parlo::IQVBaseRoomListener;

  SimMediaController(State initial, const char* interface) : s_(std::move(initial)), interface_(interface) {}

  // The lock that guards the state.
  virtual std::mutex& state_mutex() = 0;
  // Raises what an operation reports on the controller's listeners, later, on the SDK thread.
  virtual void raise(MediaEvents events) = 0;

  Answer call(const char* op, json args = json::array()) { return Engine::get().call(op, std::move(args), interface_); }

  // A synchronous operation: `change` runs on the state under its lock and answers
  // the code, adding what the listeners hear; a failed change leaves the state as it
  // was (what it reports, an error, is still heard). A scripted non-zero return
  // value fails the operation instead, and a scripted zero replaces the code.
  int32_t apply(const char* op, json args, const std::function<int32_t(State&, MediaEvents&)>& change) {
    Answer answer = call(op, std::move(args));
    const int32_t scripted = answer.template ret_or<int32_t>(0);
    if (scripted != 0) return scripted;
    MediaEvents events;
    int32_t code = 0;
    {
      std::lock_guard<std::mutex> lock(state_mutex());
      State before = s_;
      code = change(s_, events);
      if (code != 0) s_ = std::move(before);
    }
    raise(std::move(events));
    return answer.template ret_or<int32_t>(code);
  }
  int32_t apply(const char* op, json args, const std::function<int32_t(State&)>& change) {
    return apply(op, std::move(args), [&](State& s, MediaEvents&) { return change(s); });
  }

  // An operation that only records what the SDK was told, under settings[key].
  int32_t tell(const char* op, json args, const char* key, json value) {
    return apply(op, std::move(args), [&](State& s) {
      s.settings[key] = std::move(value);
      return 0;
    });
  }
  // The same, under settings[key][entry].
  int32_t tell_of(const char* op, json args, const char* key, const std::string& entry, json value) {
    return apply(op, std::move(args), [&](State& s) {
      s.settings[key][entry] = std::move(value);
      return 0;
    });
  }
  template <class T, class C>
  int32_t store(const char* op, T value, T C::*field) {
    return apply(op, json::array({value}), [&](State& s) {
      s.*field = value;
      return 0;
    });
  }

  // An operation that fills `out`: `read` fills it from the state and answers the
  // code; a scripted result fills it instead, a scripted return value replaces the code.
  template <class T, class Read>
  int32_t fill(const char* op, T& out, Read read) {
    Answer answer = call(op);
    int32_t code = 0;
    {
      std::lock_guard<std::mutex> lock(state_mutex());
      code = read(s_, out);
    }
    out = answer.template result_or<T>(std::move(out));
    return answer.template ret_or<int32_t>(code);
  }

  template <class T, class C>
  T value(const char* op, T C::*field) {
    Answer answer = call(op);
    std::lock_guard<std::mutex> lock(state_mutex());
    return answer.template ret_or<T>(s_.*field);
  }

  int32_t select(const char* op, const std::string& id, parlo::RtcDeviceList State::*list,
                 std::string State::*selected) {
    return apply(op, json::array({id}), [&](State& s) {
      if (find_device(s.*list, id) == nullptr) return kNotFound;
      s.*selected = id;
      return 0;
    });
  }

  State s_;

 private:
  template <class T, class C>
  static auto copy_of(T C::*field) {
    return [field](const State& s, T& out) -> int32_t {
      out = s.*field;
      return 0;
    };
  }
  static auto default_of(parlo::RtcDeviceList State::*list) {
    return [list](const State& s, parlo::RtcDeviceInfo& out) -> int32_t {
      const parlo::RtcDeviceInfo* found = find_device(s.*list, default_id(s.*list));
      if (found == nullptr) return kNotFound;
      out = *found;
      return 0;
    };
  }

  const char* interface_;
};

}  // namespace parlo_sim
