// RoomListenerAdapter: the room listener the module registers for addRoomListener.
// Every room event reaches the script listener as (eventName, payload...); decoded
// video frames go to the frame hub instead, on the SDK's thread (the operations
// shared with the preview room listener are forwarded by MediaEventsAdapter). Room
// events queue in blocking mode (the queue is unbounded, so that never waits).
#pragma once

#include <list>
#include <string>

#include "collab/chat_records.h"
#include "core/bind.h"
#include "core/listeners.h"
#include "sdk/room_context.h"
#include "core/trace.h"
#include "room/media_events_adapter.h"
#include "room/room_records.h"
#include "sdk/room_listener.h"

namespace brimo {

class RoomListenerAdapter final : public MediaEventsAdapter<parlo::IQVRoomListener> {
 public:
  RoomListenerAdapter(Napi::Env env, Napi::Value listener) : MediaEventsAdapter(env, listener, /*blocking=*/true) {}

  void onMemberRoleChanged(const std::string& user, const parlo::RoomRole& before,
                           const parlo::RoomRole& after) override {
    emit("onMemberRoleChanged", user, before, after);
  }
  void onMemberJoinRoom(const parlo::RoomMemberList& members) override { emit("onMemberJoinRoom", members); }
  void onMemberLeaveRoom(const parlo::RoomMemberList& members) override { emit("onMemberLeaveRoom", members); }
  void onRoomEnded(int32_t reason) override { emit("onRoomEnded", reason); }
  void onRoomLockStateChanged(bool locked) override { emit("onRoomLockStateChanged", locked); }
  void onRoomRemainingSecondsRenewed(uint64_t seconds) override { emit("onRoomRemainingSecondsRenewed", seconds); }
  void onMemberJoinRtcChannel(const parlo::RoomMemberList& members) override {
    emit("onMemberJoinRtcChannel", members);
  }
  void onMemberLeaveRtcChannel(const parlo::RoomMemberList& members) override {
    emit("onMemberLeaveRtcChannel", members);
  }
  void onMemberJoinChatroom(const parlo::RoomMemberList& members) override { emit("onMemberJoinChatroom", members); }
  void onMemberLeaveChatroom(const parlo::RoomMemberList& members) override {
    emit("onMemberLeaveChatroom", members);
  }
  void onMemberAudioMuteChanged(const parlo::RoomMemberPtr& member, bool on, const parlo::RoomMemberPtr& by) override {
    emit("onMemberAudioMuteChanged", member, on, by);
  }
  void onMemberVideoMuteChanged(const parlo::RoomMemberPtr& member, bool on, const parlo::RoomMemberPtr& by) override {
    emit("onMemberVideoMuteChanged", member, on, by);
  }
  void onMemberScreenShareStateChanged(const parlo::RoomMemberPtr& member, bool on,
                                       const parlo::RoomMemberPtr& by) override {
    emit("onMemberScreenShareStateChanged", member, on, by);
  }
  void onMemberSystemAudioShareStateChanged(const parlo::RoomMemberPtr& member, bool on,
                                            const parlo::RoomMemberPtr& by) override {
    emit("onMemberSystemAudioShareStateChanged", member, on, by);
  }
  void onMemberWhiteboardStateChanged(const parlo::RoomMemberPtr& member, bool on,
                                      const parlo::RoomMemberPtr& by) override {
    emit("onMemberWhiteboardStateChanged", member, on, by);
  }
  void onRoomAnnotationEnableChanged(bool enabled) override { emit("onRoomAnnotationEnableChanged", enabled); }
  void onRtcScreenCaptureSourceDataUpdate(const parlo::ScreenCaptureSourceData& data) override {
    emit("onRtcScreenCaptureSourceDataUpdate", data);
  }
  void onMemberSIPInviteStateChanged(const parlo::RoomMemberPtr& member, const parlo::RoomMemberPtr& by) override {
    emit("onMemberSIPInviteStateChanged", member, by);
  }
  void onMemberAppInviteStateChanged(const parlo::RoomMemberPtr& member, const parlo::RoomMemberPtr& by) override {
    emit("onMemberAppInviteStateChanged", member, by);
  }
  void reservedEvent30() override {}
  void onReceiveChatroomMessages(const parlo::ChatMessageList& messages) override {
    emit("onReceiveChatroomMessages", messages);
  }
  void onChatroomMessageAttachmentProgress(const std::string& message, int64_t transferred, int64_t total,
                                           int32_t percent) override {
    emit("onChatroomMessageAttachmentProgress", message, transferred, total, percent);
  }
  void reservedEvent33() override {}
  void onRtcChannelError(const std::string& channel, int32_t code) override {
    emit("onRtcChannelError", channel, code);
  }
  void onRtcChannelError(int32_t code, const std::string& message) override {
    emit("onRtcChannelError", code, message);
  }
  void onRoomPropertiesChanged(const parlo::StringMap& properties) override {
    emit("onRoomPropertiesChanged", ChangedRoomProperties{properties});
  }
  void onRoomPropertiesDeleted(const parlo::StringMap& properties) override {
    emit("onRoomPropertiesDeleted", DeletedRoomProperties{properties});
  }
  void onMemberPropertiesChanged(const std::string& user, const parlo::StringMap& properties) override {
    emit("onMemberPropertiesChanged", user, properties);
  }
  void onMemberPropertiesDeleted(const std::string& user, const parlo::StringMap& properties) override {
    emit("onMemberPropertiesDeleted", user, properties);
  }
  void onRoomLiveStateChanged(int32_t state) override { emit("onRoomLiveStateChanged", state); }
  void onRoomLiveBackgroundInfoChanged(int64_t version) override { emit("onRoomLiveBackgroundInfoChanged", version); }
  void onMemberNameChanged(const parlo::RoomMemberPtr& member, const std::string& name) override {
    emit("onMemberNameChanged", member, name);
  }
  void onMemberAudioConnectStateChanged(const parlo::RoomMemberPtr& member, bool connected) override {
    emit("onMemberAudioConnectStateChanged", member, connected);
  }
  void onRtcVideoStats(const std::list<parlo::RtcVideoStatsInfo>& stats) override { emit("onRtcVideoStats", stats); }
  // Both forms hand script the volumes first, so they read alike; this one adds the channel after.
  void onRtcRemoteAudioVolumeIndication(const std::string& channel,
                                        const std::list<parlo::RtcAudioVolumeInfo>& volumes) override {
    emit("onRtcRemoteAudioVolumeIndication", volumes, channel);
  }
  void onRtcRemoteAudioVolumeIndication(const std::list<parlo::RtcAudioVolumeInfo>& volumes) override {
    emit("onRtcRemoteAudioVolumeIndication", volumes);
  }
  void onRoomConnectStateChanged(int32_t state) override { emit("onRoomConnectStateChanged", state); }
  void onRtcDisconnect() override { emit("onRtcDisconnect"); }
  void onRtcUserVideoStart(const std::string& user) override { emit("onRtcUserVideoStart", user); }
  void onRtcUserVideoStop(const std::string& user) override { emit("onRtcUserVideoStop", user); }
  void onRtcScreenCaptureStatus(int32_t status) override { emit("onRtcScreenCaptureStatus", status); }
  void onRtcRecvSEIMsg(const std::string& user, const std::string& data) override {
    emit("onRtcRecvSEIMsg", user, data);
  }
  void onRtcUserAudioSubStreamStart(const std::string& user) override { emit("onRtcUserAudioSubStreamStart", user); }
  void onRtcUserAudioSubStreamStop(const std::string& user) override { emit("onRtcUserAudioSubStreamStop", user); }
  void onRoomCloudRecordStateChanged(int32_t state, const parlo::RoomMemberPtr& by) override {
    emit("onRoomCloudRecordStateChanged", state, by);
  }
  void onRoomBlacklistStateChanged(bool enabled) override { emit("onRoomBlacklistStateChanged", enabled); }
  void onRoomMaxMembersChanged(int64_t max) override { emit("onRoomMaxMembersChanged", max); }
  void onRtcLocalAudioVolumeIndication(int32_t volume, bool vad, const std::string& channel) override {
    emit("onRtcLocalAudioVolumeIndication", volume, vad, channel);
  }
  void onRtcChannelDisconnect(const std::string& channel, int32_t reason) override {
    emit("onRtcChannelDisconnect", channel, reason);
  }
  // The caption service's state is worth a line in the trace, written as it arrives.
  void onCaptionStateChanged(int32_t state, int32_t code, const std::string& message) override {
    trace_text("onCaptionStateChanged state, " + std::to_string(state) + " code, " + std::to_string(code) +
               " message, " + message + "\n");
    emit("onCaptionStateChanged", state, code, message);
  }
  void onReceiveCaptionMessages(const std::list<parlo::CaptionMessagePtr>& captions,
                                const std::string& channel) override {
    emit("onReceiveCaptionMessages", captions, channel);
  }
  void onAudioHowling(bool detected) override { emit("onAudioHowling", detected); }
};

using RoomListeners = ListenerKind<RoomListenerAdapter, &parlo::IQVRoomContext::addRoomListener,
                                   &parlo::IQVRoomContext::removeRoomListener, &ListenerRegistry::room>;

}  // namespace brimo
