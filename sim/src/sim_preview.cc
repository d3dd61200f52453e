#include "sim_preview.h"

#include <algorithm>
#include <set>
#include <stdexcept>
#include <utility>

#include "frame_source.h"
#include "listener_kinds.h"
#include "sim_rooms.h"

namespace parlo_sim {
namespace {

using L = parlo::IQVPreviewRoomListener;
using B = parlo::IQVBaseRoomListener;

// The SDK's interface name, which tells the preview controller's operations apart
// from a room controller's of the same name in the journal and in answers.
constexpr const char* kInterface = "IQVPreviewRoomRtcController";

// The record test reports at least this often and at most this rarely.
constexpr uint32_t kShortestInterval = 10;
constexpr uint32_t kLongestInterval = 3600000;
// The volume above which the record test says someone speaks.
constexpr int32_t kVoiceVolume = 20;

Engine& engine() { return Engine::get(); }

// The keys script may set: the machine, and the choices, volumes and mutes the SDK's
// operations set too.
const std::set<std::string> kScriptable = {
    "supported",      "virtualBackgroundSupportedType", "cameras",         "playouts",       "records",
    "microphoneLevel", "previewVideo",                  "selectedCamera",  "selectedPlayout", "selectedRecord",
    "playoutVolume",  "recordVolume",                   "playoutMute",     "recordMute",
};

// A volume as the SDK was told it (adjustRecordingSignalVolume and the like): 100 until told.
double told_volume(const json& settings, const char* key) {
  const json& told = settings.value(key, json());
  return told.is_number() ? told.get<double>() : 100.0;
}

// The record test's volume: what the microphone hears through the device volume and
// the recording signal volume, 0 when muted, at most 255.
int32_t heard_volume(const PreviewState& s) {
  if (s.recordMute) return 0;
  const double level = std::clamp(s.microphoneLevel, 0, 255);
  const double volume = level * s.recordVolume / 100.0 * told_volume(s.settings, "recordingSignalVolume") / 100.0;
  return static_cast<int32_t>(std::min(volume, 255.0));
}

// The user the preview's frames are of: the signed-in account, as a room's local member.
std::string local_user() {
  std::string me = signed_in_account();
  return me.empty() ? "sim-local-user" : me;
}

PreviewState initial_state() {
  PreviewState s;
  static_cast<MediaState&>(s) = initial_media();
  return s;
}

}  // namespace

SimPreviewController::SimPreviewController() : SimMediaController(initial_state(), kInterface) {}

void SimPreviewController::raise(MediaEvents events) {
  if (events.empty()) return;
  engine().post([events = std::move(events)] {
    preview_room_listeners().for_each("", [&](L* listener) {
      for (const MediaEvent& e : events) e(listener);
    });
  });
}

// --- devices ---

int32_t SimPreviewController::setRecordDeviceMute(bool mute) {
  return store("setRecordDeviceMute", mute, &PreviewState::recordMute);
}
int32_t SimPreviewController::setPlayoutDeviceMute(bool mute) {
  return store("setPlayoutDeviceMute", mute, &PreviewState::playoutMute);
}
int32_t SimPreviewController::installAudioCaptureDriver() {
  return apply("installAudioCaptureDriver", json::array(), [&](PreviewState& s) {
    s.audioCaptureDriverInstalled = true;
    return 0;
  });
}
int32_t SimPreviewController::setLocalVoicePitch(double pitch) {
  return store("setLocalVoicePitch", pitch, &PreviewState::voicePitch);
}

// --- the video preview and the device tests ---

int32_t SimPreviewController::startVideoPreview() {
  int32_t code = apply("startVideoPreview", json::array(), [&](PreviewState& s) {
    if (find_device(s.cameras, s.selectedCamera) == nullptr) return kNotFound;
    s.videoPreview = true;
    return 0;
  });
  follow_video();
  return code;
}

int32_t SimPreviewController::stopVideoPreview() {
  int32_t code = apply("stopVideoPreview", json::array(), [&](PreviewState& s) {
    s.videoPreview = false;
    return 0;
  });
  follow_video();
  return code;
}

void SimPreviewController::follow_video() {
  std::lock_guard<std::mutex> camera(camera_mutex_);
  bool running = false;
  PreviewVideo video;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    running = s_.videoPreview;
    video = s_.previewVideo;
  }
  if (running == (camera_ != 0)) return;
  if (!running) {
    stop_frames(camera_);
    camera_ = 0;
    return;
  }
  camera_ = start_frames(json{{"kind", "previewRoom"},
                              {"userUuids", json::array({local_user()})},
                              {"width", video.width},
                              {"height", video.height},
                              {"fps", video.fps}});
}

