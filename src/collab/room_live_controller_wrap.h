// IQVRoomLiveControllerWrap: the live-stream controller of a joined room. Unlike the
// other controllers, its methods check their arguments, and a missing link raises
// nothing: it is written to standard output ("IQVRoomLiveControllerWrap <link> is
// null") and a callback is called with (-1, "") before the method returns.
#pragma once

#include <napi.h>

#include "core/wrap.h"
#include "sdk/live_controller.h"
#include "sdk/room_context.h"

namespace brimo {

class IQVRoomLiveControllerWrap : public RoomBound<IQVRoomLiveControllerWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomLiveControllerWrap";
  static constexpr const char* kTraceName = "IQVRoomLiveControllerWrap";
  static constexpr auto kChain =
      room_chain(NullReport{"IQVRoomLiveControllerWrap", NullReport::Form::Printed},
                 via<&parlo::IQVRoomContext::getLiveController>("liveController"));

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomLiveControllerWrap(const Napi::CallbackInfo& info);

 private:
  Napi::Value checkStreamTask(const Napi::CallbackInfo& info);
  Napi::Value removeLiveStreamTask(const Napi::CallbackInfo& info);
};

}  // namespace brimo
