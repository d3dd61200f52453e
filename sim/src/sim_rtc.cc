#include "sim_rtc.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <utility>

#include "base64.h"
#include "room_registry.h"
#include "sim_rooms.h"

namespace parlo_sim {
namespace {

using L = parlo::IQVRoomListener;

constexpr const char* kLink = "rtcController";

// Codes of the simulated controller beyond success.
constexpr int32_t kNotFound = 404;    // an unknown device, capture source or user, or the room is gone
constexpr int32_t kWrongState = 409;  // a local recording started twice, or stopped when not running

// The SDK's kinds of capture source, as the simulation numbers them.
constexpr int32_t kScreenSource = 0;
constexpr int32_t kWindowSource = 1;

Engine& engine() { return Engine::get(); }
std::mutex& rooms_lock() { return room_registry().mutex; }

RoomEvents fail(Answer& answer, int32_t code, std::string message) {
  answer.code = code;
  answer.message = std::move(message);
  return {};
}

bool in_room(const SimRoom& room, const std::string& user, bool remote_only = false) {
  parlo::RoomMemberPtr me = room.local_member();
  for (const auto& member : room.members()) {
    if (member->getUuid() == user) return !(remote_only && member == me);
  }
  return false;
}

// --- what a room's machine has when script has said nothing ---

parlo::RtcDeviceInfo device(const char* name, const char* id, bool is_default) {
  return parlo::RtcDeviceInfo{name, id, false, is_default};
}

// BGRA pixels: a gradient across and down, tinted per source.
ImageState test_image(int32_t width, int32_t height, int32_t tint) {
  ImageState image{width, height, 0, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = &image.bytes[(static_cast<size_t>(y) * width + x) * 4];
      p[0] = static_cast<uint8_t>(x * 255 / std::max(1, width - 1));
      p[1] = static_cast<uint8_t>(y * 255 / std::max(1, height - 1));
      p[2] = static_cast<uint8_t>(tint * 80);
      p[3] = 255;
    }
  }
  image.length = static_cast<uint32_t>(image.bytes.size());
  return image;
}

std::vector<SourceState> default_sources() {
  SourceState built_in{kScreenSource, 1, "Screen 1", "Built-in Display", "", test_image(32, 18, 1), {}, true};
  SourceState external{kScreenSource, 2, "Screen 2", "External Display", "", test_image(32, 18, 2), {}, false};
  // A window handle beyond 32 bits, as real ones are.
  SourceState editor{kWindowSource, 0x10000002A,  "Planning notes - Editor", "Editor", "/usr/bin/editor",
                     test_image(32, 18, 3), test_image(8, 8, 3), false};
  return {built_in, external, editor};
}

// What the SDK was told, by subject: null until told, and the collections empty.
json initial_settings() {
  return json{
      {"localVideoCanvas", nullptr},
      {"remoteVideoCanvases", json::object()},           // user -> canvas
      {"remoteVideoSubStreamCanvases", json::object()},  // user -> canvas
      {"remoteVideoStreams", json::object()},            // user -> highStream
      {"remoteVideoSubStreams", json::array()},          // users
      {"localVideoResolution", nullptr},
      {"localVideoFramerate", nullptr},
      {"localVideo", nullptr},
      {"localVideoCapturePaused", false},
      {"audioDeviceAutoSelectType", nullptr},
      {"audioProfile", nullptr},
      {"audioEchoCancellation", nullptr},
      {"audioVolumeIndication", nullptr},
      {"audioDump", nullptr},  // the dump's type while dumping
      {"audioAINS", nullptr},
      {"audioVolumeAutoAdjust", nullptr},
      {"recordingSignalVolume", nullptr},
      {"playbackSignalVolume", nullptr},
      {"userPlaybackSignalVolumes", json::object()},     // user -> volume
      {"channelPlaybackSignalVolumes", json::object()},  // channel -> volume
      {"localAudio", json::object()},                    // channel -> enabled
      {"localAudioSubStream", false},
      {"localAudioRecordingPaused", false},
      {"mediaPub", json::object()},  // channel -> media type -> enabled
      {"encryption", nullptr},
      {"caption", nullptr},
      {"captionTranslationLanguage", nullptr},
      {"cloudProxy", nullptr},
      {"systemAudioLoopbackCapture", false},
      {"excludeWindowList", json::array()},
  };
}

RtcState initial_state() {
  RtcState s;
  s.cameras = {device("Sim HD Camera", "sim-camera-1", true), device("Sim USB Camera", "sim-camera-2", false)};
  s.playouts = {device("Sim Speakers", "sim-playout-1", true), device("Sim Headphones", "sim-playout-2", false)};
  s.records = {device("Sim Microphone", "sim-record-1", true), device("Sim Headset Microphone", "sim-record-2", false)};
  s.selectedCamera = "sim-camera-1";
  s.selectedPlayout = "sim-playout-1";
  s.selectedRecord = "sim-record-1";
  s.sources = default_sources();
  s.settings = initial_settings();
  return s;
}

// --- devices ---

const parlo::RtcDeviceInfo* find_device(const parlo::RtcDeviceList& list, const std::string& id) {
  for (const auto& d : list) {
    if (d.deviceId == id) return &d;
  }
  return nullptr;
}

std::string default_id(const parlo::RtcDeviceList& list) {
  for (const auto& d : list) {
    if (d.defaultDevice) return d.deviceId;
  }
  return "";
}

// One kind of device: its list, the device chosen of it, and the events that
// report its changes (cameras have no default event).
struct DeviceKind {
  const char* list_key;
  const char* chosen_key;
  parlo::RtcDeviceList RtcState::*list;
  std::string RtcState::*chosen;
  void (L::*changed)(const std::string&, bool);
  void (L::*default_changed)(const std::string&);
};

const DeviceKind kDeviceKinds[] = {
    {"cameras", "selectedCamera", &RtcState::cameras, &RtcState::selectedCamera, &L::onCameraDeviceChanged, nullptr},
    {"playouts", "selectedPlayout", &RtcState::playouts, &RtcState::selectedPlayout, &L::onPlayoutDeviceChanged,
     &L::onDefaultPlayoutDeviceChanged},
    {"records", "selectedRecord", &RtcState::records, &RtcState::selectedRecord, &L::onRecordDeviceChanged,
     &L::onDefaultRecordDeviceChanged},
};

void check_devices(const DeviceKind& kind, const parlo::RtcDeviceList& list) {
  std::set<std::string> ids;
  int defaults = 0;
  for (const auto& d : list) {
    const std::string where = std::string(kind.list_key) + ": ";
    if (d.deviceId.empty()) throw std::invalid_argument(where + "every device needs a deviceId");
    if (!ids.insert(d.deviceId).second) {
      throw std::invalid_argument(where + "device " + d.deviceId + " is listed twice");
    }
    if (d.defaultDevice && ++defaults > 1) throw std::invalid_argument(where + "more than one default device");
  }
}

// Checks the devices of `kind` in `after`, moves a chosen device that is gone (or
// none) to the default unless script chose one, and answers what the SDK reports:
// devices gone, devices added, then a new default.
RoomEvents device_changes(const DeviceKind& kind, const RtcState& before, RtcState& after, bool chosen_given) {
  const parlo::RtcDeviceList& list = after.*kind.list;
  const parlo::RtcDeviceList& old = before.*kind.list;
  check_devices(kind, list);
  std::string& chosen = after.*kind.chosen;
  if (!chosen_given && find_device(list, chosen) == nullptr) chosen = default_id(list);
  if (chosen_given && !chosen.empty() && find_device(list, chosen) == nullptr) {
    throw std::invalid_argument(std::string(kind.chosen_key) + ": no device " + chosen + " in " + kind.list_key);
  }
  RoomEvents events;
  for (const auto& d : old) {
    if (find_device(list, d.deviceId) == nullptr) events.push_back(event(kind.changed, d.deviceId, false));
  }
  for (const auto& d : list) {
    if (find_device(old, d.deviceId) == nullptr) events.push_back(event(kind.changed, d.deviceId, true));
  }
  std::string now_default = default_id(list);
  if (kind.default_changed != nullptr && now_default != default_id(old)) {
    events.push_back(event(kind.default_changed, now_default));
  }
  return events;
}

// What script may lay over a controller: what the room's machine has. The rest is
// what the SDK was told.
const std::set<std::string> kScriptable = {
    "supported",      "virtualBackgroundSupportedType", "cameras",       "playouts",     "records",
    "selectedCamera", "selectedPlayout",                "selectedRecord", "playoutVolume", "recordVolume",
    "playoutMute",    "sources",
};

template <class T>
auto copy_of(T RtcState::*field) {
  return [field](const RtcState& s, T& out) -> int32_t {
    out = s.*field;
    return 0;
  };
}

auto default_of(parlo::RtcDeviceList RtcState::*list) {
  return [list](const RtcState& s, parlo::RtcDeviceInfo& out) -> int32_t {
    for (const auto& d : s.*list) {
      if (d.defaultDevice) {
        out = d;
        return 0;
      }
    }
    return kNotFound;
  };
}

}  // namespace