int32_t SimPreviewController::startPlayoutDeviceTest(const std::string& filePath) {
  return apply("startPlayoutDeviceTest", json::array({filePath}), [&](PreviewState& s) {
    if (!s.playoutTest.is_null()) return kWrongState;
    if (filePath.empty() || find_device(s.playouts, s.selectedPlayout) == nullptr) return kNotFound;
    s.playoutTest = json{{"filePath", filePath}};
    return 0;
  });
}

int32_t SimPreviewController::stopPlayoutDeviceTest() {
  return apply("stopPlayoutDeviceTest", json::array(), [&](PreviewState& s) {
    if (s.playoutTest.is_null()) return kWrongState;
    s.playoutTest = nullptr;
    return 0;
  });
}

int32_t SimPreviewController::startRecordDeviceTest(uint32_t interval) {
  uint64_t run = 0;
  uint32_t every = std::clamp(interval, kShortestInterval, kLongestInterval);
  int32_t code = apply("startRecordDeviceTest", json::array({interval}), [&](PreviewState& s) {
    if (!s.recordTest.is_null()) return kWrongState;
    if (find_device(s.records, s.selectedRecord) == nullptr) return kNotFound;
    s.recordTest = json{{"interval", interval}};
    run = ++record_run_;
    return 0;
  });
  if (code == 0 && run != 0) engine().post([this, run] { record_test_tick(run); }, static_cast<int>(every));
  return code;
}

int32_t SimPreviewController::stopRecordDeviceTest() {
  return apply("stopRecordDeviceTest", json::array(), [&](PreviewState& s) {
    if (s.recordTest.is_null()) return kWrongState;
    s.recordTest = nullptr;
    ++record_run_;
    return 0;
  });
}

// On the SDK thread: the listeners hear the volume now, and the next report is due
// an interval later, as long as this run of the test lasts.
void SimPreviewController::record_test_tick(uint64_t run) {
  int32_t volume = 0;
  uint32_t every = kShortestInterval;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (run != record_run_ || s_.recordTest.is_null()) return;
    volume = heard_volume(s_);
    every = std::clamp(s_.recordTest.value("interval", kShortestInterval), kShortestInterval, kLongestInterval);
  }
  preview_room_listeners().for_each("", [&](L* listener) {
    listener->onLocalAudioVolumeIndication(volume, volume > kVoiceVolume);
  });
  engine().count("previewVolumeReports");
  engine().post([this, run] { record_test_tick(run); }, static_cast<int>(every));
}

// --- effects ---

// Reasons of onRtcVirtualBackgroundSourceEnabled: 0 done, 1 the machine has no
// virtual background (supported type 0).
int32_t SimPreviewController::enableVirtualBackground(bool enable, const parlo::VirtualBackgroundSource& source,
                                                      bool flag) {
  return apply("enableVirtualBackground", json::array({enable, source, flag}),
               [&](PreviewState& s, MediaEvents& events) {
                 if (enable && s.virtualBackgroundSupportedType == 0) {
                   events.push_back(media_event(&B::onRtcVirtualBackgroundSourceEnabled, false, 1));
                   return 0;
                 }
                 s.virtualBackground = PreviewBackground{enable, source, flag};
                 events.push_back(media_event(&B::onRtcVirtualBackgroundSourceEnabled, enable, 0));
                 return 0;
               });
}

