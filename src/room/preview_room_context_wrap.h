// IQVPreviewRoomContextWrap: the preview room used before joining. It holds the one
// preview RTC controller wrapper it makes when constructed.
#pragma once

#include <napi.h>

#include "core/wrap.h"

namespace brimo {

class IQVPreviewRoomContextWrap : public Wrap<IQVPreviewRoomContextWrap> {
 public:
  static constexpr const char* kClassName = "IQVPreviewRoomContextWrap";
  static constexpr const char* kTraceName = "IQVPreviewRoomContextWrap";

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVPreviewRoomContextWrap(const Napi::CallbackInfo& info);

 private:
  Napi::ObjectReference rtc_controller_;
};

}  // namespace brimo