// --- capture images as JSON ---

void to_json(json& j, const ImageState& image) {
  j = json{{"width", image.width},
           {"height", image.height},
           {"length", image.length},
           {"bytes", image.bytes.empty() ? json() : json(encode_base64(image.bytes))}};
}

void from_json(const json& j, ImageState& image) {
  image = ImageState{};
  image.width = j.value("width", image.width);
  image.height = j.value("height", image.height);
  const json bytes = j.value("bytes", json());
  if (bytes.is_string()) {
    image.bytes = decode_base64(bytes.get<std::string>());
  } else if (bytes.is_array()) {
    for (const auto& b : bytes) {
      if (!b.is_number_integer() || b < 0 || b > 255) throw std::invalid_argument("image bytes are numbers 0 to 255");
      image.bytes.push_back(b.get<uint8_t>());
    }
  } else if (!bytes.is_null()) {
    throw std::invalid_argument("image bytes are base64 or an array of numbers");
  }
  if (image.bytes.empty()) {
    image.length = j.value("length", image.length);
    return;
  }
  image.length = static_cast<uint32_t>(image.bytes.size());
  if (j.contains("length") && j.at("length") != image.length) {
    throw std::invalid_argument("an image's length is the count of its bytes");
  }
}

// --- the controller ---

SimRtcController::SimRtcController(std::string room_uuid) : uuid_(std::move(room_uuid)), s_(initial_state()) {}

