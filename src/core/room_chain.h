// Finding a joined room again on every call: kit -> room service -> the room
// context of a room UUID, each getter asked afresh. Room-level wrappers keep only
// the UUID; the room may be gone or back by the next call.
#pragma once

#include <napi.h>

#include <string>

#include "core/resolve.h"
#include "sdk/parlo.h"

namespace brimo {

// Reports the first missing link as "parlo", "roomService" or "roomContext".
inline parlo::IQVRoomContext* resolve_room(Napi::Env env, const NullReport& report, const std::string& room_uuid) {
  parlo::IQVRoomService* rooms = resolve_service<&parlo::IQVParlo::getRoomService>(env, report, "roomService");
  if (rooms == nullptr) return nullptr;
  return require_link(env, report, "roomContext", rooms->getRoomContext(room_uuid));
}

// The quiet form, for listener registration.
inline parlo::IQVRoomContext* find_room(const std::string& room_uuid) {
  parlo::IQVRoomService* rooms = find_service<&parlo::IQVParlo::getRoomService>();
  return rooms == nullptr ? nullptr : rooms->getRoomContext(room_uuid);
}

}  // namespace brimo
