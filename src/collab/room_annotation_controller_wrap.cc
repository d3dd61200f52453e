#include "collab/room_annotation_controller_wrap.h"

#include "collab/drawing_views.h"

namespace brimo {

using Annotation = parlo::IQVRoomAnnotationController;

void IQVRoomAnnotationControllerWrap::Register(Napi::Env env, Napi::Object exports) {
  using Self = IQVRoomAnnotationControllerWrap;
  define(env, exports,
         {
             row<&Annotation::getAnnotationUrl, Fail<Js::Empty>>("getAnnotationUrl"),
             row<&Annotation::getIsAnnotationEnabled, Fail<false>>("getIsAnnotationEnabled"),
             row<&Annotation::login, Convert<&dropped<int32_t>>>("login"),
             row<&Annotation::logout, Convert<&dropped<int32_t>>>("logout"),
             row<&Annotation::auth, Convert<&dropped<int32_t>>>("auth"),
             row<&Annotation::setEnableDraw>("setEnableDraw"),
             InstanceMethod<&Self::setupAnnotationCanvas>("setupAnnotationCanvas"),
             InstanceMethod<&Self::resetAnnotationCanvas>("resetAnnotationCanvas"),
             row<&Annotation::startAnnotationShare>("startAnnotationShare"),
             row<&Annotation::stopAnnotationShare>("stopAnnotationShare"),
         });
}

IQVRoomAnnotationControllerWrap::IQVRoomAnnotationControllerWrap(const Napi::CallbackInfo& info)
    : RoomBound(info) {}

Napi::Value IQVRoomAnnotationControllerWrap::setupAnnotationCanvas(const Napi::CallbackInfo& info) {
  return hand_view(*this, info, &Annotation::setupAnnotationCanvas);
}

Napi::Value IQVRoomAnnotationControllerWrap::resetAnnotationCanvas(const Napi::CallbackInfo& info) {
  return hand_view(*this, info, &Annotation::resetAnnotationCanvas);
}

}  // namespace brimo
