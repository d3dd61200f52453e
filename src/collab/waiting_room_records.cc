#include "collab/waiting_room_records.h"

#include "core/record_writer.h"
#include "room/room_records.h"

namespace brimo {
namespace {

using parlo::IQVWaitingRoomMember;
using parlo::WaitingRoomInfo;

const KeyWriter<WaitingRoomInfo> kInfoKeys[] = {
    field<&WaitingRoomInfo::roomUuid>("roomUuid"),
    field<&WaitingRoomInfo::logo>("logo"),
    field<&WaitingRoomInfo::backgroundImageUrl>("backgroundImageUrl"),
    field<&WaitingRoomInfo::memberCount>("memberCount"),
    field<&WaitingRoomInfo::chatroomId>("chatroomID"),
    field<&WaitingRoomInfo::isEnabledOnEntry>("isEnabledOnEntry"),
};

const KeyWriter<WaitingRoomInfo> kUpdateKeys[] = {
    field<&WaitingRoomInfo::roomUuid>("roomUuid"),
    field<&WaitingRoomInfo::memberCount>("memberCount"),
    field<&WaitingRoomInfo::isEnabledOnEntry>("isEnabledOnEntry"),
    field<&WaitingRoomInfo::chatroomId>("chatroomID"),
    field<&WaitingRoomInfo::backgroundImageUrl>("backgroundImage"),
    field<&WaitingRoomInfo::logo>("logo"),
};

const KeyWriter<IQVWaitingRoomMember> kEntrantKeys[] = {
    getter<&IQVWaitingRoomMember::getUuid>("uuid"),
    getter<&IQVWaitingRoomMember::getJoinTime>("joinTime"),
    getter<&IQVWaitingRoomMember::getStatus>("status"),
    getter<&IQVWaitingRoomMember::getAvatar>("avatar"),
    getter<&IQVWaitingRoomMember::getName>("name"),
};

}  // namespace

Napi::Value to_js(Napi::Env env, const WaitingRoomInfoUpdate& update) {
  return write_keys(env, update.info, kUpdateKeys);
}

Napi::Value managers_to_js(Napi::Env env, const parlo::RoomMemberList& managers) {
  Napi::Array array = Napi::Array::New(env, managers.size());
  uint32_t i = 0;
  for (const auto& manager : managers) array.Set(i++, parlo::waiting_member_to_js(env, manager));
  return array;
}

}  // namespace brimo

namespace parlo {

Napi::Value to_js(Napi::Env env, const WaitingRoomInfo& info) { return brimo::write_keys(env, info, brimo::kInfoKeys); }

Napi::Value to_js(Napi::Env env, const WaitingMemberPtr& member) {
  if (!member) return Napi::Object::New(env);
  return brimo::write_keys(env, *member, brimo::kEntrantKeys);
}

}  // namespace parlo
