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

// The SDK's interface name, which tells the preview controller's operations apart
// from a room controller's of the same name in the journal and in answers.
constexpr const char* kInterface = "IQVPreviewRoomRtcController";

// Codes of the simulated preview room beyond success.
constexpr int32_t kNotFound = 404;    // an unknown device, or no file to play
constexpr int32_t kWrongState = 409;  // a test or recording started twice or stopped when not running

// The record test reports at least this often and at most this rarely.
constexpr uint32_t kShortestInterval = 10;
constexpr uint32_t kLongestInterval = 3600000;
// The volume above which the record test says someone speaks.
constexpr int32_t kVoiceVolume = 20;

Engine& engine() { return Engine::get(); }

template <class... P, class... A>
PreviewEvent event(void (parlo::IQVBaseRoomListener::*operation)(P...), A... args) {
  return [operation, args...](L* listener) { (listener->*operation)(args...); };
}

void raise_later(PreviewEvents events) {
  if (events.empty()) return;
  engine().post([events = std::move(events)] {
    preview_room_listeners().for_each("", [&](L* listener) {
      for (const PreviewEvent& e : events) e(listener);
    });
  });
}

parlo::RtcDeviceInfo device(const char* name, const char* id, bool is_default) {
  return parlo::RtcDeviceInfo{name, id, false, is_default};
}

// The machine the simulated SDK runs on: the same devices a room's controller sees.
PreviewState initial_state() {
  PreviewState s;
  s.cameras = {device("Sim HD Camera", "sim-camera-1", true), device("Sim USB Camera", "sim-camera-2", false)};
  s.playouts = {device("Sim Speakers", "sim-playout-1", true), device("Sim Headphones", "sim-playout-2", false)};
  s.records = {device("Sim Microphone", "sim-record-1", true), device("Sim Headset Microphone", "sim-record-2", false)};
  s.selectedCamera = "sim-camera-1";
  s.selectedPlayout = "sim-playout-1";
  s.selectedRecord = "sim-record-1";
  return s;
}

const parlo::RtcDeviceInfo* find_device(const parlo::RtcDeviceList& list, const std::string& id) {
  for (const auto& d : list) {
    if (d.deviceId == id) return &d;
  }
  return nullptr;
}

// The default device's ID: the first marked default; "" when none is.
std::string default_id(const parlo::RtcDeviceList& list) {
  for (const auto& d : list) {
    if (d.defaultDevice) return d.deviceId;
  }
  return "";
}

// A chosen device that is gone falls back to the default, else the first, else none.
void keep_choice(const parlo::RtcDeviceList& list, std::string& selected) {
  if (find_device(list, selected) != nullptr) return;
  selected = default_id(list);
  if (selected.empty() && !list.empty()) selected = list.front().deviceId;
}

// Devices added (true) and gone (false) between two lists, as their change event.
void device_changes(const parlo::RtcDeviceList& before, const parlo::RtcDeviceList& after,
                    void (parlo::IQVBaseRoomListener::*changed)(const std::string&, bool), PreviewEvents& events) {
  for (const auto& d : after) {
    if (find_device(before, d.deviceId) == nullptr) events.push_back(event(changed, d.deviceId, true));
  }
  for (const auto& d : before) {
    if (find_device(after, d.deviceId) == nullptr) events.push_back(event(changed, d.deviceId, false));
  }
}

// The keys script may set: the machine, and the choices, volumes and mutes the SDK's
// operations set too.
const std::set<std::string> kScriptable = {
    "supported",      "virtualBackgroundSupportedType", "cameras",        "playouts",      "records",
    "microphoneLevel", "previewVideo",                  "selectedCamera", "selectedPlayout", "selectedRecord",
    "playoutVolume",  "recordVolume",                   "playoutMute",    "recordMute",
};

// The record test's volume: what the microphone hears through the device volume and
// the recording signal volume, 0 when muted, at most 255.
int32_t heard_volume(const PreviewState& s) {
  if (s.recordMute) return 0;
  const double level = std::clamp(s.microphoneLevel, 0, 255);
  const double volume = level * s.recordVolume / 100.0 * s.recordingSignalVolume / 100.0;
  return static_cast<int32_t>(std::min(volume, 255.0));
}

// Where a local recording goes: the file name in the file path.
std::string recording_path(const json& params) {
  const std::string dir = params.value("filePath", "");
  std::string name = params.value("fileName", "");
  if (name.empty()) name = "local-record.mp4";
  return dir.empty() ? name : dir + "/" + name;
}

