#include "room/room_context_wrap.h"

#include "collab/room_annotation_controller_wrap.h"
#include "collab/room_app_invite_controller_wrap.h"
#include "collab/room_chat_controller_wrap.h"
#include "collab/room_live_controller_wrap.h"
#include "collab/room_sip_controller_wrap.h"
#include "collab/room_whiteboard_controller_wrap.h"
#include "collab/waiting_room_controller_wrap.h"
#include "core/carrier.h"
#include "core/listeners.h"
#include "core/room_chain.h"
#include "media/room_rtc_controller_wrap.h"
#include "media/rtc_stats_listener_adapter.h"
#include "room/room_listener_adapter.h"
#include "room/room_params.h"
#include "room/room_records.h"

namespace brimo {
namespace {

// One message for every missing link.
const NullReport kNull{"IQVRoomContextWrap", false};

using Room = parlo::IQVRoomContext;

}  // namespace

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
             InstanceMethod<&IQVRoomContextWrap::getRoomUuid>("getRoomUuid"),
             InstanceMethod<&IQVRoomContextWrap::getRoomName>("getRoomName"),
             InstanceMethod<&IQVRoomContextWrap::getPassword>("getPassword"),
             InstanceMethod<&IQVRoomContextWrap::getSipCid>("getSipCid"),
             InstanceMethod<&IQVRoomContextWrap::getRtcStartTime>("getRtcStartTime"),
             InstanceMethod<&IQVRoomContextWrap::getRemainingSeconds>("getRemainingSeconds"),
             InstanceMethod<&IQVRoomContextWrap::getMaxMembers>("getMaxMembers"),
             InstanceMethod<&IQVRoomContextWrap::getRoomTemplate>("getRoomTemplate"),
             InstanceMethod<&IQVRoomContextWrap::getRoomProperties>("getRoomProperties"),
             InstanceMethod<&IQVRoomContextWrap::getLocalMember>("getLocalMember"),
             InstanceMethod<&IQVRoomContextWrap::getRemoteMembers>("getRemoteMembers"),
             InstanceMethod<&IQVRoomContextWrap::getInSIPInvitingMembers>("getInSIPInvitingMembers"),
             InstanceMethod<&IQVRoomContextWrap::getInAppInvitingMembers>("getInAppInvitingMembers"),
             InstanceMethod<&IQVRoomContextWrap::getChatController>("getChatController"),
             InstanceMethod<&IQVRoomContextWrap::getWaitingRoomChatController>("getWaitingRoomChatController"),
             InstanceMethod<&IQVRoomContextWrap::getRtcController>("getRtcController"),
             InstanceMethod<&IQVRoomContextWrap::getWhiteboardController>("getWhiteboardController"),
             InstanceMethod<&IQVRoomContextWrap::getAnnotationController>("getAnnotationController"),
             InstanceMethod<&IQVRoomContextWrap::getLiveController>("getLiveController"),
             InstanceMethod<&IQVRoomContextWrap::changeMyName>("changeMyName"),
             InstanceMethod<&IQVRoomContextWrap::changeMemberName>("changeMemberName"),
             InstanceMethod<&IQVRoomContextWrap::changeMemberRole>("changeMemberRole"),
             InstanceMethod<&IQVRoomContextWrap::changeMembersRole>("changeMembersRole"),
             InstanceMethod<&IQVRoomContextWrap::handOverMyRole>("handOverMyRole"),
             InstanceMethod<&IQVRoomContextWrap::kickMemberOut>("kickMemberOut"),
             InstanceMethod<&IQVRoomContextWrap::addRoomListener>("addRoomListener"),
             InstanceMethod<&IQVRoomContextWrap::removeRoomListener>("removeRoomListener"),
             InstanceMethod<&IQVRoomContextWrap::addRtcStatsListener>("addRtcStatsListener"),
             InstanceMethod<&IQVRoomContextWrap::removeRtcStatsListener>("removeRtcStatsListener"),
             InstanceMethod<&IQVRoomContextWrap::leaveRoom>("leaveRoom"),
             InstanceMethod<&IQVRoomContextWrap::endRoom>("endRoom"),
             InstanceMethod<&IQVRoomContextWrap::lockRoom>("lockRoom"),
             InstanceMethod<&IQVRoomContextWrap::unlockRoom>("unlockRoom"),
             InstanceMethod<&IQVRoomContextWrap::isRoomLocked>("isRoomLocked"),
             InstanceMethod<&IQVRoomContextWrap::isCloudRecording>("isCloudRecording"),
             InstanceMethod<&IQVRoomContextWrap::updateRoomProperty>("updateRoomProperty"),
             InstanceMethod<&IQVRoomContextWrap::deleteRoomProperty>("deleteRoomProperty"),
             InstanceMethod<&IQVRoomContextWrap::updateMemberProperty>("updateMemberProperty"),
             InstanceMethod<&IQVRoomContextWrap::deleteMemberProperty>("deleteMemberProperty"),
             InstanceMethod<&IQVRoomContextWrap::startCloudRecord>("startCloudRecord"),
             InstanceMethod<&IQVRoomContextWrap::stopCloudRecord>("stopCloudRecord"),
             InstanceMethod<&IQVRoomContextWrap::getWaitingRoomController>("getWaitingRoomController"),
             InstanceMethod<&IQVRoomContextWrap::getSIPController>("getSIPController"),
             InstanceMethod<&IQVRoomContextWrap::getAppInviteController>("getAppInviteController"),
             InstanceMethod<&IQVRoomContextWrap::isInWaitingRoom>("isInWaitingRoom"),
             InstanceMethod<&IQVRoomContextWrap::isRoomBlacklistEnabled>("isRoomBlacklistEnabled"),
             InstanceMethod<&IQVRoomContextWrap::rejoinAfterAdmittedToRoom>("rejoinAfterAdmittedToRoom"),
             InstanceMethod<&IQVRoomContextWrap::enableRoomBlacklist>("enableRoomBlacklist"),
         });
}

