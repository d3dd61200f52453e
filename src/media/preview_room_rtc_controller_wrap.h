// IQVPreviewRoomRtcControllerWrap: The RTC controller of the preview room, used before joining: device tests and effects.
#pragma once

#include <napi.h>

#include "core/wrap.h"

namespace brimo {

class IQVPreviewRoomRtcControllerWrap : public Wrap<IQVPreviewRoomRtcControllerWrap> {
 public:
  static constexpr const char* kClassName = "IQVPreviewRoomRtcController";
  static constexpr const char* kTraceName = "IQVPreviewRoomRtcControllerWrap";

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVPreviewRoomRtcControllerWrap(const Napi::CallbackInfo& info);
};

}  // namespace brimo
