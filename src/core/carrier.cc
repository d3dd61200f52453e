#include "core/carrier.h"

namespace brimo {

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

Carrier make_carrier(Napi::Env env, Napi::Value function) {
  return Carrier::New(env, function.As<Napi::Function>(), "Parlo Node", 0, 1);
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
