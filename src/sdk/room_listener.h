// The SDK's room listener: the operations it shares with the preview room listener
// (decoded video frames, device and local media events) first, then the room events
// in the SDK's order. Three events come in two forms; both forms are overloads here.
// Two slots carry events the binding does not use; they keep their places.
#pragma once

#include <cstdint>
#include <list>
#include <string>

#include "sdk/base_room_listener.h"
#include "sdk/chat_message.h"
#include "sdk/room_member.h"
#include "sdk/room_records.h"

namespace parlo {

class IQVRoomListener : public IQVBaseRoomListener {
 public:
  virtual void onMemberRoleChanged(const std::string& userUuid, const RoomRole& before, const RoomRole& after) = 0;
  virtual void onMemberJoinRoom(const RoomMemberList& members) = 0;
  virtual void onMemberLeaveRoom(const RoomMemberList& members) = 0;
  virtual void onRoomEnded(int32_t reason) = 0;
  virtual void onRoomLockStateChanged(bool locked) = 0;
  virtual void onRoomRemainingSecondsRenewed(uint64_t seconds) = 0;
  virtual void onMemberJoinRtcChannel(const RoomMemberList& members) = 0;
  virtual void onMemberLeaveRtcChannel(const RoomMemberList& members) = 0;
  virtual void onMemberJoinChatroom(const RoomMemberList& members) = 0;
  virtual void onMemberLeaveChatroom(const RoomMemberList& members) = 0;
  virtual void onMemberAudioMuteChanged(const RoomMemberPtr& member, bool on, const RoomMemberPtr& by) = 0;
  virtual void onMemberVideoMuteChanged(const RoomMemberPtr& member, bool on, const RoomMemberPtr& by) = 0;
  virtual void onMemberScreenShareStateChanged(const RoomMemberPtr& member, bool on, const RoomMemberPtr& by) = 0;
  virtual void onMemberSystemAudioShareStateChanged(const RoomMemberPtr& member, bool on,
                                                    const RoomMemberPtr& by) = 0;
  virtual void onMemberWhiteboardStateChanged(const RoomMemberPtr& member, bool on, const RoomMemberPtr& by) = 0;
  virtual void onRoomAnnotationEnableChanged(bool enabled) = 0;
  virtual void onRtcScreenCaptureSourceDataUpdate(const ScreenCaptureSourceData& data) = 0;
  virtual void onMemberSIPInviteStateChanged(const RoomMemberPtr& member, const RoomMemberPtr& by) = 0;
  virtual void onMemberAppInviteStateChanged(const RoomMemberPtr& member, const RoomMemberPtr& by) = 0;
  virtual void reservedEvent30() = 0;
  virtual void onReceiveChatroomMessages(const ChatMessageList& messages) = 0;
  virtual void onChatroomMessageAttachmentProgress(const std::string& messageUuid, int64_t transferred,
                                                   int64_t total, int32_t percent) = 0;
  virtual void reservedEvent33() = 0;
  virtual void onRtcChannelError(const std::string& channel, int32_t code) = 0;
  virtual void onRtcChannelError(int32_t code, const std::string& message) = 0;
  virtual void onRoomPropertiesChanged(const StringMap& properties) = 0;
  virtual void onRoomPropertiesDeleted(const StringMap& properties) = 0;
  virtual void onMemberPropertiesChanged(const std::string& userUuid, const StringMap& properties) = 0;
  virtual void onMemberPropertiesDeleted(const std::string& userUuid, const StringMap& properties) = 0;
  virtual void onRoomLiveStateChanged(int32_t state) = 0;
  virtual void onRoomLiveBackgroundInfoChanged(int64_t version) = 0;
  virtual void onMemberNameChanged(const RoomMemberPtr& member, const std::string& name) = 0;
  virtual void onMemberAudioConnectStateChanged(const RoomMemberPtr& member, bool connected) = 0;
  virtual void onRtcVideoStats(const std::list<RtcVideoStatsInfo>& stats) = 0;
  virtual void onRtcRemoteAudioVolumeIndication(const std::string& channel,
                                                const std::list<RtcAudioVolumeInfo>& volumes) = 0;
  virtual void onRtcRemoteAudioVolumeIndication(const std::list<RtcAudioVolumeInfo>& volumes) = 0;
  virtual void onRoomConnectStateChanged(int32_t state) = 0;
  virtual void onRtcDisconnect() = 0;
  virtual void onRtcUserVideoStart(const std::string& userUuid) = 0;
  virtual void onRtcUserVideoStop(const std::string& userUuid) = 0;
  virtual void onRtcScreenCaptureStatus(int32_t status) = 0;
  virtual void onRtcRecvSEIMsg(const std::string& userUuid, const std::string& data) = 0;
  virtual void onRtcUserAudioSubStreamStart(const std::string& userUuid) = 0;
  virtual void onRtcUserAudioSubStreamStop(const std::string& userUuid) = 0;
  virtual void onRoomCloudRecordStateChanged(int32_t state, const RoomMemberPtr& by) = 0;
  virtual void onRoomBlacklistStateChanged(bool enabled) = 0;
  virtual void onRoomMaxMembersChanged(int64_t maxMembers) = 0;
  virtual void onRtcLocalAudioVolumeIndication(int32_t volume, bool vad, const std::string& channel) = 0;
  virtual void onRtcChannelDisconnect(const std::string& channel, int32_t reason) = 0;
  virtual void onCaptionStateChanged(int32_t state, int32_t code, const std::string& message) = 0;
  virtual void onReceiveCaptionMessages(const std::list<CaptionMessagePtr>& captions, const std::string& channel) = 0;
  virtual void onAudioHowling(bool detected) = 0;
};

}  // namespace parlo