SimRoom* SimRtcController::room() const {
  auto& joined = room_registry().joined;
  auto found = joined.find(uuid_);
  if (found == joined.end()) return nullptr;
  const void* mine = static_cast<const parlo::IQVRoomRtcController*>(this);
  return found->second->made_controller(kLink).get() == mine ? found->second.get() : nullptr;
}

int32_t SimRtcController::apply(const char* op, json args, const std::function<int32_t(RtcState&)>& change) {
  Answer answer = engine().call(op, std::move(args));
  const int32_t scripted = answer.ret_or<int32_t>(0);
  if (scripted != 0) return scripted;
  std::lock_guard<std::mutex> lock(rooms_lock());
  return answer.ret_or<int32_t>(change(s_));
}

int32_t SimRtcController::tell(const char* op, json args, const char* key, json value) {
  return apply(op, std::move(args), [&](RtcState& s) {
    s.settings[key] = std::move(value);
    return 0;
  });
}

int32_t SimRtcController::tell_of(const char* op, json args, const char* key, const std::string& entry, json value) {
  return apply(op, std::move(args), [&](RtcState& s) {
    s.settings[key][entry] = std::move(value);
    return 0;
  });
}

template <class T>
int32_t SimRtcController::store(const char* op, T value, T RtcState::*field) {
  return apply(op, json::array({value}), [&](RtcState& s) {
    s.*field = value;
    return 0;
  });
}

template <class T, class Read>
int32_t SimRtcController::fill(const char* op, T& out, Read read) {
  Answer answer = engine().call(op);
  std::lock_guard<std::mutex> lock(rooms_lock());
  const int32_t code = read(s_, out);
  out = answer.result_or<T>(std::move(out));
  return answer.ret_or<int32_t>(code);
}

template <class T>
T SimRtcController::value(const char* op, T RtcState::*field) {
  Answer answer = engine().call(op);
  std::lock_guard<std::mutex> lock(rooms_lock());
  return answer.ret_or<T>(s_.*field);
}

int32_t SimRtcController::select(const char* op, const std::string& id, parlo::RtcDeviceList RtcState::*list,
                                 std::string RtcState::*selected) {
  return apply(op, json::array({id}), [&](RtcState& s) {
    if (find_device(s.*list, id) == nullptr) return kNotFound;
    s.*selected = id;
    return 0;
  });
}

// --- devices ---

bool SimRtcController::isSupported() { return value("isSupported", &RtcState::supported); }

int32_t SimRtcController::enumCameraDevices(parlo::RtcDeviceList& devices) {
  return fill("enumCameraDevices", devices, copy_of(&RtcState::cameras));
}
int32_t SimRtcController::getSelectedCameraDevice(std::string& deviceId) {
  return fill("getSelectedCameraDevice", deviceId, copy_of(&RtcState::selectedCamera));
}
int32_t SimRtcController::selectCameraDevice(const std::string& deviceId) {
  return select("selectCameraDevice", deviceId, &RtcState::cameras, &RtcState::selectedCamera);
}

int32_t SimRtcController::enumPlayoutDevices(parlo::RtcDeviceList& devices) {
  return fill("enumPlayoutDevices", devices, copy_of(&RtcState::playouts));
}
int32_t SimRtcController::getDefaultPlayoutDevice(parlo::RtcDeviceInfo& device) {
  return fill("getDefaultPlayoutDevice", device, default_of(&RtcState::playouts));
}
int32_t SimRtcController::getSelectedPlayoutDevice(std::string& deviceId) {
  return fill("getSelectedPlayoutDevice", deviceId, copy_of(&RtcState::selectedPlayout));
}
int32_t SimRtcController::selectPlayoutDevice(const std::string& deviceId) {
  return select("selectPlayoutDevice", deviceId, &RtcState::playouts, &RtcState::selectedPlayout);
}
uint32_t SimRtcController::getPlayoutDeviceVolume() {
  return value("getPlayoutDeviceVolume", &RtcState::playoutVolume);
}
int32_t SimRtcController::setPlayoutDeviceVolume(uint32_t volume) {
  return store("setPlayoutDeviceVolume", volume, &RtcState::playoutVolume);
}
int32_t SimRtcController::getPlayoutDeviceMute(bool& mute) {
  return fill("getPlayoutDeviceMute", mute, copy_of(&RtcState::playoutMute));
}

