#include "core/carrier.h"

#include <atomic>

namespace brimo {

namespace {
// Carriers made and finalised in this process: a long run checks that every
// completion and every removed listener gives its carrier back.
std::atomic<uint64_t> g_carriers_made{0};
std::atomic<uint64_t> g_carriers_finalised{0};

void count_finalised(napi_env, void*, void*) { g_carriers_finalised.fetch_add(1, std::memory_order_relaxed); }
}  // namespace

CarrierStats carrier_stats() {
  const uint64_t finalised = g_carriers_finalised.load(std::memory_order_relaxed);
  return {g_carriers_made.load(std::memory_order_relaxed), finalised};
}

void run_delivery(Napi::Env env, Napi::Function target, std::nullptr_t*, Delivery* delivery) {
  std::unique_ptr<Delivery> owned(delivery);
  // Without an environment the runtime is shutting down: drop what was queued.
  if (env == nullptr || target.IsEmpty()) return;
  owned->deliver(env, target);
  // A throwing callback or listener surfaces as the runtime's uncaught exception
  // (process 'uncaughtException'), whatever the runtime's policy for old modules.
  if (env.IsExceptionPending()) {
    Napi::Error error = env.GetAndClearPendingException();
    napi_fatal_exception(env, error.Value());
  }
}

namespace {

// The runtime's call into script for one queued delivery (a null env at teardown).
void call_into_script(napi_env env, napi_value target, void* context, void* data) {
  run_delivery(Napi::Env(env), Napi::Function(env, target), static_cast<std::nullptr_t*>(context),
               static_cast<Delivery*>(data));
}

}  // namespace

// Made through Node-API itself rather than the wrapper's New, which allocates and
// registers a finaliser record per function: a carrier is made for every
// asynchronous call, and ours finalises only a count.
Carrier make_carrier(Napi::Env env, Napi::Value function) {
  napi_value name = nullptr;
  napi_threadsafe_function made = nullptr;
  napi_status status = napi_create_string_utf8(env, "Parlo Node", NAPI_AUTO_LENGTH, &name);
  if (status == napi_ok) {
    status = napi_create_threadsafe_function(env, function, nullptr, name, 0, 1, nullptr, count_finalised, nullptr,
                                             call_into_script, &made);
  }
  if (status != napi_ok) {
    Napi::Error::New(env).ThrowAsJavaScriptException();
    return Carrier();
  }
  g_carriers_made.fetch_add(1, std::memory_order_relaxed);
  return Carrier(made);
}

void queue(const Carrier& carrier, std::unique_ptr<Delivery> delivery) {
  if (carrier && carrier.NonBlockingCall(delivery.get()) == napi_ok) delivery.release();
}

void post(const Lifeline& life, const Carrier& carrier, std::unique_ptr<Delivery> delivery) {
  life.while_alive([&] { queue(carrier, std::move(delivery)); });
}

void post_blocking(const Lifeline& life, const Carrier& carrier, std::unique_ptr<Delivery> delivery) {
  if (!carrier) return;
  life.while_alive([&] {
    if (carrier.BlockingCall(delivery.get()) == napi_ok) delivery.release();
  });
}

Napi::Value fail_callback(Napi::Env env, Napi::Value callback, Napi::Value failure) {
  if (!env.IsExceptionPending()) {
    callback.As<Napi::Function>().Call(env.Undefined(), {Napi::Number::New(env, -1), Napi::String::New(env, "")});
  }
  return failure;
}

}  // namespace brimo