// Statuses of the simulated local recorder.
constexpr int32_t kRecordingStarted = 1;
constexpr int32_t kRecordingStopped = 2;
constexpr int32_t kRemuxDone = 3;

// The user the preview's frames are of: the signed-in account, as a room's local member.
std::string local_user() {
  std::string me = signed_in_account();
  return me.empty() ? "sim-local-user" : me;
}

}  // namespace

SimPreviewController::SimPreviewController() : s_(initial_state()) {}

// --- the pattern of every operation ---

int32_t SimPreviewController::apply(const char* op, json args,
                                    const std::function<int32_t(PreviewState&, PreviewEvents&)>& change) {
  Answer answer = engine().call(op, std::move(args), kInterface);
  const int32_t scripted = answer.ret_or<int32_t>(0);
  if (scripted != 0) return scripted;
  PreviewEvents events;
  int32_t code = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    PreviewState before = s_;
    code = change(s_, events);
    // A failed operation changes nothing; what it reports (an error) is still heard.
    if (code != 0) s_ = std::move(before);
  }
  raise_later(std::move(events));
  return answer.ret_or<int32_t>(code);
}

int32_t SimPreviewController::tell(const char* op, json args, const char* key, json value) {
  return apply(op, std::move(args), [&](PreviewState& s, PreviewEvents&) {
    s.settings[key] = std::move(value);
    return 0;
  });
}

template <class T, class Read>
int32_t SimPreviewController::fill(const char* op, T& out, Read read) {
  Answer answer = engine().call(op, json::array(), kInterface);
  int32_t code = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    code = read(s_, out);
  }
  out = answer.result_or<T>(std::move(out));
  return answer.ret_or<int32_t>(code);
}

template <class T>
T SimPreviewController::value(const char* op, T PreviewState::*field) {
  Answer answer = engine().call(op, json::array(), kInterface);
  std::lock_guard<std::mutex> lock(mutex_);
  return answer.ret_or<T>(s_.*field);
}

int32_t SimPreviewController::select(const char* op, const std::string& id, parlo::RtcDeviceList PreviewState::*list,
                                     std::string PreviewState::*selected) {
  return apply(op, json::array({id}), [&](PreviewState& s, PreviewEvents&) {
    if (find_device(s.*list, id) == nullptr) return kNotFound;
    s.*selected = id;
    return 0;
  });
}

namespace {

template <class T>
auto copy_of(T PreviewState::*field) {
  return [field](const PreviewState& s, T& out) -> int32_t {
    out = s.*field;
    return 0;
  };
}

auto default_of(parlo::RtcDeviceList PreviewState::*list) {
  return [list](const PreviewState& s, parlo::RtcDeviceInfo& out) -> int32_t {
    const parlo::RtcDeviceInfo* found = find_device(s.*list, default_id(s.*list));
    if (found == nullptr) return kNotFound;
    out = *found;
    return 0;
  };
}

}  // namespace

// --- devices ---

bool SimPreviewController::isSupported() { return value("isSupported", &PreviewState::supported); }