int32_t SimRtcController::enumRecordDevices(parlo::RtcDeviceList& devices) {
  return fill("enumRecordDevices", devices, copy_of(&RtcState::records));
}
int32_t SimRtcController::getDefaultRecordDevice(parlo::RtcDeviceInfo& device) {
  return fill("getDefaultRecordDevice", device, default_of(&RtcState::records));
}
int32_t SimRtcController::getSelectedRecordDevice(std::string& deviceId) {
  return fill("getSelectedRecordDevice", deviceId, copy_of(&RtcState::selectedRecord));
}
int32_t SimRtcController::selectRecordDevice(const std::string& deviceId) {
  return select("selectRecordDevice", deviceId, &RtcState::records, &RtcState::selectedRecord);
}
uint32_t SimRtcController::getRecordDeviceVolume() { return value("getRecordDeviceVolume", &RtcState::recordVolume); }
int32_t SimRtcController::setRecordDeviceVolume(uint32_t volume) {
  return store("setRecordDeviceVolume", volume, &RtcState::recordVolume);
}

int32_t SimRtcController::setAudioDeviceAutoSelectType(int32_t type) {
  return tell("setAudioDeviceAutoSelectType", json::array({type}), "audioDeviceAutoSelectType", type);
}

int32_t SimRtcController::getVirtualBackgroundSupportedType() {
  return value("getVirtualBackgroundSupportedType", &RtcState::virtualBackgroundSupportedType);
}

// --- video ---

int32_t SimRtcController::setupLocalVideoCanvas(const parlo::VideoCanvas& canvas) {
  return tell("setupLocalVideoCanvas", json::array({canvas}), "localVideoCanvas", canvas);
}

int32_t SimRtcController::setupRemoteVideoCanvas(const std::string& userUuid, const parlo::VideoCanvas& canvas) {
  return tell_of("setupRemoteVideoCanvas", json::array({userUuid, canvas}), "remoteVideoCanvases", userUuid, canvas);
}

int32_t SimRtcController::setupRemoteVideoSubStreamCanvas(const std::string& userUuid,
                                                          const parlo::VideoCanvas& canvas) {
  return tell_of("setupRemoteVideoSubStreamCanvas", json::array({userUuid, canvas}),
                 "remoteVideoSubStreamCanvases", userUuid, canvas);
}

int32_t SimRtcController::subscribeRemoteVideoStream(const std::string& userUuid, bool highStream) {
  return tell_of("subscribeRemoteVideoStream", json::array({userUuid, highStream}),
                 "remoteVideoStreams", userUuid, highStream);
}

int32_t SimRtcController::unsubscribeRemoteVideoStream(const std::string& userUuid) {
  return apply("unsubscribeRemoteVideoStream", json::array({userUuid}), [&](RtcState& s) {
    s.settings["remoteVideoStreams"].erase(userUuid);
    return 0;
  });
}

int32_t SimRtcController::subscribeRemoteVideoSubStream(const std::string& userUuid) {
  return apply("subscribeRemoteVideoSubStream", json::array({userUuid}), [&](RtcState& s) {
    json& users = s.settings["remoteVideoSubStreams"];
    if (std::find(users.begin(), users.end(), json(userUuid)) == users.end()) users.push_back(userUuid);
    return 0;
  });
}

int32_t SimRtcController::unsubscribeRemoteVideoSubStream(const std::string& userUuid) {
  return apply("unsubscribeRemoteVideoSubStream", json::array({userUuid}), [&](RtcState& s) {
    json kept = json::array();
    for (const auto& user : s.settings["remoteVideoSubStreams"]) {
      if (user != userUuid) kept.push_back(user);
    }
    s.settings["remoteVideoSubStreams"] = kept;
    return 0;
  });
}

int32_t SimRtcController::setLocalVideoResolution(int32_t resolution) {
  return tell("setLocalVideoResolution", json::array({resolution}), "localVideoResolution", resolution);
}
int32_t SimRtcController::setLocalVideoFramerate(int32_t framerate) {
  return tell("setLocalVideoFramerate", json::array({framerate}), "localVideoFramerate", framerate);
}
int32_t SimRtcController::enableLocalVideo(bool enable) {
  return tell("enableLocalVideo", json::array({enable}), "localVideo", enable);
}
int32_t SimRtcController::pauseLocalVideoCapture() {
  return tell("pauseLocalVideoCapture", json::array(), "localVideoCapturePaused", true);
}

// --- audio ---

