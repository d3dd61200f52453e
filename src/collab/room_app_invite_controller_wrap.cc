#include "collab/room_app_invite_controller_wrap.h"

namespace brimo {

using AppInvite = parlo::IQVRoomAppInviteController;

void IQVRoomAppInviteControllerWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports,
         {
             row<&AppInvite::callByUserUuids>("callByUserUuids"),
             row<&AppInvite::callByUserUuid>("callByUserUuid"),
             row<&AppInvite::removeCall>("removeCall"),
             row<&AppInvite::cancelCall>("cancelCall"),
         });
}

IQVRoomAppInviteControllerWrap::IQVRoomAppInviteControllerWrap(const Napi::CallbackInfo& info)
    : RoomBound(info) {}

}  // namespace brimo
