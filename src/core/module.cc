// Module entry: registers the sixteen script classes on exports, in one nested
// pass led by the kit.
#include <napi.h>

#include <atomic>

#include "kit/parlo_wrap.h"

// The module states this version to the runtime through its version entry.
static_assert(NAPI_VERSION == 4, "brimo is built against Node-API version 4");

// The runtime's own event loop, exported by it to every addon.
extern "C" struct uv_loop_s* uv_default_loop(void);

namespace {

// Constructor references, listener registrations and the SDK's hold on our adapters
// and completions are process-wide and outlive any one environment but the main
// thread's. A worker that loaded us would leave them behind when it ends, so only the
// main thread may load the module, once.
std::atomic<napi_env> g_owner{nullptr};

bool on_main_thread(napi_env env) {
  struct uv_loop_s* loop = nullptr;
  return napi_get_uv_event_loop(env, &loop) == napi_ok && loop == uv_default_loop();
}

Napi::Object Init(Napi::Env env, Napi::Object exports) {
  napi_env expected = nullptr;
  if (!on_main_thread(env) ||
      (!g_owner.compare_exchange_strong(expected, env) && expected != static_cast<napi_env>(env))) {
    Napi::Error::New(env, "brimo can be loaded by the main thread of a process only, once")
        .ThrowAsJavaScriptException();
    return exports;
  }
  brimo::IQVParloWrap::Register(env, exports);
  return exports;
}

}  // namespace

NODE_API_MODULE(brimo, Init)
