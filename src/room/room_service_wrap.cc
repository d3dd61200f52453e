#include "room/room_service_wrap.h"

#include "room/preview_room_context_wrap.h"
#include "room/room_context_wrap.h"

namespace brimo {

void IQVRoomServiceWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports, {});
  IQVRoomContextWrap::Register(env, exports);
  IQVPreviewRoomContextWrap::Register(env, exports);
}

IQVRoomServiceWrap::IQVRoomServiceWrap(const Napi::CallbackInfo& info) : Wrap(info) {}

}  // namespace brimo
