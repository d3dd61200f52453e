// IQVRoomSIPControllerWrap: The SIP controller of a joined room: calls into the meeting over SIP.
#pragma once

#include <napi.h>

#include "core/wrap.h"

namespace brimo {

class IQVRoomSIPControllerWrap : public RoomBound<IQVRoomSIPControllerWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomSIPControllerWrap";
  static constexpr const char* kTraceName = "IQVRoomSIPControllerWrap";

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomSIPControllerWrap(const Napi::CallbackInfo& info);
};

}  // namespace brimo
