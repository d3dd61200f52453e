// Filling ParloOptions from the options object of initialize.
#pragma once

#include <napi.h>

#include "sdk/parlo_options.h"

namespace brimo {

// Fills `options` (holding its defaults) from `value`. Conversion errors stay
// pending in the runtime; the keys after one keep their defaults.
void read_options(Napi::Env env, const Napi::Value& value, parlo::ParloOptions& options);

}  // namespace brimo
