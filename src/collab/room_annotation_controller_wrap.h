// IQVRoomAnnotationControllerWrap: the annotation controller of a joined room:
// annotation drawn over shared content, with the whiteboard's view protocol.
#pragma once

#include <napi.h>

#include "core/wrap.h"
#include "sdk/annotation_controller.h"
#include "sdk/room_context.h"

namespace brimo {

class IQVRoomAnnotationControllerWrap : public RoomBound<IQVRoomAnnotationControllerWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomAnnotationControllerWrap";
  static constexpr const char* kTraceName = "IQVRoomAnnotationControllerWrap";
  static constexpr auto kChain =
      room_chain(NullReport{"", NullReport::Form::Bare},
                 via<&parlo::IQVRoomContext::getAnnotationController>("annotationController"));

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomAnnotationControllerWrap(const Napi::CallbackInfo& info);

 private:
  Napi::Value setupAnnotationCanvas(const Napi::CallbackInfo& info);
  Napi::Value resetAnnotationCanvas(const Napi::CallbackInfo& info);
};

}  // namespace brimo
