#include "collab/room_annotation_controller_wrap.h"

namespace brimo {

void IQVRoomAnnotationControllerWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports, {});
}

IQVRoomAnnotationControllerWrap::IQVRoomAnnotationControllerWrap(const Napi::CallbackInfo& info) : RoomBound<IQVRoomAnnotationControllerWrap>(info) {}

}  // namespace brimo
