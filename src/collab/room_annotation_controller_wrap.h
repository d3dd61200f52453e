// IQVRoomAnnotationControllerWrap: The annotation controller of a joined room.
#pragma once

#include <napi.h>

#include "core/wrap.h"

namespace brimo {

class IQVRoomAnnotationControllerWrap : public RoomBound<IQVRoomAnnotationControllerWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomAnnotationControllerWrap";
  static constexpr const char* kTraceName = "IQVRoomAnnotationControllerWrap";

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomAnnotationControllerWrap(const Napi::CallbackInfo& info);
};

}  // namespace brimo
