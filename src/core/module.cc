// Module entry: registers the sixteen script classes on exports, in one nested
// pass led by the kit.
#include <napi.h>

#include <atomic>

#include "kit/parlo_wrap.h"

// The module states this version to the runtime through its version entry.
static_assert(NAPI_VERSION == 4, "brimo is built against Node-API version 4");

namespace {

// Constructor references and listener registrations are process-wide and belong to
// the first environment that loaded us; a second one (a worker thread) is refused.
std::atomic<napi_env> g_owner{nullptr};

Napi::Object Init(Napi::Env env, Napi::Object exports) {
  napi_env expected = nullptr;
  if (!g_owner.compare_exchange_strong(expected, env) && expected != static_cast<napi_env>(env)) {
    Napi::Error::New(env, "brimo can be loaded by one thread of a process only (it is already loaded)")
        .ThrowAsJavaScriptException();
    return exports;
  }
  brimo::IQVParloWrap::Register(env, exports);
  return exports;
}

}  // namespace

NODE_API_MODULE(brimo, Init)