int32_t SimPreviewController::enumCameraDevices(parlo::RtcDeviceList& devices) {
  return fill("enumCameraDevices", devices, copy_of(&PreviewState::cameras));
}
int32_t SimPreviewController::getSelectedCameraDevice(std::string& deviceId) {
  return fill("getSelectedCameraDevice", deviceId, copy_of(&PreviewState::selectedCamera));
}
int32_t SimPreviewController::selectCameraDevice(const std::string& deviceId) {
  return select("selectCameraDevice", deviceId, &PreviewState::cameras, &PreviewState::selectedCamera);
}
int32_t SimPreviewController::enumPlayoutDevices(parlo::RtcDeviceList& devices) {
  return fill("enumPlayoutDevices", devices, copy_of(&PreviewState::playouts));
}
int32_t SimPreviewController::getDefaultPlayoutDevice(parlo::RtcDeviceInfo& device) {
  return fill("getDefaultPlayoutDevice", device, default_of(&PreviewState::playouts));
}
int32_t SimPreviewController::getSelectedPlayoutDevice(std::string& deviceId) {
  return fill("getSelectedPlayoutDevice", deviceId, copy_of(&PreviewState::selectedPlayout));
}
int32_t SimPreviewController::selectPlayoutDevice(const std::string& deviceId) {
  return select("selectPlayoutDevice", deviceId, &PreviewState::playouts, &PreviewState::selectedPlayout);
}
uint32_t SimPreviewController::getPlayoutDeviceVolume() {
  return value("getPlayoutDeviceVolume", &PreviewState::playoutVolume);
}
int32_t SimPreviewController::setPlayoutDeviceVolume(uint32_t volume) {
  return apply("setPlayoutDeviceVolume", json::array({volume}), [&](PreviewState& s, PreviewEvents&) {
    s.playoutVolume = volume;
    return 0;
  });
}
int32_t SimPreviewController::enumRecordDevices(parlo::RtcDeviceList& devices) {
  return fill("enumRecordDevices", devices, copy_of(&PreviewState::records));
}
int32_t SimPreviewController::getDefaultRecordDevice(parlo::RtcDeviceInfo& device) {
  return fill("getDefaultRecordDevice", device, default_of(&PreviewState::records));
}
int32_t SimPreviewController::getSelectedRecordDevice(std::string& deviceId) {
  return fill("getSelectedRecordDevice", deviceId, copy_of(&PreviewState::selectedRecord));
}
int32_t SimPreviewController::selectRecordDevice(const std::string& deviceId) {
  return select("selectRecordDevice", deviceId, &PreviewState::records, &PreviewState::selectedRecord);
}
uint32_t SimPreviewController::getRecordDeviceVolume() {
  return value("getRecordDeviceVolume", &PreviewState::recordVolume);
}
int32_t SimPreviewController::setRecordDeviceVolume(uint32_t volume) {
  return apply("setRecordDeviceVolume", json::array({volume}), [&](PreviewState& s, PreviewEvents&) {
    s.recordVolume = volume;
    return 0;
  });
}
int32_t SimPreviewController::getPlayoutDeviceMute(bool& mute) {
  return fill("getPlayoutDeviceMute", mute, copy_of(&PreviewState::playoutMute));
}
int32_t SimPreviewController::setRecordDeviceMute(bool mute) {
  return apply("setRecordDeviceMute", json::array({mute}), [&](PreviewState& s, PreviewEvents&) {
    s.recordMute = mute;
    return 0;
  });
}
int32_t SimPreviewController::setPlayoutDeviceMute(bool mute) {
  return apply("setPlayoutDeviceMute", json::array({mute}), [&](PreviewState& s, PreviewEvents&) {
    s.playoutMute = mute;
    return 0;
  });
}
int32_t SimPreviewController::installAudioCaptureDriver() {
  return apply("installAudioCaptureDriver", json::array(), [&](PreviewState& s, PreviewEvents&) {
    s.audioCaptureDriverInstalled = true;
    return 0;
  });
}

// --- capture and audio settings ---

int32_t SimPreviewController::setupLocalVideoCanvas(const parlo::VideoCanvas& canvas) {
  return tell("setupLocalVideoCanvas", json::array({canvas}), "localVideoCanvas", canvas);
}
int32_t SimPreviewController::setLocalVideoResolution(int32_t resolution) {
  return tell("setLocalVideoResolution", json::array({resolution}), "localVideoResolution", resolution);
}
int32_t SimPreviewController::setLocalVideoFramerate(int32_t framerate) {
  return tell("setLocalVideoFramerate", json::array({framerate}), "localVideoFramerate", framerate);
}
int32_t SimPreviewController::setAudioDeviceAutoSelectType(int32_t type) {
  return tell("setAudioDeviceAutoSelectType", json::array({type}), "audioDeviceAutoSelectType", type);
}
int32_t SimPreviewController::setAudioProfile(int32_t profile, int32_t scenario) {
  return tell("setAudioProfile", json::array({profile, scenario}), "audioProfile",
              json{{"profile", profile}, {"scenario", scenario}});
}
int32_t SimPreviewController::enableAudioEchoCancellation(bool enable) {
  return tell("enableAudioEchoCancellation", json::array({enable}), "audioEchoCancellation", enable);
}
int32_t SimPreviewController::enableAudioVolumeIndication(const std::string& id, bool enable, int32_t interval,
                                                          bool flag) {
  return tell("enableAudioVolumeIndication", json::array({id, enable, interval, flag}), "audioVolumeIndication",
              json{{"id", id}, {"enable", enable}, {"interval", interval}, {"flag", flag}});
}
int32_t SimPreviewController::enableAudioVolumeIndication(bool enable, int32_t interval) {
  return tell("enableAudioVolumeIndication", json::array({enable, interval}), "audioVolumeIndication",
              json{{"enable", enable}, {"interval", interval}});
}
int32_t SimPreviewController::startAudioDump(int32_t type) {
  return tell("startAudioDump", json::array({type}), "audioDump", type);
}
int32_t SimPreviewController::stopAudioDump() {
  return tell("stopAudioDump", json::array(), "audioDump", nullptr);
}
int32_t SimPreviewController::enableAudioAINS(bool enable) {
  return tell("enableAudioAINS", json::array({enable}), "audioAINS", enable);
}
int32_t SimPreviewController::enableAudioVolumeAutoAdjust(bool enable) {
  return tell("enableAudioVolumeAutoAdjust", json::array({enable}), "audioVolumeAutoAdjust", enable);
}
int32_t SimPreviewController::adjustRecordingSignalVolume(uint32_t volume) {
  return apply("adjustRecordingSignalVolume", json::array({volume}), [&](PreviewState& s, PreviewEvents&) {
    s.recordingSignalVolume = volume;
    return 0;
  });
}
int32_t SimPreviewController::adjustPlaybackSignalVolume(uint32_t volume) {
  return apply("adjustPlaybackSignalVolume", json::array({volume}), [&](PreviewState& s, PreviewEvents&) {
    s.playbackSignalVolume = volume;
    return 0;
  });
}
int32_t SimPreviewController::setLocalVoicePitch(double pitch) {
  return apply("setLocalVoicePitch", json::array({pitch}), [&](PreviewState& s, PreviewEvents&) {
    s.voicePitch = pitch;
    return 0;
  });
}

