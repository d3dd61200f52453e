#include "collab/room_app_invite_controller_wrap.h"

namespace brimo {

void IQVRoomAppInviteControllerWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports, {});
}

IQVRoomAppInviteControllerWrap::IQVRoomAppInviteControllerWrap(const Napi::CallbackInfo& info) : RoomBound<IQVRoomAppInviteControllerWrap>(info) {}

}  // namespace brimo
