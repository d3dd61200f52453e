// Carriers bring SDK completions and listener events from SDK threads onto the
// script thread. A carrier is a thread-safe function around one script function
// (resource name "Parlo Node", unbounded queue, one thread). SDK threads only copy
// what they receive into a Delivery and queue it; script values are made on the
// script thread when the delivery runs.
#pragma once

#include <napi.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "core/to_js.h"

namespace brimo {

// One queued piece of work for the script thread. Owned by the queue until run.
class Delivery {
 public:
  virtual ~Delivery() = default;
  virtual void deliver(Napi::Env env, Napi::Function target) = 0;
};

void run_delivery(Napi::Env env, Napi::Function target, std::nullptr_t* context, Delivery* delivery);

using Carrier = Napi::TypedThreadSafeFunction<std::nullptr_t, Delivery, run_delivery>;

// Makes a carrier around `function`. When it is not a function the runtime's error
// is raised and the carrier is empty; callers go on regardless.
Carrier make_carrier(Napi::Env env, Napi::Value function);

// Carriers made so far and carriers the runtime has finalised; the difference is
// the carriers alive (a diagnostic, read through brimo_carrier_stats).
struct CarrierStats {
  uint64_t made;
  uint64_t finalised;
};
CarrierStats carrier_stats();

// Queues `delivery` without blocking; destroys it when the carrier is empty or closing.
void post(const Carrier& carrier, std::unique_ptr<Delivery> delivery);
// Queues in blocking mode (the queue is unbounded, so this never waits either).
void post_blocking(const Carrier& carrier, std::unique_ptr<Delivery> delivery);

// A completion's result, copied on the SDK thread and converted on the script thread:
// callback(code, message, convert(result)...) with `this` undefined.
template <class Convert, class... R>
class CompletionDelivery final : public Delivery {
 public:
  CompletionDelivery(Convert convert, int32_t code, std::string message, const R&... results)
      : convert_(std::move(convert)), code_(code), message_(std::move(message)), results_(results...) {}

  void deliver(Napi::Env env, Napi::Function callback) override {
    std::apply(
        [&](const auto&... results) {
          callback.Call(env.Undefined(), {to_js(env, code_), to_js(env, message_), convert_(env, results)...});
        },
        results_);
  }

 private:
  Convert convert_;
  int32_t code_;
  std::string message_;
  std::tuple<R...> results_;
};

// The SDK's side of one asynchronous call. The SDK invokes it once; that first
// invocation copies the result into a delivery made by `make(code, message,
// results...)`, queues it, and releases the carrier, queued or not.
template <class Make, class... R>
class Completion {
 public:
  Completion(Carrier carrier, Make make) : carrier_(carrier), make_(std::move(make)) {}

  void operator()(int32_t code, const std::string& message, const R&... results) const {
    if (!carrier_) return;  // the callback was not a function: nothing to deliver
    post(carrier_, make_(code, message, results...));
    carrier_.Release();
  }

 private:
  Carrier carrier_;
  Make make_;
};

// A completion with a delivery of its own (a join makes a room context wrapper, or
// answers with two arguments when no room came back).
template <class... R, class Make>
Completion<Make, R...> complete_with(Napi::Env env, Napi::Value callback, Make make) {
  return Completion<Make, R...>(make_carrier(env, callback), std::move(make));
}

// complete<R...>(env, callback[, convert]) makes the carrier and the SDK completion
// of one call: callback(code, message, convert(env, result)...).
template <class... R, class Convert = DefaultToJs>
auto complete(Napi::Env env, Napi::Value callback, Convert convert = {}) {
  return complete_with<R...>(env, callback, [convert](int32_t code, const std::string& message, const R&... results) {
    return std::make_unique<CompletionDelivery<Convert, R...>>(convert, code, message, results...);
  });
}

// After a failed resolution an asynchronous method tries callback(-1, "") and returns
// its failure value: `return fail_callback(env, callback, failure);`. Wherever the
// resolution raised its TypeError the runtime refuses to run script, so the callback
// only runs for classes whose resolution raises nothing.
Napi::Value fail_callback(Napi::Env env, Napi::Value callback, Napi::Value failure);

}  // namespace brimo
