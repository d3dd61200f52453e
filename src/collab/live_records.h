// Script forms of the live controller's records: the live parameters and the live
// page's images read from script (every key coerced), the live information and the
// stream addresses written back, and the images with their update sequence.
#pragma once

#include <napi.h>

#include "sdk/live_controller.h"

namespace parlo {

// title, password, taskId, the five addresses, state, extensionConfig, liveLayout,
// userUuidList: the enable-third-parties flag is not shown.
Napi::Value to_js(Napi::Env env, const LiveRecord& live);
// backgroundUrl, coverUrl, thumbnailBackgroundUrl, thumbnailCoverUrl,
// backgroundUpdatedSequence.
Napi::Value to_js(Napi::Env env, const LiveBackground& background);

// The live parameters of a start: title, password, enableThirdParties,
// extensionConfig, liveLayout, userUuidList, each read when present.
void read_value(const Napi::Value& v, LiveRecord& out);
// The four image URLs, each read when present.
void read_value(const Napi::Value& v, LiveBackground& out);

}  // namespace parlo

namespace brimo {

// The live parameters of an update: as a start's, without enableThirdParties.
parlo::LiveRecord read_live_update(const Napi::Value& value);

// What a start hands back: taskId and the five addresses.
Napi::Value live_addresses_to_js(Napi::Env env, const parlo::LiveRecord& live);

}  // namespace brimo
