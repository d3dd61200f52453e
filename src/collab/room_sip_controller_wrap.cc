#include "collab/room_sip_controller_wrap.h"

namespace brimo {

void IQVRoomSIPControllerWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports, {});
}

IQVRoomSIPControllerWrap::IQVRoomSIPControllerWrap(const Napi::CallbackInfo& info) : RoomBound<IQVRoomSIPControllerWrap>(info) {}

}  // namespace brimo
