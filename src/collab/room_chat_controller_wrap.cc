#include "collab/room_chat_controller_wrap.h"

namespace brimo {

void IQVRoomChatControllerWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports, {});
}

IQVRoomChatControllerWrap::IQVRoomChatControllerWrap(const Napi::CallbackInfo& info)
    : RoomBound(info), waiting_room_(boolean(info[1])) {}

}  // namespace brimo