IQVRoomContextWrap::IQVRoomContextWrap(const Napi::CallbackInfo& info)
    : Wrap(info), room_uuid_(utf8(info[0])) {
  trace_text("IQVRoomContextWrap " + room_uuid_ + " \n");
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

IQVRoomContextWrap::~IQVRoomContextWrap() {
  trace_text("~IQVRoomContextWrap " + room_uuid_ + " \n");
}

parlo::IQVRoomContext* IQVRoomContextWrap::resolve(Napi::Env env) const {
  return resolve_room(env, kNull, room_uuid_);
}

template <auto Getter>
Napi::Value IQVRoomContextWrap::query(const Napi::CallbackInfo& info, Napi::Value failed) const {
  parlo::IQVRoomContext* room = resolve(info.Env());
  if (room == nullptr) return failed;
  return to_js(info.Env(), (room->*Getter)());
}

template <void (parlo::IQVRoomContext::*Operation)(parlo::QVCompletion)>
Napi::Value IQVRoomContextWrap::act(const Napi::CallbackInfo& info) const {
  parlo::IQVRoomContext* room = resolve(info.Env());
  if (room == nullptr) return fail_callback(info.Env(), info[0], info.Env().Undefined());
  (room->*Operation)(complete(info.Env(), info[0]));
  return info.Env().Undefined();
}

// --- state ---

Napi::Value IQVRoomContextWrap::getRoomUuid(const Napi::CallbackInfo& info) {
  return query<&Room::getRoomUuid>(info, to_js(info.Env(), ""));
}
Napi::Value IQVRoomContextWrap::getRoomName(const Napi::CallbackInfo& info) {
  return query<&Room::getRoomName>(info, to_js(info.Env(), ""));
}
Napi::Value IQVRoomContextWrap::getPassword(const Napi::CallbackInfo& info) {
  return query<&Room::getPassword>(info, to_js(info.Env(), ""));
}
Napi::Value IQVRoomContextWrap::getSipCid(const Napi::CallbackInfo& info) {
  return query<&Room::getSipCid>(info, to_js(info.Env(), ""));
}
Napi::Value IQVRoomContextWrap::getRtcStartTime(const Napi::CallbackInfo& info) {
  return query<&Room::getRtcStartTime>(info, to_js(info.Env(), 0));
}
Napi::Value IQVRoomContextWrap::getRemainingSeconds(const Napi::CallbackInfo& info) {
  return query<&Room::getRemainingSeconds>(info, to_js(info.Env(), 0));
}
Napi::Value IQVRoomContextWrap::getMaxMembers(const Napi::CallbackInfo& info) {
  return query<&Room::getMaxMembers>(info, to_js(info.Env(), 0));
}

// A joined room's template lists its permissions before its roles.
Napi::Value IQVRoomContextWrap::getRoomTemplate(const Napi::CallbackInfo& info) {
  parlo::IQVRoomContext* room = resolve(info.Env());
  if (room == nullptr) return info.Env().Null();
  return to_js(info.Env(), room->getRoomTemplate(), parlo::TemplateOrder::PermissionsFirst);
}

Napi::Value IQVRoomContextWrap::getRoomProperties(const Napi::CallbackInfo& info) {
  return query<&Room::getRoomProperties>(info, info.Env().Null());
}
Napi::Value IQVRoomContextWrap::getLocalMember(const Napi::CallbackInfo& info) {
  return query<&Room::getLocalMember>(info, info.Env().Null());
}
Napi::Value IQVRoomContextWrap::getRemoteMembers(const Napi::CallbackInfo& info) {
  return query<&Room::getRemoteMembers>(info, info.Env().Null());
}
Napi::Value IQVRoomContextWrap::getInSIPInvitingMembers(const Napi::CallbackInfo& info) {
  return query<&Room::getInSIPInvitingMembers>(info, info.Env().Null());
}
Napi::Value IQVRoomContextWrap::getInAppInvitingMembers(const Napi::CallbackInfo& info) {
  return query<&Room::getInAppInvitingMembers>(info, info.Env().Null());
}
Napi::Value IQVRoomContextWrap::isRoomLocked(const Napi::CallbackInfo& info) {
  return query<&Room::isRoomLocked>(info, to_js(info.Env(), false));
}
Napi::Value IQVRoomContextWrap::isCloudRecording(const Napi::CallbackInfo& info) {
  return query<&Room::isCloudRecording>(info, to_js(info.Env(), false));
}
Napi::Value IQVRoomContextWrap::isInWaitingRoom(const Napi::CallbackInfo& info) {
  return query<&Room::isInWaitingRoom>(info, to_js(info.Env(), false));
}
Napi::Value IQVRoomContextWrap::isRoomBlacklistEnabled(const Napi::CallbackInfo& info) {
  return query<&Room::isRoomBlacklistEnabled>(info, to_js(info.Env(), false));
}

// --- controllers ---

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

// --- members ---

Napi::Value IQVRoomContextWrap::changeMyName(const Napi::CallbackInfo& info) {
  parlo::IQVRoomContext* room = resolve(info.Env());
  if (room == nullptr) return fail_callback(info.Env(), info[1], info.Env().Undefined());
  std::string name = utf8(info[0]);
  room->changeMyName(name, complete(info.Env(), info[1]));
  return info.Env().Undefined();
}

Napi::Value IQVRoomContextWrap::changeMemberName(const Napi::CallbackInfo& info) {
  parlo::IQVRoomContext* room = resolve(info.Env());
  if (room == nullptr) return fail_callback(info.Env(), info[2], info.Env().Undefined());
  std::string user = utf8(info[0]);
  std::string name = utf8(info[1]);
  room->changeMemberName(user, name, complete(info.Env(), info[2]));
  return info.Env().Undefined();
}

Napi::Value IQVRoomContextWrap::changeMemberRole(const Napi::CallbackInfo& info) {
  parlo::IQVRoomContext* room = resolve(info.Env());
  if (room == nullptr) return fail_callback(info.Env(), info[2], info.Env().Undefined());
  std::string user = utf8(info[0]);
  std::string role = utf8(info[1]);
  room->changeMemberRole(user, role, complete(info.Env(), info[2]));
  return info.Env().Undefined();
}

Napi::Value IQVRoomContextWrap::changeMembersRole(const Napi::CallbackInfo& info) {
  parlo::IQVRoomContext* room = resolve(info.Env());
  if (room == nullptr) return fail_callback(info.Env(), info[1], info.Env().Undefined());
  parlo::StringMap roles = read_string_map(info[0]);
  room->changeMembersRole(roles, complete(info.Env(), info[1]));
  return info.Env().Undefined();
}

Napi::Value IQVRoomContextWrap::handOverMyRole(const Napi::CallbackInfo& info) {
  parlo::IQVRoomContext* room = resolve(info.Env());
  if (room == nullptr) return fail_callback(info.Env(), info[2], info.Env().Undefined());
  std::string user = utf8(info[0]);
  bool flag = boolean(info[1]);
  room->handOverMyRole(user, flag, complete(info.Env(), info[2]));
  return info.Env().Undefined();
}

Napi::Value IQVRoomContextWrap::kickMemberOut(const Napi::CallbackInfo& info) {
  parlo::IQVRoomContext* room = resolve(info.Env());
  if (room == nullptr) return fail_callback(info.Env(), info[2], info.Env().Undefined());
  std::string user = utf8(info[0]);
  bool flag = boolean(info[1]);
  room->kickMemberOut(user, flag, complete(info.Env(), info[2]));
  return info.Env().Undefined();
}

// --- listeners: the registry finds the room quietly (-1 or false, nothing raised) ---

Napi::Value IQVRoomContextWrap::addRoomListener(const Napi::CallbackInfo& info) {
  return add_room_listener<RoomListenerAdapter>(info.Env(), info[0], ListenerRegistry::get().room, room_uuid_,
                                                find_room(room_uuid_), &Room::addRoomListener);
}

Napi::Value IQVRoomContextWrap::removeRoomListener(const Napi::CallbackInfo& info) {
  return remove_room_listener<RoomListenerAdapter>(info.Env(), info[0], ListenerRegistry::get().room, room_uuid_,
                                                   find_room(room_uuid_), &Room::removeRoomListener);
}

Napi::Value IQVRoomContextWrap::addRtcStatsListener(const Napi::CallbackInfo& info) {
  return add_room_listener<RtcStatsListenerAdapter>(info.Env(), info[0], ListenerRegistry::get().rtc_stats,
                                                    room_uuid_, find_room(room_uuid_), &Room::addRtcStatsListener);
}

Napi::Value IQVRoomContextWrap::removeRtcStatsListener(const Napi::CallbackInfo& info) {
  return remove_room_listener<RtcStatsListenerAdapter>(info.Env(), info[0], ListenerRegistry::get().rtc_stats,
                                                       room_uuid_, find_room(room_uuid_),
                                                       &Room::removeRtcStatsListener);
}

// --- the room ---

Napi::Value IQVRoomContextWrap::leaveRoom(const Napi::CallbackInfo& info) { return act<&Room::leaveRoom>(info); }
Napi::Value IQVRoomContextWrap::endRoom(const Napi::CallbackInfo& info) { return act<&Room::endRoom>(info); }
Napi::Value IQVRoomContextWrap::lockRoom(const Napi::CallbackInfo& info) { return act<&Room::lockRoom>(info); }
Napi::Value IQVRoomContextWrap::unlockRoom(const Napi::CallbackInfo& info) { return act<&Room::unlockRoom>(info); }
Napi::Value IQVRoomContextWrap::stopCloudRecord(const Napi::CallbackInfo& info) {
  return act<&Room::stopCloudRecord>(info);
}
Napi::Value IQVRoomContextWrap::rejoinAfterAdmittedToRoom(const Napi::CallbackInfo& info) {
  return act<&Room::rejoinAfterAdmittedToRoom>(info);
}

Napi::Value IQVRoomContextWrap::updateRoomProperty(const Napi::CallbackInfo& info) {
  parlo::IQVRoomContext* room = resolve(info.Env());
  if (room == nullptr) return fail_callback(info.Env(), info[3], info.Env().Undefined());
  std::string key = utf8(info[0]);
  std::string value = utf8(info[1]);
  std::string associated = utf8(info[2]);
  room->updateRoomProperty(key, value, associated, complete(info.Env(), info[3]));
  return info.Env().Undefined();
}

Napi::Value IQVRoomContextWrap::deleteRoomProperty(const Napi::CallbackInfo& info) {
  parlo::IQVRoomContext* room = resolve(info.Env());
  if (room == nullptr) return fail_callback(info.Env(), info[1], info.Env().Undefined());
  std::string key = utf8(info[0]);
  room->deleteRoomProperty(key, complete(info.Env(), info[1]));
  return info.Env().Undefined();
}

Napi::Value IQVRoomContextWrap::updateMemberProperty(const Napi::CallbackInfo& info) {
  parlo::IQVRoomContext* room = resolve(info.Env());
  if (room == nullptr) return fail_callback(info.Env(), info[3], info.Env().Undefined());
  std::string user = utf8(info[0]);
  std::string key = utf8(info[1]);
  std::string value = utf8(info[2]);
  room->updateMemberProperty(user, key, value, complete(info.Env(), info[3]));
  return info.Env().Undefined();
}

Napi::Value IQVRoomContextWrap::deleteMemberProperty(const Napi::CallbackInfo& info) {
  parlo::IQVRoomContext* room = resolve(info.Env());
  if (room == nullptr) return fail_callback(info.Env(), info[2], info.Env().Undefined());
  std::string user = utf8(info[0]);
  std::string key = utf8(info[1]);
  room->deleteMemberProperty(user, key, complete(info.Env(), info[2]));
  return info.Env().Undefined();
}

Napi::Value IQVRoomContextWrap::startCloudRecord(const Napi::CallbackInfo& info) {
  parlo::IQVRoomContext* room = resolve(info.Env());
  if (room == nullptr) return fail_callback(info.Env(), info[1], info.Env().Undefined());
  parlo::CloudRecordConfig config = read_cloud_record_config(info.Env(), info[0]);
  room->startCloudRecord(config, complete(info.Env(), info[1]));
  return info.Env().Undefined();
}

Napi::Value IQVRoomContextWrap::enableRoomBlacklist(const Napi::CallbackInfo& info) {
  parlo::IQVRoomContext* room = resolve(info.Env());
  if (room == nullptr) return fail_callback(info.Env(), info[1], info.Env().Undefined());
  bool enable = boolean(info[0]);
  room->enableRoomBlacklist(enable, complete(info.Env(), info[1]));
  return info.Env().Undefined();
}

}  // namespace brimo
