// IQVPreviewRoomRtcControllerWrap (script name "IQVPreviewRoomRtcController"): the
// RTC controller of the preview room, used before joining: device tests, video
// preview, effects, the operations it shares with a room's controller and local
// recording. Every call announces itself on the trace and finds the controller again.
#pragma once

#include <napi.h>

#include "core/wrap.h"
#include "sdk/preview_room_context.h"
#include "sdk/room_service.h"

namespace brimo {

class IQVPreviewRoomRtcControllerWrap : public Wrap<IQVPreviewRoomRtcControllerWrap> {
 public:
  static constexpr const char* kClassName = "IQVPreviewRoomRtcController";
  static constexpr const char* kTraceName = "IQVPreviewRoomRtcControllerWrap";
  // A missing kit is reported without a link name.
  static constexpr auto kChain =
      chain(NullReport{"IQVPreviewRoomRtcControllerWrap", NullReport::Form::Named, nullptr, "",
                       "checkIfPreviewRoomControllerIsNotNull before \n"},
            via<&parlo::IQVParlo::getRoomService>("roomService"),
            via<&parlo::IQVRoomService::getPreviewRoomContext>("previewRoomContext"),
            via<&parlo::IQVPreviewRoomContext::getPreviewRoomRtcController>("previewRoomRtcController"));

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVPreviewRoomRtcControllerWrap(const Napi::CallbackInfo& info);

 private:
  Napi::Value setupLocalVideoCanvas(const Napi::CallbackInfo& info);
  Napi::Value setRecordDeviceVolume(const Napi::CallbackInfo& info);
  Napi::Value enableAudioVolumeIndication(const Napi::CallbackInfo& info);
  Napi::Value enableVirtualBackground(const Napi::CallbackInfo& info);
  Napi::Value pushLocalRecorderVideoFrame(const Napi::CallbackInfo& info);
};

}  // namespace brimo
