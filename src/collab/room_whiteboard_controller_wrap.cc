#include "collab/room_whiteboard_controller_wrap.h"

namespace brimo {

void IQVRoomWhiteboardControllerWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports, {});
}

IQVRoomWhiteboardControllerWrap::IQVRoomWhiteboardControllerWrap(const Napi::CallbackInfo& info) : RoomBound<IQVRoomWhiteboardControllerWrap>(info) {}

}  // namespace brimo
