// IQVRoomServiceWrap: the SDK's room service: create, join, templates, history.
#pragma once

#include <napi.h>

#include "core/wrap.h"

namespace brimo {

class IQVRoomServiceWrap : public Wrap<IQVRoomServiceWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomServiceWrap";
  static constexpr const char* kTraceName = "IQVRoomServiceWrap";

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomServiceWrap(const Napi::CallbackInfo& info);
};

}  // namespace brimo
