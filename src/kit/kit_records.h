// Script forms of the kit's records. Declared in the records' namespace so that
// list and map conversions find them.
#pragma once

#include <napi.h>

#include "sdk/parlo_options.h"

namespace parlo {

Napi::Value to_js(Napi::Env env, const SdkVersions& versions);

}  // namespace parlo
