// IQVRoomRtcControllerWrap: the RTC controller of a joined room: devices, streams,
// canvases, audio features, screen sharing and local recording.
#pragma once

#include <napi.h>

#include <memory>

#include "core/wrap.h"
#include "media/rtc_records.h"
#include "sdk/room_context.h"
#include "sdk/rtc_controller.h"

namespace brimo {

class IQVRoomRtcControllerWrap : public RoomBound<IQVRoomRtcControllerWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomRtcControllerWrap";
  static constexpr const char* kTraceName = "IQVRoomRtcControllerWrap";
  static constexpr auto kChain = room_chain(NullReport{"IQVRoomRtcControllerWrap"},
                                            via<&parlo::IQVRoomContext::getRtcController>("rtcController"));

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomRtcControllerWrap(const Napi::CallbackInfo& info);

 private:
  Napi::Value setupLocalVideoCanvas(const Napi::CallbackInfo& info);
  Napi::Value setupLocalVideoSubStreamCanvas(const Napi::CallbackInfo& info);
  Napi::Value enableAudioVolumeIndication(const Napi::CallbackInfo& info);
  Napi::Value joinRtcChannel(const Napi::CallbackInfo& info);
  Napi::Value leaveRtcChannel(const Napi::CallbackInfo& info);
  Napi::Value getScreenCaptureSourceList(const Napi::CallbackInfo& info);
  Napi::Value startScreenShare(const Napi::CallbackInfo& info);
  Napi::Value startAppShare(const Napi::CallbackInfo& info);
  Napi::Value setExcludeWindowList(const Napi::CallbackInfo& info);
  Napi::Value stopShare(const Napi::CallbackInfo& info);
  Napi::Value pushLocalRecorderVideoFrame(const Napi::CallbackInfo& info);

  enum class Share { Screen, App };
  Napi::Value share(const Napi::CallbackInfo& info, Share what);

  // The sources of the last list delivered to script, by the number script knows
  // them by. Used on the script thread only; shared with the list's pending delivery,
  // which may outlive this wrapper.
  std::shared_ptr<CapturedSources> sources_ = std::make_shared<CapturedSources>();
};

}  // namespace brimo