// --- the video preview and the device tests ---

int32_t SimPreviewController::startVideoPreview() {
  int32_t code = apply("startVideoPreview", json::array(), [&](PreviewState& s, PreviewEvents&) {
    if (find_device(s.cameras, s.selectedCamera) == nullptr) return kNotFound;
    s.videoPreview = true;
    return 0;
  });
  follow_video();
  return code;
}

int32_t SimPreviewController::stopVideoPreview() {
  int32_t code = apply("stopVideoPreview", json::array(), [&](PreviewState& s, PreviewEvents&) {
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
  return apply("startPlayoutDeviceTest", json::array({filePath}), [&](PreviewState& s, PreviewEvents&) {
    if (!s.playoutTest.is_null()) return kWrongState;
    if (filePath.empty() || find_device(s.playouts, s.selectedPlayout) == nullptr) return kNotFound;
    s.playoutTest = json{{"filePath", filePath}};
    return 0;
  });
}

int32_t SimPreviewController::stopPlayoutDeviceTest() {
  return apply("stopPlayoutDeviceTest", json::array(), [&](PreviewState& s, PreviewEvents&) {
    if (s.playoutTest.is_null()) return kWrongState;
    s.playoutTest = nullptr;
    return 0;
  });
}

int32_t SimPreviewController::startRecordDeviceTest(uint32_t interval) {
  uint64_t run = 0;
  uint32_t every = std::clamp(interval, kShortestInterval, kLongestInterval);
  int32_t code = apply("startRecordDeviceTest", json::array({interval}), [&](PreviewState& s, PreviewEvents&) {
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
  return apply("stopRecordDeviceTest", json::array(), [&](PreviewState& s, PreviewEvents&) {
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

int32_t SimPreviewController::getVirtualBackgroundSupportedType() {
  return value("getVirtualBackgroundSupportedType", &PreviewState::virtualBackgroundSupportedType);
}

// Reasons of onRtcVirtualBackgroundSourceEnabled: 0 done, 1 the machine has no
// virtual background (supported type 0).
int32_t SimPreviewController::enableVirtualBackground(bool enable, const parlo::VirtualBackgroundSource& source,
                                                      bool flag) {
  return apply("enableVirtualBackground", json::array({enable, source, flag}), [&](PreviewState& s,
                                                                                   PreviewEvents& events) {
    if (enable && s.virtualBackgroundSupportedType == 0) {
      events.push_back(event(&L::onRtcVirtualBackgroundSourceEnabled, false, 1));
      return 0;
    }
    s.virtualBackground = PreviewBackground{enable, source, flag};
    events.push_back(event(&L::onRtcVirtualBackgroundSourceEnabled, enable, 0));
    return 0;
  });
}

int32_t SimPreviewController::startBeauty(const std::string& path) {
  return apply("startBeauty", json::array({path}), [&](PreviewState& s, PreviewEvents&) {
    s.beauty.running = true;
    s.beauty.path = path;
    return 0;
  });
}

int32_t SimPreviewController::stopBeauty() {
  return apply("stopBeauty", json::array(), [&](PreviewState& s, PreviewEvents&) {
    s.beauty.running = false;
    s.beauty.enabled = false;
    return 0;
  });
}

// Beauty is switched on and off once it runs.
int32_t SimPreviewController::enableBeauty(bool enable) {
  return apply("enableBeauty", json::array({enable}), [&](PreviewState& s, PreviewEvents&) {
    if (!s.beauty.running) return kWrongState;
    s.beauty.enabled = enable;
    return 0;
  });
}

int32_t SimPreviewController::setBeautyEffect(int32_t type, float level) {
  return apply("setBeautyEffect", json::array({type, level}), [&](PreviewState& s, PreviewEvents&) {
    s.beauty.effects[std::to_string(type)] = level;
    return 0;
  });
}

// --- local recording ---

int32_t SimPreviewController::startLocalRecord(const parlo::LocalRecordParams& params) {
  return apply("startLocalRecord", json::array({params}), [&](PreviewState& s, PreviewEvents& events) {
    PreviewRecording& r = s.localRecord;
    if (r.recording) return kWrongState;
    r.recording = true;
    r.remuxing = false;
    r.params = params;
    r.framesPushed = 0;
    events.push_back(event(&L::onLocalRecorderStatus, kRecordingStarted, recording_path(r.params)));
    return 0;
  });
}

int32_t SimPreviewController::stopLocalRecord() {
  return apply("stopLocalRecord", json::array(), [&](PreviewState& s, PreviewEvents& events) {
    PreviewRecording& r = s.localRecord;
    if (!r.recording) return kWrongState;
    r.recording = false;
    r.remuxing = true;
    events.push_back(event(&L::onLocalRecorderStatus, kRecordingStopped, recording_path(r.params)));
    return 0;
  });
}

int32_t SimPreviewController::updateLocalRecordLayouts(const parlo::LocalRecordLayoutList& layouts) {
  return apply("updateLocalRecordLayouts", json::array({layouts}), [&](PreviewState& s, PreviewEvents&) {
    s.localRecord.layouts = layouts;
    return 0;
  });
}

// A frame pushed while nothing records is refused, and the recorder says so.
int32_t SimPreviewController::pushLocalRecorderVideoFrame(const std::string& id, int32_t streamType,
                                                          const parlo::RecorderVideoFrame& frame) {
  const json shown = frame;
  return apply("pushLocalRecorderVideoFrame", json::array({id, streamType, shown}),
               [&](PreviewState& s, PreviewEvents& events) {
                 if (!s.localRecord.recording) {
                   events.push_back(event(&L::onLocalRecorderError, kWrongState, std::string("not recording")));
                   return kWrongState;
                 }
                 ++s.localRecord.framesPushed;
                 s.localRecord.lastFrame = json{{"id", id}, {"streamType", streamType}, {"frame", shown}};
                 return 0;
               });
}

int32_t SimPreviewController::stopLocalRecorderRemux() {
  return apply("stopLocalRecorderRemux", json::array(), [&](PreviewState& s, PreviewEvents& events) {
    PreviewRecording& r = s.localRecord;
    if (r.remuxing) events.push_back(event(&L::onLocalRecorderStatus, kRemuxDone, recording_path(r.params)));
    r.remuxing = false;
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
  for (const auto& [key, value] : changes.items()) {
    if (kScriptable.count(key) == 0) throw std::invalid_argument("the preview room has no settable " + key);
  }
  PreviewEvents events;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    json merged = s_;
    merged.update(changes);
    PreviewState after = merged.get<PreviewState>();
    const PreviewVideo& v = after.previewVideo;
    if (v.width < 2 || v.height < 2 || v.width > 7680 || v.height > 4320 || !(v.fps >= 0 && v.fps <= 240)) {
      throw std::invalid_argument("previewVideo is 2 to 7680 x 2 to 4320 at 0 to 240 fps");
    }
    using B = parlo::IQVBaseRoomListener;
    device_changes(s_.cameras, after.cameras, &B::onCameraDeviceChanged, events);
    device_changes(s_.playouts, after.playouts, &B::onPlayoutDeviceChanged, events);
    device_changes(s_.records, after.records, &B::onRecordDeviceChanged, events);
    if (default_id(after.playouts) != default_id(s_.playouts)) {
      events.push_back(event(&B::onDefaultPlayoutDeviceChanged, default_id(after.playouts)));
    }
    if (default_id(after.records) != default_id(s_.records)) {
      events.push_back(event(&B::onDefaultRecordDeviceChanged, default_id(after.records)));
    }
    keep_choice(after.cameras, after.selectedCamera);
    keep_choice(after.playouts, after.selectedPlayout);
    keep_choice(after.records, after.selectedRecord);
    // The video preview ends with its camera.
    if (find_device(after.cameras, after.selectedCamera) == nullptr) after.videoPreview = false;
    s_ = std::move(after);
  }
  raise_later(std::move(events));
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
