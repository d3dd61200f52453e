#include "room/preview_room_context_wrap.h"

#include "media/preview_room_listener_adapter.h"
#include "media/preview_room_rtc_controller_wrap.h"

namespace brimo {

void IQVPreviewRoomContextWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports,
         {
             InstanceMethod<&IQVPreviewRoomContextWrap::getPreviewRoomRtcController>("getPreviewRoomRtcController"),
             listen<PreviewRoomListeners>("addPreviewRoomListener"),
             unlisten<PreviewRoomListeners>("removePreviewRoomListener"),
         });
  IQVPreviewRoomRtcControllerWrap::Register(env, exports);
}

IQVPreviewRoomContextWrap::IQVPreviewRoomContextWrap(const Napi::CallbackInfo& info)
    : Wrap(info), rtc_controller_(hold(IQVPreviewRoomRtcControllerWrap::make())) {}

// The stored wrapper, once the preview room can be reached; null when it cannot.
Napi::Value IQVPreviewRoomContextWrap::getPreviewRoomRtcController(const Napi::CallbackInfo& info) {
  if (resolve(info.Env()) == nullptr) return info.Env().Null();
  return rtc_controller_.Value();
}

}  // namespace brimo
