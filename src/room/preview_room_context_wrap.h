// IQVPreviewRoomContextWrap: the preview room used before joining. It holds the one
// preview RTC controller wrapper it makes when constructed, and registers preview
// room listeners with the SDK's preview room context.
#pragma once

#include <napi.h>

#include "core/wrap.h"
#include "sdk/preview_room_context.h"

namespace brimo {

class IQVPreviewRoomContextWrap : public Wrap<IQVPreviewRoomContextWrap> {
 public:
  static constexpr const char* kClassName = "IQVPreviewRoomContextWrap";
  static constexpr const char* kTraceName = "IQVPreviewRoomContextWrap";
  // A missing kit is reported without a link name.
  static constexpr auto kChain =
      chain(NullReport{"IQVPreviewRoomContextWrap", NullReport::Form::Named, nullptr, ""},
            via<&parlo::IQVParlo::getRoomService>("roomService"),
            via<&parlo::IQVRoomService::getPreviewRoomContext>("previewRoomContext"));

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVPreviewRoomContextWrap(const Napi::CallbackInfo& info);

 private:
  Napi::Value getPreviewRoomRtcController(const Napi::CallbackInfo& info);

  Napi::ObjectReference rtc_controller_;
};

}  // namespace brimo
