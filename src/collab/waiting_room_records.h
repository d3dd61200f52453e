// Script forms of the waiting room's records: its state (two shapes: the getter's
// and the update event's), the people waiting and the managers, who are room
// members in their shorter form.
#pragma once

#include <napi.h>

#include "sdk/waiting_room.h"

namespace parlo {

// roomUuid, logo, backgroundImageUrl, memberCount, chatroomID, isEnabledOnEntry.
Napi::Value to_js(Napi::Env env, const WaitingRoomInfo& info);
// uuid, joinTime, status, avatar, name. A null person becomes an empty object.
Napi::Value to_js(Napi::Env env, const WaitingMemberPtr& member);

}  // namespace parlo

namespace brimo {

// The payload of "onWaitingRoomInfoUpdated": the same state under other keys, in
// another order: roomUuid, memberCount, isEnabledOnEntry, chatroomID,
// backgroundImage, logo.
struct WaitingRoomInfoUpdate {
  parlo::WaitingRoomInfo info;
};
Napi::Value to_js(Napi::Env env, const WaitingRoomInfoUpdate& update);

// The managers, in the SDK's order, each in the waiting room's shorter member form.
Napi::Value managers_to_js(Napi::Env env, const parlo::RoomMemberList& managers);

// The payload of "onManagersUpdated".
struct WaitingRoomManagers {
  parlo::RoomMemberList managers;
};
inline Napi::Value to_js(Napi::Env env, const WaitingRoomManagers& managers) {
  return managers_to_js(env, managers.managers);
}

}  // namespace brimo
