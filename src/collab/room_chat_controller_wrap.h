// IQVRoomChatControllerWrap: a room's chat. One class serves two SDK objects, the
// room's chat controller and the waiting room's, told apart by a flag.
#pragma once

#include <napi.h>

#include "core/wrap.h"
#include "sdk/chat_controller.h"
#include "sdk/room_context.h"

namespace brimo {

// The last step of the chat's walk: the room's chat controller, or the waiting
// room's when the wrapper serves the waiting room.
struct ChatOf {
  const char* link;
  template <class Self>
  parlo::IQVRoomChatController* operator()(parlo::IQVRoomContext* room, const Self& self) const {
    return self.serves_waiting_room() ? room->getWaitingRoomChatController() : room->getChatController();
  }
};

class IQVRoomChatControllerWrap : public RoomBound<IQVRoomChatControllerWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomChatControllerWrap";
  static constexpr const char* kTraceName = "IQVRoomChatControllerWrap";
  // One bare message for every missing link.
  static constexpr auto kChain = room_chain(NullReport{"", NullReport::Form::Bare}, ChatOf{"chatController"});

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomChatControllerWrap(const Napi::CallbackInfo& info);

  bool serves_waiting_room() const { return waiting_room_; }

 private:
  bool waiting_room_;
};

}  // namespace brimo