int32_t SimRtcController::setAudioProfile(int32_t profile, int32_t scenario) {
  return tell("setAudioProfile", json::array({profile, scenario}), "audioProfile",
              json{{"profile", profile}, {"scenario", scenario}});
}
int32_t SimRtcController::enableAudioEchoCancellation(bool enable) {
  return tell("enableAudioEchoCancellation", json::array({enable}), "audioEchoCancellation", enable);
}
int32_t SimRtcController::enableAudioVolumeIndication(const std::string& id, bool enable, int32_t interval,
                                                      bool flag) {
  return tell("enableAudioVolumeIndication", json::array({id, enable, interval, flag}), "audioVolumeIndication",
              json{{"id", id}, {"enable", enable}, {"interval", interval}, {"flag", flag}});
}
int32_t SimRtcController::enableAudioVolumeIndication(bool enable, int32_t interval) {
  return tell("enableAudioVolumeIndication", json::array({enable, interval}), "audioVolumeIndication",
              json{{"enable", enable}, {"interval", interval}});
}
int32_t SimRtcController::startAudioDump(int32_t type) {
  return tell("startAudioDump", json::array({type}), "audioDump", type);
}
int32_t SimRtcController::stopAudioDump() { return tell("stopAudioDump", json::array(), "audioDump", nullptr); }
int32_t SimRtcController::enableAudioAINS(bool enable) {
  return tell("enableAudioAINS", json::array({enable}), "audioAINS", enable);
}
int32_t SimRtcController::enableAudioVolumeAutoAdjust(bool enable) {
  return tell("enableAudioVolumeAutoAdjust", json::array({enable}), "audioVolumeAutoAdjust", enable);
}
int32_t SimRtcController::adjustRecordingSignalVolume(uint32_t volume) {
  return tell("adjustRecordingSignalVolume", json::array({volume}), "recordingSignalVolume", volume);
}
int32_t SimRtcController::adjustPlaybackSignalVolume(uint32_t volume) {
  return tell("adjustPlaybackSignalVolume", json::array({volume}), "playbackSignalVolume", volume);
}

int32_t SimRtcController::adjustUserPlaybackSignalVolume(const std::string& userUuid, int32_t volume) {
  return tell_of("adjustUserPlaybackSignalVolume", json::array({userUuid, volume}),
                 "userPlaybackSignalVolumes", userUuid, volume);
}

int32_t SimRtcController::adjustChannelPlaybackSignalVolume(const std::string& channel, int32_t volume) {
  return tell_of("adjustChannelPlaybackSignalVolume", json::array({channel, volume}),
                 "channelPlaybackSignalVolumes", channel, volume);
}

int32_t SimRtcController::enableLocalAudio(const std::string& channel, bool enable) {
  return tell_of("enableLocalAudio", json::array({channel, enable}), "localAudio", channel, enable);
}

int32_t SimRtcController::enableMediaPub(const std::string& channel, int32_t mediaType, bool enable) {
  return apply("enableMediaPub", json::array({channel, mediaType, enable}), [&](RtcState& s) {
    s.settings["mediaPub"][channel][std::to_string(mediaType)] = enable;
    return 0;
  });
}

int32_t SimRtcController::enableLocalAudioSubStream() {
  return tell("enableLocalAudioSubStream", json::array(), "localAudioSubStream", true);
}
int32_t SimRtcController::disableLocalAudioSubStream() {
  return tell("disableLocalAudioSubStream", json::array(), "localAudioSubStream", false);
}
int32_t SimRtcController::pauseLocalAudioRecording() {
  return tell("pauseLocalAudioRecording", json::array(), "localAudioRecordingPaused", true);
}
int32_t SimRtcController::resumeLocalAudioRecording() {
  return tell("resumeLocalAudioRecording", json::array(), "localAudioRecordingPaused", false);
}
int32_t SimRtcController::startSystemAudioLoopbackCapture() {
  return tell("startSystemAudioLoopbackCapture", json::array(), "systemAudioLoopbackCapture", true);
}
int32_t SimRtcController::stopSystemAudioLoopbackCapture() {
  return tell("stopSystemAudioLoopbackCapture", json::array(), "systemAudioLoopbackCapture", false);
}

// --- captions, encryption, proxy ---

int32_t SimRtcController::enableCaption(bool enable) {
  return tell("enableCaption", json::array({enable}), "caption", enable);
}
int32_t SimRtcController::setCaptionTranslationLanguage(int32_t language) {
  return tell("setCaptionTranslationLanguage", json::array({language}), "captionTranslationLanguage", language);
}
int32_t SimRtcController::enableEncryption(const std::string& key, int32_t mode) {
  return tell("enableEncryption", json::array({key, mode}), "encryption", json{{"key", key}, {"mode", mode}});
}
int32_t SimRtcController::setCloudProxy(int32_t proxyType) {
  return tell("setCloudProxy", json::array({proxyType}), "cloudProxy", proxyType);
}

