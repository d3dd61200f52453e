// IQVRoomAppInviteControllerWrap: The in-app invitation controller of a joined room.
#pragma once

#include <napi.h>

#include "core/wrap.h"

namespace brimo {

class IQVRoomAppInviteControllerWrap : public RoomBound<IQVRoomAppInviteControllerWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomAppInviteControllerWrap";
  static constexpr const char* kTraceName = "IQVRoomAppInviteControllerWrap";

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomAppInviteControllerWrap(const Napi::CallbackInfo& info);
};

}  // namespace brimo
