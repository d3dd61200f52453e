// The simulated RTC controller of one joined room, kept as state: the machine's
// devices and capture sources (scripted by sim.rtc), what the SDK was told (device
// choices, volumes, canvases, subscriptions, audio switches, ...), the local share
// and the local recording. Streams, mutes and shares change the room's members, so
// the room's listeners hear the member events the room raises, after the
// operation's completion.
//
// The operations it shares with the preview room's controller (devices, volumes,
// audio switches, local recording) are SimMediaController's (sim_media.h).
//
// Locking: the controller's state is read and written under the rooms' lock
// (room_registry.h), which its own operations take; update() and state() run with
// it held.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine.h"
#include "rtc_json.h"
#include "sdk/rtc_controller.h"
#include "sim_media.h"
#include "sim_room.h"

namespace parlo_sim {

// A controller's state as JSON uses the keys script sees in sim.rtc.get().
struct RtcState : MediaState {
  std::vector<SourceState> sources;
  json share;  // what the local share was started with; null when not sharing
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(RtcState, supported, virtualBackgroundSupportedType, cameras,
                                                playouts, records, selectedCamera, selectedPlayout, selectedRecord,
                                                playoutVolume, recordVolume, playoutMute, sources, share,
                                                localRecord, settings)

class SimRtcController final : public SimMediaController<parlo::IQVRoomRtcController, RtcState> {
 public:
  explicit SimRtcController(std::string room_uuid);
  ~SimRtcController() override = default;

  // --- the room's own operations ---

  void joinRtcChannel(const std::string& param, parlo::QVCompletion done) override;
  void joinRtcChannel(parlo::QVCompletion done) override;
  void leaveRtcChannel(const std::string& param, parlo::QVCompletion done) override;
  void leaveRtcChannel(parlo::QVCompletion done) override;
  void muteMyAudio(parlo::QVCompletion done) override;
  void unmuteMyAudio(bool flag, parlo::QVCompletion done) override;
  int32_t setupRemoteVideoCanvas(const std::string& userUuid, const parlo::VideoCanvas& canvas) override;
  int32_t setupRemoteVideoSubStreamCanvas(const std::string& userUuid, const parlo::VideoCanvas& canvas) override;
  int32_t subscribeRemoteVideoStream(const std::string& userUuid, bool highStream) override;
  int32_t unsubscribeRemoteVideoStream(const std::string& userUuid) override;
  int32_t subscribeRemoteVideoSubStream(const std::string& userUuid) override;
  int32_t unsubscribeRemoteVideoSubStream(const std::string& userUuid) override;
  void muteMyVideo(parlo::QVCompletion done) override;
  void unmuteMyVideo(parlo::QVCompletion done) override;
  void getScreenCaptureSourceList(int32_t thumbWidth, int32_t thumbHeight, int32_t iconWidth, int32_t iconHeight,
                                  bool includeScreens,
                                  parlo::QVResultCompletion<parlo::ScreenCaptureSourceList> done) override;
  void startAppShare(int64_t sourceId, const parlo::ScreenShareConfig& config, parlo::QVCompletion done) override;
  void startScreenShare(int64_t sourceId, const parlo::ScreenShareConfig& config, const parlo::WindowIdList& exclude,
                        parlo::QVCompletion done) override;
  void startRectShare(const parlo::Rect& screenRect, const parlo::Rect& regionRect, const parlo::WindowIdList& exclude,
                      bool flag, parlo::QVCompletion done) override;
  int32_t setExcludeWindowList(const parlo::WindowIdList& windows) override;
  void stopShare(parlo::QVCompletion done) override;
  int32_t startSystemAudioLoopbackCapture() override;
  int32_t stopSystemAudioLoopbackCapture() override;
  void muteMemberAudio(const std::string& userUuid, parlo::QVCompletion done) override;
  void unmuteMemberAudio(const std::string& userUuid, parlo::QVCompletion done) override;
  void muteMemberVideo(const std::string& userUuid, parlo::QVCompletion done) override;
  void unmuteMemberVideo(const std::string& userUuid, parlo::QVCompletion done) override;
  int32_t enableMediaPub(const std::string& channel, int32_t mediaType, bool enable) override;
  void stopMemberShare(const std::string& userUuid, parlo::QVCompletion done) override;
  void stopMemberSystemAudioShare(const std::string& userUuid, parlo::QVCompletion done) override;
  int32_t getScreenSharingUserUuid(std::string& userUuid) override;
  int32_t adjustUserPlaybackSignalVolume(const std::string& userUuid, int32_t volume) override;
  int32_t enableLocalAudioSubStream() override;
  int32_t disableLocalAudioSubStream() override;
  int32_t pauseLocalAudioRecording() override;
  int32_t resumeLocalAudioRecording() override;
  int32_t pauseLocalVideoCapture() override;
  int32_t enableEncryption(const std::string& key, int32_t mode) override;
  void disconnectMyAudio(parlo::QVCompletion done) override;
  void reconnectMyAudio(parlo::QVCompletion done) override;
  int32_t adjustChannelPlaybackSignalVolume(const std::string& channel, int32_t volume) override;
  int32_t enableLocalAudio(const std::string& channel, bool enable) override;
  void takeLocalSnapshot(int32_t streamType, parlo::QVResultCompletion<parlo::SnapshotResult> done) override;
  void takeRemoteSnapshot(const std::string& userUuid, int32_t streamType,
                          parlo::QVResultCompletion<parlo::SnapshotResult> done) override;
  int32_t enableCaption(bool enable) override;
  int32_t setCaptionTranslationLanguage(int32_t language) override;
  void startShareSystemAudio(parlo::QVCompletion done) override;
  void stopShareSystemAudio(parlo::QVCompletion done) override;
  int32_t enableLocalVideo(bool enable) override;
  int32_t setCloudProxy(int32_t proxyType) override;

