// IQVRoomContextWrap: a joined room, found again by its UUID on every call: its
// state and members, member and room actions, room and statistics listeners. It
// makes the room's nine controller wrappers when it is constructed and holds them;
// their getters never resolve, so they keep working after the room is left.
#pragma once

#include <napi.h>

#include <string>

#include "core/wrap.h"
#include "sdk/room_context.h"

namespace brimo {

class IQVRoomContextWrap : public RoomBound<IQVRoomContextWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomContextWrap";
  static constexpr const char* kTraceName = nullptr;  // its lines carry the room UUID
  // One message for every missing link.
  static constexpr auto kChain = room_chain(NullReport{"IQVRoomContextWrap", NullReport::Form::Bare});

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomContextWrap(const Napi::CallbackInfo& info);
  ~IQVRoomContextWrap() override;

 private:
  Napi::Value getChatController(const Napi::CallbackInfo& info);
  Napi::Value getWaitingRoomChatController(const Napi::CallbackInfo& info);
  Napi::Value getRtcController(const Napi::CallbackInfo& info);
  Napi::Value getWhiteboardController(const Napi::CallbackInfo& info);
  Napi::Value getAnnotationController(const Napi::CallbackInfo& info);
  Napi::Value getLiveController(const Napi::CallbackInfo& info);
  Napi::Value getWaitingRoomController(const Napi::CallbackInfo& info);
  Napi::Value getSIPController(const Napi::CallbackInfo& info);
  Napi::Value getAppInviteController(const Napi::CallbackInfo& info);

  Napi::ObjectReference app_invite_;
  Napi::ObjectReference annotation_;
  Napi::ObjectReference live_;
  Napi::ObjectReference chat_;
  Napi::ObjectReference waiting_room_;
  Napi::ObjectReference waiting_room_chat_;
  Napi::ObjectReference sip_;
  Napi::ObjectReference whiteboard_;
  Napi::ObjectReference rtc_;
};

}  // namespace brimo
