// Module entry: registers the sixteen script classes on exports, in one nested
// pass led by the kit.
#include <napi.h>

#include "core/lifetime.h"
#include "kit/parlo_wrap.h"

// The module states this version to the runtime through its version entry.
static_assert(NAPI_VERSION == 4, "brimo is built against Node-API version 4");

namespace {

// Constructor references, listener registrations, canvas views and the frame hub are
// process-wide, and the SDK holds our adapters and completions: one environment at a
// time can have them. When it is torn down they are let go of (core/lifetime.h) and
// the next environment may load the module.
Napi::Object Init(Napi::Env env, Napi::Object exports) {
  if (!brimo::claim_module(env)) {
    Napi::Error::New(env, "brimo is in use by another thread of this process; it can be loaded once that thread has ended")
        .ThrowAsJavaScriptException();
    return exports;
  }
  brimo::IQVParloWrap::Register(env, exports);
  return exports;
}

}  // namespace

NODE_API_MODULE(brimo, Init)
