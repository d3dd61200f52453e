// IQVRoomWhiteboardControllerWrap: the whiteboard controller of a joined room: the
// drawing page's view and handshake, drawing permission, and sharing.
#pragma once

#include <napi.h>

#include "core/wrap.h"
#include "sdk/room_context.h"
#include "sdk/whiteboard_controller.h"

namespace brimo {

class IQVRoomWhiteboardControllerWrap : public RoomBound<IQVRoomWhiteboardControllerWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomWhiteboardControllerWrap";
  static constexpr const char* kTraceName = "IQVRoomWhiteboardControllerWrap";
  static constexpr auto kChain =
      room_chain(NullReport{"", NullReport::Form::Bare},
                 via<&parlo::IQVRoomContext::getWhiteboardController>("whiteboardController"));

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomWhiteboardControllerWrap(const Napi::CallbackInfo& info);

 private:
  Napi::Value resetWhiteboardCanvas(const Napi::CallbackInfo& info);
  Napi::Value setupWhiteboardCanvas(const Napi::CallbackInfo& info);
};

}  // namespace brimo
