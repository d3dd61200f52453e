// IQVRoomAppInviteControllerWrap: the in-app invitation controller of a joined
// room: calls to users of the application, and cancelling and removing them.
#pragma once

#include <napi.h>

#include "core/wrap.h"
#include "sdk/app_invite_controller.h"
#include "sdk/room_context.h"

namespace brimo {

class IQVRoomAppInviteControllerWrap : public RoomBound<IQVRoomAppInviteControllerWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomAppInviteControllerWrap";
  static constexpr const char* kTraceName = "IQVRoomAppInviteControllerWrap";
  static constexpr auto kChain =
      room_chain(NullReport{"", NullReport::Form::Bare},
                 via<&parlo::IQVRoomContext::getAppInviteController>("appInviteController"));

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomAppInviteControllerWrap(const Napi::CallbackInfo& info);
};

}  // namespace brimo
