#include "media/preview_room_rtc_controller_wrap.h"

namespace brimo {

void IQVPreviewRoomRtcControllerWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports, {});
}

IQVPreviewRoomRtcControllerWrap::IQVPreviewRoomRtcControllerWrap(const Napi::CallbackInfo& info) : Wrap<IQVPreviewRoomRtcControllerWrap>(info) {}

}  // namespace brimo