// --- local recording ---

int32_t SimRtcController::startLocalRecord(const parlo::LocalRecordParams& params) {
  return apply("startLocalRecord", json::array({params}), [&](RtcState& s) {
    LocalRecording& r = s.localRecord;
    if (r.recording) return kWrongState;
    r.recording = true;
    r.remuxing = false;
    r.params = params;
    r.framesPushed = 0;
    return 0;
  });
}

int32_t SimRtcController::stopLocalRecord() {
  return apply("stopLocalRecord", json::array(), [&](RtcState& s) {
    LocalRecording& r = s.localRecord;
    if (!r.recording) return kWrongState;
    r.recording = false;
    r.remuxing = true;
    return 0;
  });
}

int32_t SimRtcController::updateLocalRecordLayouts(const parlo::LocalRecordLayoutList& layouts) {
  return apply("updateLocalRecordLayouts", json::array({layouts}), [&](RtcState& s) {
    s.localRecord.layouts = layouts;
    return 0;
  });
}

int32_t SimRtcController::pushLocalRecorderVideoFrame(const std::string& id, int32_t streamType,
                                                      const parlo::RecorderVideoFrame& frame) {
  const json shown = frame;
  return apply("pushLocalRecorderVideoFrame", json::array({id, streamType, shown}), [&](RtcState& s) {
    ++s.localRecord.framesPushed;
    s.localRecord.lastFrame = json{{"id", id}, {"streamType", streamType}, {"frame", shown}};
    return 0;
  });
}

int32_t SimRtcController::stopLocalRecorderRemux() {
  return apply("stopLocalRecorderRemux", json::array(), [&](RtcState& s) {
    s.localRecord.remuxing = false;
    return 0;
  });
}

// --- streams and mutes: the room's members change ---

void SimRtcController::run(const char* op, json args, parlo::QVCompletion done, const Change& change) {
  Answer answer = engine().call(op, std::move(args));
  RoomEvents events;
  if (answer.code == 0) {
    std::lock_guard<std::mutex> lock(rooms_lock());
    SimRoom* joined = room();
    events = joined == nullptr ? fail(answer, kNotFound, "room " + uuid_ + " is gone") : change(answer, *joined);
  }
  engine().finish(answer, std::move(done));
  raise_later(uuid_, std::move(events));
}

RoomEvents SimRtcController::change_local(Answer& answer, SimRoom& room, const json& changes) {
  parlo::RoomMemberPtr me = room.local_member();
  if (!me) return fail(answer, kNotFound, "no local member in room " + uuid_);
  return room.update_member(me->getUuid(), changes, "");
}

void SimRtcController::change_me(const char* op, json args, json changes, parlo::QVCompletion done) {
  run(op, std::move(args), std::move(done),
      [&](Answer& answer, SimRoom& room) { return change_local(answer, room, changes); });
}

void SimRtcController::change_member(const char* op, const std::string& user, json changes,
                                     parlo::QVCompletion done, const std::function<void(RtcState&)>& mine) {
  run(op, json::array({user}), std::move(done), [&](Answer& answer, SimRoom& room) -> RoomEvents {
    if (!in_room(room, user)) return fail(answer, kNotFound, "no member " + user + " in the room");
    parlo::RoomMemberPtr me = room.local_member();
    const std::string by = me ? me->getUuid() : "";
    if (mine && user == by) mine(s_);
    return room.update_member(user, changes, by);
  });
}

void SimRtcController::joinRtcChannel(const std::string& param, parlo::QVCompletion done) {
  change_me("joinRtcChannel", json::array({param}), {{"isInRtcChannel", true}}, std::move(done));
}
void SimRtcController::joinRtcChannel(parlo::QVCompletion done) {
  change_me("joinRtcChannel", json::array(), {{"isInRtcChannel", true}}, std::move(done));
}
void SimRtcController::leaveRtcChannel(const std::string& param, parlo::QVCompletion done) {
  change_me("leaveRtcChannel", json::array({param}), {{"isInRtcChannel", false}}, std::move(done));
}
void SimRtcController::leaveRtcChannel(parlo::QVCompletion done) {
  change_me("leaveRtcChannel", json::array(), {{"isInRtcChannel", false}}, std::move(done));
}

