// The records of SIP calls: the room system device read from script, and the call
// a number or room-system call completes with.
#pragma once

#include <napi.h>

#include "sdk/sip_controller.h"

namespace brimo {

parlo::RoomSystemDevice read_room_system_device(Napi::Env env, const Napi::Value& value);

}  // namespace brimo

namespace parlo {

Napi::Value to_js(Napi::Env env, const SIPCallInfo& call);

inline void read_value(const Napi::Value& v, RoomSystemDevice& out) {
  out = brimo::read_room_system_device(v.Env(), v);
}

}  // namespace parlo
