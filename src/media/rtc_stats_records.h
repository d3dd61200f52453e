// Script forms of the RTC statistics records: keys equal the field names, in the
// SDK's field order. Declared in the records' namespace so that list and map
// conversions find them.
#pragma once

#include <napi.h>

#include "sdk/rtc_stats_listener.h"

namespace parlo {

Napi::Value to_js(Napi::Env env, const RtcStats& stats);
Napi::Value to_js(Napi::Env env, const LocalAudioStats& stats);
Napi::Value to_js(Napi::Env env, const RemoteAudioStats& stats);
Napi::Value to_js(Napi::Env env, const LocalVideoStats& stats);
Napi::Value to_js(Napi::Env env, const RemoteVideoStats& stats);
Napi::Value to_js(Napi::Env env, const NetworkQualityInfo& quality);

}  // namespace parlo