void SimRtcController::muteMyAudio(parlo::QVCompletion done) {
  change_me("muteMyAudio", json::array(), {{"isAudioOn", false}}, std::move(done));
}
void SimRtcController::unmuteMyAudio(bool flag, parlo::QVCompletion done) {
  change_me("unmuteMyAudio", json::array({flag}), {{"isAudioOn", true}}, std::move(done));
}
void SimRtcController::muteMyVideo(parlo::QVCompletion done) {
  change_me("muteMyVideo", json::array(), {{"isVideoOn", false}}, std::move(done));
}
void SimRtcController::unmuteMyVideo(parlo::QVCompletion done) {
  change_me("unmuteMyVideo", json::array(), {{"isVideoOn", true}}, std::move(done));
}
void SimRtcController::disconnectMyAudio(parlo::QVCompletion done) {
  change_me("disconnectMyAudio", json::array(), {{"isAudioConnected", false}}, std::move(done));
}
void SimRtcController::reconnectMyAudio(parlo::QVCompletion done) {
  change_me("reconnectMyAudio", json::array(), {{"isAudioConnected", true}}, std::move(done));
}
void SimRtcController::startShareSystemAudio(parlo::QVCompletion done) {
  change_me("startShareSystemAudio", json::array(), {{"isSharingSystemAudio", true}}, std::move(done));
}
void SimRtcController::stopShareSystemAudio(parlo::QVCompletion done) {
  change_me("stopShareSystemAudio", json::array(), {{"isSharingSystemAudio", false}}, std::move(done));
}

void SimRtcController::muteMemberAudio(const std::string& userUuid, parlo::QVCompletion done) {
  change_member("muteMemberAudio", userUuid, {{"isAudioOn", false}}, std::move(done));
}
void SimRtcController::unmuteMemberAudio(const std::string& userUuid, parlo::QVCompletion done) {
  change_member("unmuteMemberAudio", userUuid, {{"isAudioOn", true}}, std::move(done));
}
void SimRtcController::muteMemberVideo(const std::string& userUuid, parlo::QVCompletion done) {
  change_member("muteMemberVideo", userUuid, {{"isVideoOn", false}}, std::move(done));
}
void SimRtcController::unmuteMemberVideo(const std::string& userUuid, parlo::QVCompletion done) {
  change_member("unmuteMemberVideo", userUuid, {{"isVideoOn", true}}, std::move(done));
}
void SimRtcController::stopMemberShare(const std::string& userUuid, parlo::QVCompletion done) {
  change_member("stopMemberShare", userUuid, {{"isSharingScreen", false}}, std::move(done),
                [](RtcState& s) { s.share = nullptr; });
}
void SimRtcController::stopMemberSystemAudioShare(const std::string& userUuid, parlo::QVCompletion done) {
  change_member("stopMemberSystemAudioShare", userUuid, {{"isSharingSystemAudio", false}}, std::move(done));
}

// --- screen sharing ---

void SimRtcController::getScreenCaptureSourceList(int32_t thumbWidth, int32_t thumbHeight, int32_t iconWidth,
                                                  int32_t iconHeight, bool includeScreens,
                                                  parlo::QVResultCompletion<parlo::ScreenCaptureSourceList> done) {
  Answer answer = engine().call("getScreenCaptureSourceList",
                                json::array({thumbWidth, thumbHeight, iconWidth, iconHeight, includeScreens}));
  std::vector<SourceState> listed;
  if (answer.code == 0) {
    std::lock_guard<std::mutex> lock(rooms_lock());
    for (const auto& source : s_.sources) {
      if (includeScreens || source.type != kScreenSource) listed.push_back(source);
    }
  }
  // The records point into `kept`, which the completion holds: the pixels stay valid
  // for the completion's call, whatever script lists meanwhile.
  auto kept = std::make_shared<const std::vector<SourceState>>(answer.result_or(std::move(listed)));
  parlo::ScreenCaptureSourceList list;
  for (const auto& source : *kept) list.push_back(source.record());
  engine().finish(answer,
                  [done = std::move(done), kept](int32_t code, const std::string& message,
                                                 const parlo::ScreenCaptureSourceList& sources) {
                    done(code, message, sources);
                  },
                  std::move(list));
}

void SimRtcController::start_share(const char* op, json args, const int64_t* source, json share,
                                   parlo::QVCompletion done) {
  run(op, std::move(args), std::move(done), [&](Answer& answer, SimRoom& room) -> RoomEvents {
    auto listed = [&](const SourceState& s) { return s.id == *source; };
    if (source != nullptr && std::none_of(s_.sources.begin(), s_.sources.end(), listed)) {
      return fail(answer, kNotFound, "no capture source " + std::to_string(*source));
    }
    RoomEvents events = change_local(answer, room, {{"isSharingScreen", true}});
    if (answer.code == 0) s_.share = std::move(share);
    return events;
  });
}

void SimRtcController::startAppShare(int64_t sourceId, const parlo::ScreenShareConfig& config,
                                     parlo::QVCompletion done) {
  start_share("startAppShare", json::array({sourceId, config}), &sourceId,
              {{"kind", "app"}, {"sourceId", sourceId}, {"config", config}}, std::move(done));
}

void SimRtcController::startScreenShare(int64_t sourceId, const parlo::ScreenShareConfig& config,
                                        const parlo::WindowIdList& exclude, parlo::QVCompletion done) {
  start_share("startScreenShare", json::array({sourceId, config, exclude}), &sourceId,
              {{"kind", "screen"}, {"sourceId", sourceId}, {"config", config}, {"exclude", exclude}},
              std::move(done));
}