  // --- changes (the rooms' lock is held) ---

  // The state, as sim.rtc.get() shows it.
  json state() const { return s_; }

  // Lays `changes` over what the room's machine has: devices, device choices,
  // volumes, playout mute, capture sources, support. Device lists that change raise
  // the device events; a chosen device that is gone falls back to the default.
  // Throws, changing nothing, on anything else or on what does not read.
  RoomEvents update(const json& changes);

 private:
  using Change = std::function<RoomEvents(Answer&, SimRoom&)>;

  std::mutex& state_mutex() override;
  // The recorder's reports reach the room's listeners.
  void raise(MediaEvents events) override;

  // An operation with a completion that changes the room: `change` runs under the
  // rooms' lock when the answer is a success, and answers the room events, raised
  // after the completion.
  void run(const char* op, json args, parlo::QVCompletion done, const Change& change);
  // The local member's fields become `changes`; no local member fails the answer.
  RoomEvents change_local(Answer& answer, SimRoom& room, const json& changes);
  void change_me(const char* op, json args, json changes, parlo::QVCompletion done);
  // Member `user`'s fields become `changes`, done by the local member; `mine` also
  // runs on the state when `user` is the local member.
  void change_member(const char* op, const std::string& user, json changes, parlo::QVCompletion done,
                     const std::function<void(RtcState&)>& mine = nullptr);
  // The local member starts sharing what `share` says; `source`, when given, must be listed.
  void start_share(const char* op, json args, const int64_t* source, json share, parlo::QVCompletion done);
  void snapshot(const char* op, json args, const std::string* remote, int32_t streamType,
                parlo::QVResultCompletion<parlo::SnapshotResult> done);

  // This controller's room while it is joined; null once it is gone. The rooms' lock is held.
  SimRoom* room() const;

  const std::string uuid_;
};

// The RTC controller of a joined room; the rooms' lock is held.
SimRtcController& rtc_controller_of(const SimRoom& room);

}  // namespace parlo_sim
