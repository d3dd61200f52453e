// IQVRoomLiveControllerWrap: The live-stream controller of a joined room.
#pragma once

#include <napi.h>

#include "core/wrap.h"

namespace brimo {

class IQVRoomLiveControllerWrap : public RoomBound<IQVRoomLiveControllerWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomLiveControllerWrap";
  static constexpr const char* kTraceName = "IQVRoomLiveControllerWrap";

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomLiveControllerWrap(const Napi::CallbackInfo& info);
};

}  // namespace brimo
