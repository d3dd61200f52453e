#include "room/preview_room_context_wrap.h"

#include "media/preview_room_rtc_controller_wrap.h"

namespace brimo {

void IQVPreviewRoomContextWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports, {});
  IQVPreviewRoomRtcControllerWrap::Register(env, exports);
}

IQVPreviewRoomContextWrap::IQVPreviewRoomContextWrap(const Napi::CallbackInfo& info)
    : Wrap(info), rtc_controller_(hold(IQVPreviewRoomRtcControllerWrap::make())) {}

}  // namespace brimo
