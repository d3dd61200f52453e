#include "kit/kit_records.h"

namespace parlo {

Napi::Value to_js(Napi::Env env, const SdkVersions& versions) {
  Napi::Object object = Napi::Object::New(env);
  object.Set("imVersion", versions.imVersion);
  object.Set("parloVersion", versions.parloVersion);
  object.Set("rtcVersion", versions.rtcVersion);
  object.Set("whiteboardVersion", versions.whiteboardVersion);
  return object;
}

}  // namespace parlo
