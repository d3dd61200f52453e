// Carriers bring SDK completions and listener events from SDK threads onto the
// script thread. A carrier is a thread-safe function around one script function
// (resource name "Parlo Node", unbounded queue, one thread). SDK threads only copy
// what they receive into a Delivery and queue it; script values are made on the
// script thread when the delivery runs.
#pragma once

#include <napi.h>

#include <atomic>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "core/lifetime.h"
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

// Queues `delivery` without blocking; destroys it when the carrier is empty or
// closing. Only for a caller that holds the carrier's lifeline.
void queue(const Carrier& carrier, std::unique_ptr<Delivery> delivery);
// Queues `delivery` without blocking while `life` lasts; destroys it when the
// environment has ended or the carrier is empty or closing.
void post(const Lifeline& life, const Carrier& carrier, std::unique_ptr<Delivery> delivery);
// Queues in blocking mode (the queue is unbounded, so this never waits either).
void post_blocking(const Lifeline& life, const Carrier& carrier, std::unique_ptr<Delivery> delivery);

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

// The carrier of one asynchronous call, shared by every copy the SDK makes of its
// completion. Only the first invocation reaches script: an SDK that invokes a
// completion again finds it settled, and the carrier, released by then, is not
// touched. An SDK that lets go of a completion it never invoked releases the
// carrier with it, so the process is not kept alive for a callback that cannot come.
class CallCarrier {
 public:
  explicit CallCarrier(Carrier carrier) : carrier_(carrier), life_(lifeline()) { ++bridge_counts().calls; }
  ~CallCarrier() {
    if (settle()) life_->while_alive([this] { carrier_.Release(); });
  }
  CallCarrier(const CallCarrier&) = delete;
  CallCarrier& operator=(const CallCarrier&) = delete;

  // True for the first invocation only; any thread.
  bool settle() {
    if (settled_.exchange(true)) return false;
    --bridge_counts().calls;
    return true;
  }
  // Queues the result of the settled call and releases the carrier, queued or not.
  void finish(std::unique_ptr<Delivery> delivery) {
    life_->while_alive([&] {
      queue(carrier_, std::move(delivery));
      carrier_.Release();
    });
  }

 private:
  Carrier carrier_;
  std::shared_ptr<Lifeline> life_;
  std::atomic<bool> settled_{false};
};

// The SDK's side of one asynchronous call. Its first invocation copies the result
// into a delivery made by `make(code, message, results...)`, queues it, and releases
// the carrier, queued or not.
template <class Make, class... R>
class Completion {
 public:
  Completion(Carrier carrier, Make make)
      : call_(carrier ? std::make_shared<CallCarrier>(carrier) : nullptr), make_(std::move(make)) {}

  void operator()(int32_t code, const std::string& message, const R&... results) const {
    if (!call_) return;  // the callback was not a function: nothing to deliver
    if (!call_->settle()) return;
    call_->finish(make_(code, message, results...));
  }

 private:
  std::shared_ptr<CallCarrier> call_;
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
