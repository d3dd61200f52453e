#include "room/room_context_wrap.h"

#include "collab/room_annotation_controller_wrap.h"
#include "collab/room_app_invite_controller_wrap.h"
#include "collab/room_chat_controller_wrap.h"
#include "collab/room_live_controller_wrap.h"
#include "collab/room_sip_controller_wrap.h"
#include "collab/room_whiteboard_controller_wrap.h"
#include "collab/waiting_room_controller_wrap.h"
#include "media/room_rtc_controller_wrap.h"
#include "media/rtc_stats_listener_adapter.h"
#include "room/room_listener_adapter.h"
#include "room/room_params.h"
#include "room/room_records.h"

namespace brimo {
namespace {

// A joined room's template lists its permissions before its roles.
Napi::Value joined_template(Napi::Env env, const parlo::RoomTemplate& room_template) {
  return to_js(env, room_template, parlo::TemplateOrder::PermissionsFirst);
}

}  // namespace

using Room = parlo::IQVRoomContext;

void IQVRoomContextWrap::Register(Napi::Env env, Napi::Object exports) {
  IQVRoomRtcControllerWrap::Register(env, exports);
  IQVRoomLiveControllerWrap::Register(env, exports);
  IQVWaitingRoomControllerWrap::Register(env, exports);
  IQVRoomSIPControllerWrap::Register(env, exports);
  IQVRoomAppInviteControllerWrap::Register(env, exports);
  IQVRoomWhiteboardControllerWrap::Register(env, exports);
  IQVRoomAnnotationControllerWrap::Register(env, exports);
  define(env, exports,
         {
             row<&Room::getRoomUuid, Fail<Js::Empty>>("getRoomUuid"),
             row<&Room::getRoomName, Fail<Js::Empty>>("getRoomName"),
             row<&Room::getPassword, Fail<Js::Empty>>("getPassword"),
             row<&Room::getSipCid, Fail<Js::Empty>>("getSipCid"),
             row<&Room::getRtcStartTime, Fail<0>>("getRtcStartTime"),
             row<&Room::getRemainingSeconds, Fail<0>>("getRemainingSeconds"),
             row<&Room::getMaxMembers, Fail<0>>("getMaxMembers"),
             row<&Room::getRoomTemplate, Fail<Js::Null>, Convert<&joined_template>>("getRoomTemplate"),
             row<&Room::getRoomProperties, Fail<Js::Null>>("getRoomProperties"),
             row<&Room::getLocalMember, Fail<Js::Null>>("getLocalMember"),
             row<&Room::getRemoteMembers, Fail<Js::Null>>("getRemoteMembers"),
             row<&Room::getInSIPInvitingMembers, Fail<Js::Null>>("getInSIPInvitingMembers"),
             row<&Room::getInAppInvitingMembers, Fail<Js::Null>>("getInAppInvitingMembers"),
             InstanceMethod<&IQVRoomContextWrap::getChatController>("getChatController"),
             InstanceMethod<&IQVRoomContextWrap::getWaitingRoomChatController>("getWaitingRoomChatController"),
             InstanceMethod<&IQVRoomContextWrap::getRtcController>("getRtcController"),
             InstanceMethod<&IQVRoomContextWrap::getWhiteboardController>("getWhiteboardController"),
             InstanceMethod<&IQVRoomContextWrap::getAnnotationController>("getAnnotationController"),
             InstanceMethod<&IQVRoomContextWrap::getLiveController>("getLiveController"),
             row<&Room::changeMyName>("changeMyName"),
             row<&Room::changeMemberName>("changeMemberName"),
             row<&Room::changeMemberRole>("changeMemberRole"),
             row<&Room::changeMembersRole>("changeMembersRole"),
             row<&Room::handOverMyRole>("handOverMyRole"),
             row<&Room::kickMemberOut>("kickMemberOut"),
             listen<RoomListeners>("addRoomListener"),
             unlisten<RoomListeners>("removeRoomListener"),
             listen<RtcStatsListeners>("addRtcStatsListener"),
             unlisten<RtcStatsListeners>("removeRtcStatsListener"),
             row<&Room::leaveRoom>("leaveRoom"),
             row<&Room::endRoom>("endRoom"),
             row<&Room::lockRoom>("lockRoom"),
             row<&Room::unlockRoom>("unlockRoom"),
             row<&Room::isRoomLocked, Fail<false>>("isRoomLocked"),
             row<&Room::isCloudRecording, Fail<false>>("isCloudRecording"),
             row<&Room::updateRoomProperty>("updateRoomProperty"),
             row<&Room::deleteRoomProperty>("deleteRoomProperty"),
             row<&Room::updateMemberProperty>("updateMemberProperty"),
             row<&Room::deleteMemberProperty>("deleteMemberProperty"),
             row<&Room::startCloudRecord>("startCloudRecord"),
             row<&Room::stopCloudRecord>("stopCloudRecord"),
             InstanceMethod<&IQVRoomContextWrap::getWaitingRoomController>("getWaitingRoomController"),
             InstanceMethod<&IQVRoomContextWrap::getSIPController>("getSIPController"),
             InstanceMethod<&IQVRoomContextWrap::getAppInviteController>("getAppInviteController"),
             row<&Room::isInWaitingRoom, Fail<false>>("isInWaitingRoom"),
             row<&Room::isRoomBlacklistEnabled, Fail<false>>("isRoomBlacklistEnabled"),
             row<&Room::rejoinAfterAdmittedToRoom>("rejoinAfterAdmittedToRoom"),
             row<&Room::enableRoomBlacklist>("enableRoomBlacklist"),
         });
}

IQVRoomContextWrap::IQVRoomContextWrap(const Napi::CallbackInfo& info) : RoomBound(info) {
  trace_text("IQVRoomContextWrap " + room_uuid() + " \n");
  // Controllers get our own argument 0, unconverted.
  napi_value uuid = info[0];
  napi_value no = Napi::Boolean::New(info.Env(), false);
  napi_value yes = Napi::Boolean::New(info.Env(), true);
  app_invite_ = hold(IQVRoomAppInviteControllerWrap::make({uuid}));
  annotation_ = hold(IQVRoomAnnotationControllerWrap::make({uuid}));
  live_ = hold(IQVRoomLiveControllerWrap::make({uuid}));
  chat_ = hold(IQVRoomChatControllerWrap::make({uuid, no}));
  waiting_room_ = hold(IQVWaitingRoomControllerWrap::make({uuid}));
  waiting_room_chat_ = hold(IQVRoomChatControllerWrap::make({uuid, yes}));
  sip_ = hold(IQVRoomSIPControllerWrap::make({uuid}));
  whiteboard_ = hold(IQVRoomWhiteboardControllerWrap::make({uuid}));
  rtc_ = hold(IQVRoomRtcControllerWrap::make({uuid}));
}

IQVRoomContextWrap::~IQVRoomContextWrap() { trace_text("~IQVRoomContextWrap " + room_uuid() + " \n"); }

Napi::Value IQVRoomContextWrap::getChatController(const Napi::CallbackInfo&) { return chat_.Value(); }
Napi::Value IQVRoomContextWrap::getWaitingRoomChatController(const Napi::CallbackInfo&) {
  return waiting_room_chat_.Value();
}
Napi::Value IQVRoomContextWrap::getRtcController(const Napi::CallbackInfo&) { return rtc_.Value(); }
Napi::Value IQVRoomContextWrap::getWhiteboardController(const Napi::CallbackInfo&) { return whiteboard_.Value(); }
Napi::Value IQVRoomContextWrap::getAnnotationController(const Napi::CallbackInfo&) { return annotation_.Value(); }
Napi::Value IQVRoomContextWrap::getLiveController(const Napi::CallbackInfo&) { return live_.Value(); }
Napi::Value IQVRoomContextWrap::getWaitingRoomController(const Napi::CallbackInfo&) { return waiting_room_.Value(); }
Napi::Value IQVRoomContextWrap::getSIPController(const Napi::CallbackInfo&) { return sip_.Value(); }
Napi::Value IQVRoomContextWrap::getAppInviteController(const Napi::CallbackInfo&) { return app_invite_.Value(); }

}  // namespace brimo
