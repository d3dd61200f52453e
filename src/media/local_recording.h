// The pushed recorder frame, shared by the room's and the preview room's RTC
// controllers: the pixels are taken straight from script's typed array for the call,
// so an array shorter than the frame's format needs is refused, never handed over.
#pragma once

#include <napi.h>

#include <string>

#include "core/errors.h"
#include "core/from_js.h"
#include "core/to_js.h"
#include "media/rtc_records.h"

namespace brimo {

// pushLocalRecorderVideoFrame(id, streamType, frame): the SDK's code, or null when
// the controller cannot be found or the frame is refused ("Wrong arguments").
template <class Wrapper>
Napi::Value push_recorder_frame(const Wrapper& self, const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  if (self.resolve(env) == nullptr) return env.Null();
  std::string id = utf8(info[0]);
  int32_t stream_type = int32(info[1]);
  size_t bytes = 0;
  parlo::RecorderVideoFrame frame = read_recorder_frame(info[2], bytes);
  // Getters inside the frame may have taken the controller away.
  auto* controller = self.resolve_again(env);
  if (controller == nullptr) return env.Null();
  if (!recorder_frame_fits(frame, bytes)) {
    raise_type_error(env, "Wrong arguments");
    return env.Null();
  }
  return to_js(env, controller->pushLocalRecorderVideoFrame(id, stream_type, frame));
}

}  // namespace brimo
