// IQVRoomSIPControllerWrap: the SIP controller of a joined room: calls into the
// meeting by phone number, by user and to room systems, and ending them.
#pragma once

#include <napi.h>

#include "core/wrap.h"
#include "sdk/room_context.h"
#include "sdk/sip_controller.h"

namespace brimo {

class IQVRoomSIPControllerWrap : public RoomBound<IQVRoomSIPControllerWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomSIPControllerWrap";
  static constexpr const char* kTraceName = "IQVRoomSIPControllerWrap";
  static constexpr auto kChain = room_chain(NullReport{"", NullReport::Form::Bare},
                                            via<&parlo::IQVRoomContext::getSIPController>("sipController"));

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomSIPControllerWrap(const Napi::CallbackInfo& info);
};

}  // namespace brimo