void SimRtcController::startRectShare(const parlo::Rect& screenRect, const parlo::Rect& regionRect,
                                      const parlo::WindowIdList& exclude, bool flag, parlo::QVCompletion done) {
  start_share("startRectShare", json::array({screenRect, regionRect, exclude, flag}), nullptr,
              {{"kind", "rect"},
               {"screenRect", screenRect},
               {"regionRect", regionRect},
               {"exclude", exclude},
               {"flag", flag}},
              std::move(done));
}

void SimRtcController::stopShare(parlo::QVCompletion done) {
  run("stopShare", json::array(), std::move(done), [&](Answer& answer, SimRoom& room) {
    RoomEvents events = change_local(answer, room, {{"isSharingScreen", false}});
    if (answer.code == 0) s_.share = nullptr;
    return events;
  });
}

int32_t SimRtcController::setExcludeWindowList(const parlo::WindowIdList& windows) {
  return tell("setExcludeWindowList", json::array({windows}), "excludeWindowList", windows);
}

// Whoever shares a screen in the room, the local member first; empty when nobody does.
int32_t SimRtcController::getScreenSharingUserUuid(std::string& userUuid) {
  return fill("getScreenSharingUserUuid", userUuid, [this](const RtcState&, std::string& out) -> int32_t {
    out.clear();
    SimRoom* joined = room();
    if (joined == nullptr) return 0;
    for (const auto& member : joined->members()) {
      if (member->isSharingScreen()) {
        out = member->getUuid();
        break;
      }
    }
    return 0;
  });
}

// --- snapshots ---

void SimRtcController::snapshot(const char* op, json args, const std::string* remote, int32_t streamType,
                                parlo::QVResultCompletion<parlo::SnapshotResult> done) {
  Answer answer = engine().call(op, std::move(args));
  parlo::SnapshotResult result;
  if (answer.code == 0) {
    std::lock_guard<std::mutex> lock(rooms_lock());
    SimRoom* joined = room();
    std::string user;
    if (joined == nullptr) {
      fail(answer, kNotFound, "room " + uuid_ + " is gone");
    } else if (remote != nullptr) {
      if (in_room(*joined, *remote, true)) user = *remote;
      else fail(answer, kNotFound, "no remote member " + *remote + " in the room");
    } else {
      parlo::RoomMemberPtr me = joined->local_member();
      user = me ? me->getUuid() : "local";
    }
    if (answer.code == 0) {
      result.path = "/tmp/parlo-sim/snapshot-" + user + "-" + std::to_string(streamType) + ".png";
      result.timestamp = now_ms();
    }
  }
  result = answer.result_or(result);
  engine().finish(answer, std::move(done), result);
}

void SimRtcController::takeLocalSnapshot(int32_t streamType, parlo::QVResultCompletion<parlo::SnapshotResult> done) {
  snapshot("takeLocalSnapshot", json::array({streamType}), nullptr, streamType, std::move(done));
}

void SimRtcController::takeRemoteSnapshot(const std::string& userUuid, int32_t streamType,
                                          parlo::QVResultCompletion<parlo::SnapshotResult> done) {
  snapshot("takeRemoteSnapshot", json::array({userUuid, streamType}), &userUuid, streamType, std::move(done));
}

// --- script's changes ---

RoomEvents SimRtcController::update(const json& changes) {
  if (!changes.is_object()) throw std::invalid_argument("RTC changes must be an object");
  json merged = s_;
  for (const auto& item : changes.items()) {
    if (kScriptable.count(item.key()) == 0) {
      throw std::invalid_argument(merged.contains(item.key()) ? item.key() + " is what the SDK was told, not scriptable"
                                                              : "no RTC state " + item.key());
    }
    merged[item.key()] = item.value();
  }
  RtcState after = merged.get<RtcState>();
  RoomEvents events;
  for (const DeviceKind& kind : kDeviceKinds) {
    RoomEvents more = device_changes(kind, s_, after, changes.contains(kind.chosen_key));
    events.insert(events.end(), more.begin(), more.end());
  }
  s_ = std::move(after);
  return events;
}

SimRtcController& rtc_controller_of(const SimRoom& room) {
  std::shared_ptr<void> made = room.made_controller(kLink);
  if (!made) throw std::logic_error("room has no RTC controller");
  return *static_cast<SimRtcController*>(static_cast<parlo::IQVRoomRtcController*>(made.get()));
}

namespace {

const bool factory_added = add_room_controller(kLink, [](const std::string& uuid) -> std::shared_ptr<void> {
  return std::shared_ptr<parlo::IQVRoomRtcController>(std::make_shared<SimRtcController>(uuid));
});

}  // namespace
}  // namespace parlo_sim
