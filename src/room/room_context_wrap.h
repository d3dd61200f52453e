// IQVRoomContextWrap: a joined room, found again by its UUID on every call: its
// state and members, member and room actions, room and statistics listeners. It
// makes the room's nine controller wrappers when it is constructed and holds them;
// their getters never resolve, so they keep working after the room is left.
#pragma once

#include <napi.h>

#include <string>

#include "core/wrap.h"
#include "sdk/room_context.h"

namespace brimo {

class IQVRoomContextWrap : public Wrap<IQVRoomContextWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomContextWrap";
  static constexpr const char* kTraceName = nullptr;  // its lines carry the room UUID

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomContextWrap(const Napi::CallbackInfo& info);
  ~IQVRoomContextWrap() override;

  const std::string& room_uuid() const { return room_uuid_; }

 private:
  Napi::Value getRoomUuid(const Napi::CallbackInfo& info);
  Napi::Value getRoomName(const Napi::CallbackInfo& info);
  Napi::Value getPassword(const Napi::CallbackInfo& info);
  Napi::Value getSipCid(const Napi::CallbackInfo& info);
  Napi::Value getRtcStartTime(const Napi::CallbackInfo& info);
  Napi::Value getRemainingSeconds(const Napi::CallbackInfo& info);
  Napi::Value getMaxMembers(const Napi::CallbackInfo& info);
  Napi::Value getRoomTemplate(const Napi::CallbackInfo& info);
  Napi::Value getRoomProperties(const Napi::CallbackInfo& info);
  Napi::Value getLocalMember(const Napi::CallbackInfo& info);
  Napi::Value getRemoteMembers(const Napi::CallbackInfo& info);
  Napi::Value getInSIPInvitingMembers(const Napi::CallbackInfo& info);
  Napi::Value getInAppInvitingMembers(const Napi::CallbackInfo& info);
  Napi::Value getChatController(const Napi::CallbackInfo& info);
  Napi::Value getWaitingRoomChatController(const Napi::CallbackInfo& info);
  Napi::Value getRtcController(const Napi::CallbackInfo& info);
  Napi::Value getWhiteboardController(const Napi::CallbackInfo& info);
  Napi::Value getAnnotationController(const Napi::CallbackInfo& info);
  Napi::Value getLiveController(const Napi::CallbackInfo& info);
  Napi::Value changeMyName(const Napi::CallbackInfo& info);
  Napi::Value changeMemberName(const Napi::CallbackInfo& info);
  Napi::Value changeMemberRole(const Napi::CallbackInfo& info);
  Napi::Value changeMembersRole(const Napi::CallbackInfo& info);
  Napi::Value handOverMyRole(const Napi::CallbackInfo& info);
  Napi::Value kickMemberOut(const Napi::CallbackInfo& info);
  Napi::Value addRoomListener(const Napi::CallbackInfo& info);
  Napi::Value removeRoomListener(const Napi::CallbackInfo& info);
  Napi::Value addRtcStatsListener(const Napi::CallbackInfo& info);
  Napi::Value removeRtcStatsListener(const Napi::CallbackInfo& info);
  Napi::Value leaveRoom(const Napi::CallbackInfo& info);
  Napi::Value endRoom(const Napi::CallbackInfo& info);
  Napi::Value lockRoom(const Napi::CallbackInfo& info);
  Napi::Value unlockRoom(const Napi::CallbackInfo& info);
  Napi::Value isRoomLocked(const Napi::CallbackInfo& info);
  Napi::Value isCloudRecording(const Napi::CallbackInfo& info);
  Napi::Value updateRoomProperty(const Napi::CallbackInfo& info);
  Napi::Value deleteRoomProperty(const Napi::CallbackInfo& info);
  Napi::Value updateMemberProperty(const Napi::CallbackInfo& info);
  Napi::Value deleteMemberProperty(const Napi::CallbackInfo& info);
  Napi::Value startCloudRecord(const Napi::CallbackInfo& info);
  Napi::Value stopCloudRecord(const Napi::CallbackInfo& info);
  Napi::Value getWaitingRoomController(const Napi::CallbackInfo& info);
  Napi::Value getSIPController(const Napi::CallbackInfo& info);
  Napi::Value getAppInviteController(const Napi::CallbackInfo& info);
  Napi::Value isInWaitingRoom(const Napi::CallbackInfo& info);
  Napi::Value isRoomBlacklistEnabled(const Napi::CallbackInfo& info);
  Napi::Value rejoinAfterAdmittedToRoom(const Napi::CallbackInfo& info);
  Napi::Value enableRoomBlacklist(const Napi::CallbackInfo& info);

  parlo::IQVRoomContext* resolve(Napi::Env env) const;
  // A synchronous getter: the SDK's value converted, or `failed` when the room is not found.
  template <auto Getter>
  Napi::Value query(const Napi::CallbackInfo& info, Napi::Value failed) const;
  // An operation whose only argument is the callback.
  template <void (parlo::IQVRoomContext::*Operation)(parlo::QVCompletion)>
  Napi::Value act(const Napi::CallbackInfo& info) const;

  std::string room_uuid_;
  Napi::ObjectReference app_invite_;
  Napi::ObjectReference annotation_;
  Napi::ObjectReference live_;
  Napi::ObjectReference chat_;
  Napi::ObjectReference waiting_room_;
  Napi::ObjectReference waiting_room_chat_;
  Napi::ObjectReference sip_;
  Napi::ObjectReference whiteboard_;
  Napi::ObjectReference rtc_;
};

}  // namespace brimo
