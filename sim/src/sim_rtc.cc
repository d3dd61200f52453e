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

// What the SDK was told of the room's own subjects: null until told, and the
// collections empty.
json room_settings() {
  return json{
      {"remoteVideoCanvases", json::object()},           // user -> canvas
      {"remoteVideoSubStreamCanvases", json::object()},  // user -> canvas
      {"remoteVideoStreams", json::object()},            // user -> highStream
      {"remoteVideoSubStreams", json::array()},          // users
      {"localVideo", nullptr},
      {"localVideoCapturePaused", false},
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
  static_cast<MediaState&>(s) = initial_media();
  s.settings.update(room_settings());
  s.sources = default_sources();
  return s;
}

// What script may lay over a controller: what the room's machine has. The rest is
// what the SDK was told.
const std::set<std::string> kScriptable = {
    "supported",      "virtualBackgroundSupportedType", "cameras",       "playouts",     "records",
    "selectedCamera", "selectedPlayout",                "selectedRecord", "playoutVolume", "recordVolume",
    "playoutMute",    "sources",
};

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

SimRtcController::SimRtcController(std::string room_uuid)
    : SimMediaController(initial_state(), nullptr), uuid_(std::move(room_uuid)) {}

std::mutex& SimRtcController::state_mutex() { return rooms_lock(); }

void SimRtcController::raise(MediaEvents events) { raise_later(uuid_, RoomEvents(events.begin(), events.end())); }

SimRoom* SimRtcController::room() const {
  auto& joined = room_registry().joined;
  auto found = joined.find(uuid_);
  if (found == joined.end()) return nullptr;
  const void* mine = static_cast<const parlo::IQVRoomRtcController*>(this);
  return found->second->made_controller(kLink).get() == mine ? found->second.get() : nullptr;
}

// --- video ---

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

int32_t SimRtcController::enableLocalVideo(bool enable) {
  return tell("enableLocalVideo", json::array({enable}), "localVideo", enable);
}
int32_t SimRtcController::pauseLocalVideoCapture() {
  return tell("pauseLocalVideoCapture", json::array(), "localVideoCapturePaused", true);
}

// --- audio ---

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
  MediaEvents events = device_changes(s_, after, changes);
  s_ = std::move(after);
  return RoomEvents(events.begin(), events.end());
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
