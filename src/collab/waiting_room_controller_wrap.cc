#include "collab/waiting_room_controller_wrap.h"

namespace brimo {

void IQVWaitingRoomControllerWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports, {});
}

IQVWaitingRoomControllerWrap::IQVWaitingRoomControllerWrap(const Napi::CallbackInfo& info) : RoomBound<IQVWaitingRoomControllerWrap>(info) {}

}  // namespace brimo
