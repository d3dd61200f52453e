// IQVWaitingRoomControllerWrap: The waiting-room controller of a joined room.
#pragma once

#include <napi.h>

#include "core/wrap.h"

namespace brimo {

class IQVWaitingRoomControllerWrap : public RoomBound<IQVWaitingRoomControllerWrap> {
 public:
  static constexpr const char* kClassName = "IQVWaitingRoomControllerWrap";
  static constexpr const char* kTraceName = "IQVWaitingRoomControllerWrap";

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVWaitingRoomControllerWrap(const Napi::CallbackInfo& info);
};

}  // namespace brimo
