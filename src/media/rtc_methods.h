// Methods that both RTC controller wrappers offer and that a row cannot state: the
// local canvas (a window handle and a mirror flag make one record) and the volume
// indication's two forms. Each wrapper writes its own trace line first, if any, and
// resolves along its own chain.
#pragma once

#include <napi.h>

#include <string>

#include "core/errors.h"
#include "core/from_js.h"
#include "core/to_js.h"
#include "media/rtc_records.h"
#include "sdk/rtc_controller.h"

namespace brimo {

// (windowHandle, mirror): mirrored when the second argument is truthy.
template <class Self>
Napi::Value setup_local_canvas(const Self& self, const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  auto* rtc = self.resolve(env);
  if (rtc == nullptr) return to_js(env, -1);
  parlo::VideoCanvas canvas;
  canvas.window = window_handle(info[0]);
  canvas.mirrorMode = truthy(info[1]) ? 1 : 2;
  return to_js(env, rtc->setupLocalVideoCanvas(canvas));
}

// (enable, interval) is the two-argument form; any other count the four-argument
// one, (id, enable, interval, flag). The count is checked once the controller is found.
template <class Self>
Napi::Value enable_volume_indication(const Self& self, const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  auto* rtc = self.resolve(env);
  if (rtc == nullptr) return to_js(env, -1);
  if (info.Length() < 2) {
    raise_type_error(env, "Wrong number of arguments");
    return to_js(env, -1);
  }
  if (info.Length() == 2) return to_js(env, rtc->enableAudioVolumeIndication(truthy(info[0]), int32(info[1])));
  std::string id = utf8(info[0]);
  return to_js(env, rtc->enableAudioVolumeIndication(id, truthy(info[1]), int32(info[2]), truthy(info[3])));
}

}  // namespace brimo
