#include "media/room_rtc_controller_wrap.h"

namespace brimo {

void IQVRoomRtcControllerWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports, {});
}

IQVRoomRtcControllerWrap::IQVRoomRtcControllerWrap(const Napi::CallbackInfo& info) : RoomBound<IQVRoomRtcControllerWrap>(info) {}

}  // namespace brimo
