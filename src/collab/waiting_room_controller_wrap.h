// IQVWaitingRoomControllerWrap: the waiting room of a joined room: its state, the
// people waiting and the managers, admitting, expelling and moving people, and the
// listener of its events. Its chat is the room's waiting-room chat controller.
#pragma once

#include <napi.h>

#include "core/wrap.h"
#include "sdk/room_context.h"
#include "sdk/waiting_room.h"

namespace brimo {

class IQVWaitingRoomControllerWrap : public RoomBound<IQVWaitingRoomControllerWrap> {
 public:
  static constexpr const char* kClassName = "IQVWaitingRoomControllerWrap";
  static constexpr const char* kTraceName = "IQVWaitingRoomControllerWrap";
  // One bare message for every missing link.
  static constexpr auto kChain =
      room_chain(NullReport{"", NullReport::Form::Bare},
                 via<&parlo::IQVRoomContext::getWaitingRoomController>("waitingRoomController"));

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVWaitingRoomControllerWrap(const Napi::CallbackInfo& info);
};

}  // namespace brimo
