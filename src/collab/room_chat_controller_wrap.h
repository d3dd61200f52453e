// IQVRoomChatControllerWrap: a room's chat. One class serves two SDK objects, the
// room's chat controller and the waiting room's, told apart by a flag.
#pragma once

#include <napi.h>

#include "core/wrap.h"

namespace brimo {

class IQVRoomChatControllerWrap : public RoomBound<IQVRoomChatControllerWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomChatControllerWrap";
  static constexpr const char* kTraceName = "IQVRoomChatControllerWrap";

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomChatControllerWrap(const Napi::CallbackInfo& info);

  bool serves_waiting_room() const { return waiting_room_; }

 private:
  bool waiting_room_;
};

}  // namespace brimo
