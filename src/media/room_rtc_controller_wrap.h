// IQVRoomRtcControllerWrap: The RTC controller of a joined room: devices, streams, canvases, audio features, screen sharing and local recording.
#pragma once

#include <napi.h>

#include "core/wrap.h"

namespace brimo {

class IQVRoomRtcControllerWrap : public RoomBound<IQVRoomRtcControllerWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomRtcControllerWrap";
  static constexpr const char* kTraceName = "IQVRoomRtcControllerWrap";

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomRtcControllerWrap(const Napi::CallbackInfo& info);
};

}  // namespace brimo
