#include "collab/room_whiteboard_controller_wrap.h"

#include "collab/drawing_views.h"

namespace brimo {

using Whiteboard = parlo::IQVRoomWhiteboardController;

void IQVRoomWhiteboardControllerWrap::Register(Napi::Env env, Napi::Object exports) {
  using Self = IQVRoomWhiteboardControllerWrap;
  define(env, exports,
         {
             row<&Whiteboard::auth, Convert<&dropped<int32_t>>>("auth"),
             row<&Whiteboard::getWhiteboardSharingUserUuid, Fail<Js::Null>>("getWhiteboardSharingUserUuid"),
             row<&Whiteboard::getWhiteboardUrl, Fail<Js::Null>>("getWhiteboardUrl"),
             row<&Whiteboard::login, Convert<&dropped<int32_t>>>("login"),
             row<&Whiteboard::logout, Convert<&dropped<int32_t>>>("logout"),
             InstanceMethod<&Self::resetWhiteboardCanvas>("resetWhiteboardCanvas"),
             row<&Whiteboard::setEnableDraw>("setEnableDraw"),
             InstanceMethod<&Self::setupWhiteboardCanvas>("setupWhiteboardCanvas"),
             row<&Whiteboard::startWhiteboardShare>("startWhiteboardShare"),
             row<&Whiteboard::stopMemberWhiteboardShare>("stopMemberWhiteboardShare"),
             row<&Whiteboard::stopWhiteboardShare>("stopWhiteboardShare"),
         });
}

IQVRoomWhiteboardControllerWrap::IQVRoomWhiteboardControllerWrap(const Napi::CallbackInfo& info)
    : RoomBound(info) {}

Napi::Value IQVRoomWhiteboardControllerWrap::resetWhiteboardCanvas(const Napi::CallbackInfo& info) {
  return hand_view(*this, info, &Whiteboard::resetWhiteboardCanvas);
}

Napi::Value IQVRoomWhiteboardControllerWrap::setupWhiteboardCanvas(const Napi::CallbackInfo& info) {
  return hand_view(*this, info, &Whiteboard::setupWhiteboardCanvas);
}

}  // namespace brimo
