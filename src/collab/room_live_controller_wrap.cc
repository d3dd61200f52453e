#include "collab/room_live_controller_wrap.h"

namespace brimo {

void IQVRoomLiveControllerWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports, {});
}

IQVRoomLiveControllerWrap::IQVRoomLiveControllerWrap(const Napi::CallbackInfo& info) : RoomBound<IQVRoomLiveControllerWrap>(info) {}

}  // namespace brimo
