// IQVRoomWhiteboardControllerWrap: The whiteboard controller of a joined room.
#pragma once

#include <napi.h>

#include "core/wrap.h"

namespace brimo {

class IQVRoomWhiteboardControllerWrap : public RoomBound<IQVRoomWhiteboardControllerWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomWhiteboardControllerWrap";
  static constexpr const char* kTraceName = "IQVRoomWhiteboardControllerWrap";

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomWhiteboardControllerWrap(const Napi::CallbackInfo& info);
};

}  // namespace brimo
