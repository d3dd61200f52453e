// The kit's three video-frame methods: script polls the frame hub with its own
// typed arrays; the hub copies the newest frame of each requested user and stream
// into them and reports per request what happened.
#pragma once

#include <napi.h>

namespace brimo {

Napi::Value start_listen_video_frame(const Napi::CallbackInfo& info);
Napi::Value get_video_frame(const Napi::CallbackInfo& info);
Napi::Value stop_listen_video_frame(const Napi::CallbackInfo& info);

}  // namespace brimo