int32_t SimPreviewController::startBeauty(const std::string& path) {
  return apply("startBeauty", json::array({path}), [&](PreviewState& s) {
    s.beauty.running = true;
    s.beauty.path = path;
    return 0;
  });
}

int32_t SimPreviewController::stopBeauty() {
  return apply("stopBeauty", json::array(), [&](PreviewState& s) {
    s.beauty.running = false;
    s.beauty.enabled = false;
    return 0;
  });
}

// Beauty is switched on and off once it runs.
int32_t SimPreviewController::enableBeauty(bool enable) {
  return apply("enableBeauty", json::array({enable}), [&](PreviewState& s) {
    if (!s.beauty.running) return kWrongState;
    s.beauty.enabled = enable;
    return 0;
  });
}

int32_t SimPreviewController::setBeautyEffect(int32_t type, float level) {
  return apply("setBeautyEffect", json::array({type, level}), [&](PreviewState& s) {
    s.beauty.effects[std::to_string(type)] = level;
    return 0;
  });
}

// --- script's side ---

json SimPreviewController::state() {
  std::lock_guard<std::mutex> lock(mutex_);
  return s_;
}

void SimPreviewController::update(const json& changes) {
  if (!changes.is_object()) throw std::invalid_argument("preview changes must be an object");
  MediaEvents events;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    json merged = s_;
    for (const auto& [key, value] : changes.items()) {
      if (kScriptable.count(key) == 0) {
        throw std::invalid_argument(merged.contains(key) ? key + " is what the SDK was told, not scriptable"
                                                         : "no preview state " + key);
      }
      merged[key] = value;
    }
    PreviewState after = merged.get<PreviewState>();
    const PreviewVideo& v = after.previewVideo;
    if (v.width < 2 || v.height < 2 || v.width > 7680 || v.height > 4320 || !(v.fps >= 0 && v.fps <= 240)) {
      throw std::invalid_argument("previewVideo is 2 to 7680 x 2 to 4320 at 0 to 240 fps");
    }
    events = device_changes(s_, after, changes);
    // The video preview ends with its camera.
    if (find_device(after.cameras, after.selectedCamera) == nullptr) after.videoPreview = false;
    s_ = std::move(after);
  }
  raise(std::move(events));
  follow_video();
}

void SimPreviewController::reset() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    s_ = initial_state();
    ++record_run_;
  }
  follow_video();
}

// --- the preview room context ---

parlo::IQVPreviewRoomRtcController* SimPreviewRoom::getPreviewRoomRtcController() {
  return engine().linked("previewRoomRtcController") ? &controller_ : nullptr;
}

void SimPreviewRoom::addPreviewRoomListener(parlo::IQVPreviewRoomListener* listener) {
  engine().call("addPreviewRoomListener", json::array({engine().id_of(listener, "previewRoom")}));
  preview_room_listeners().add(listener);
}

void SimPreviewRoom::removePreviewRoomListener(parlo::IQVPreviewRoomListener* listener) {
  engine().call("removePreviewRoomListener", json::array({engine().id_of(listener, "previewRoom")}));
  preview_room_listeners().remove(listener);
  engine().forget(listener);
}

SimPreviewRoom& the_preview_room() {
  // Never destroyed: SDK threads may still report while the process exits.
  static auto* room = new SimPreviewRoom();
  return *room;
}

parlo::IQVPreviewRoomContext* preview_room_context() {
  return engine().linked("previewRoomContext") ? &the_preview_room() : nullptr;
}

namespace {

SimPreviewController& preview_controller() { return the_preview_room().controller(); }

const bool commands_added =
    add_command("preview.get", [](const json&) { return preview_controller().state(); }) &&
    add_command("preview.update",
                [](const json& args) {
                  preview_controller().update(args.at("changes"));
                  return json(true);
                }) &&
    add_command("preview.reset", [](const json&) {
      preview_controller().reset();
      return json(true);
    });

}  // namespace
}  // namespace parlo_sim
