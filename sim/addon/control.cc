// parlo_sim.node: the simulated SDK's control module for script. A thin pipe of
// JSON strings; sim/index.js gives it its API.
#include <napi.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

extern "C" char* parlo_sim_control(const char* command, const char* args);
extern "C" void parlo_sim_free(char* text);

namespace {

Napi::Value Control(const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  if (info.Length() < 2 || !info[0].IsString() || !info[1].IsString()) {
    Napi::TypeError::New(env, "control(command, jsonArguments) takes two strings").ThrowAsJavaScriptException();
    return env.Undefined();
  }
  std::string command = info[0].As<Napi::String>().Utf8Value();
  std::string args = info[1].As<Napi::String>().Utf8Value();
  char* answer = parlo_sim_control(command.c_str(), args.c_str());
  if (answer == nullptr) {
    Napi::Error::New(env, "the simulated SDK ran out of memory").ThrowAsJavaScriptException();
    return env.Undefined();
  }
  Napi::String out = Napi::String::New(env, answer);
  parlo_sim_free(answer);
  return out;
}

// Benchmark baselines: what a native call and a thread-safe function round trip cost
// with nothing of brimo in them.
Napi::Value Noop(const Napi::CallbackInfo& info) { return info.Env().Undefined(); }

void CallBaseline(Napi::Env env, Napi::Function callback, std::nullptr_t*, int* data) {
  std::unique_ptr<int> owned(data);
  if (env != nullptr) callback.Call(env.Undefined(), {});
}
using BaselineCarrier = Napi::TypedThreadSafeFunction<std::nullptr_t, int, CallBaseline>;

Napi::Value ThreadSafeCalls(const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  int count = info[0].As<Napi::Number>().Int32Value();
  BaselineCarrier carrier = BaselineCarrier::New(env, info[1].As<Napi::Function>(), "baseline", 0, 1);
  if (env.IsExceptionPending()) return env.Undefined();
  std::thread([carrier, count] {
    for (int i = 0; i < count; ++i) {
      auto* data = new int(i);
      if (carrier.NonBlockingCall(data) != napi_ok) delete data;
    }
    carrier.Release();
  }).detach();
  return env.Undefined();
}

// One thread-safe function made, called once from another thread and released, per
// call: the bare round trip of one asynchronous call.
class RoundTrips {
 public:
  static RoundTrips& get() {
    static auto* trips = new RoundTrips();  // its thread runs until the process ends
    return *trips;
  }
  void push(BaselineCarrier carrier) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      queue_.push_back(carrier);
    }
    wake_.notify_one();
  }

 private:
  RoundTrips() : thread_([this] { run(); }) { thread_.detach(); }
  void run() {
    for (;;) {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return !queue_.empty(); });
      BaselineCarrier carrier = queue_.front();
      queue_.pop_front();
      lock.unlock();
      auto* data = new int(0);
      if (carrier.NonBlockingCall(data) != napi_ok) delete data;
      carrier.Release();
    }
  }
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<BaselineCarrier> queue_;
  std::thread thread_;
};

Napi::Value ThreadSafeRoundTrip(const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  BaselineCarrier carrier = BaselineCarrier::New(env, info[0].As<Napi::Function>(), "baseline", 0, 1);
  if (!env.IsExceptionPending()) RoundTrips::get().push(carrier);
  return env.Undefined();
}

// The simulated SDK is one per process, scripted by one environment at a time:
// taken by a load, given back when that environment is torn down. Loads run on
// different threads (workers), hence the lock.
std::mutex g_owner_mutex;
napi_env g_owner = nullptr;

void run(const char* command) { parlo_sim_free(parlo_sim_control(command, "null")); }

// The scripting environment is gone: its frame generators stop (their threads end)
// and the SDK forgets what it scripted, so that the next environment finds it healthy.
void teardown(void* env) {
  run("frameStop");
  run("scriptEnded");
  std::lock_guard<std::mutex> lock(g_owner_mutex);
  if (g_owner == static_cast<napi_env>(env)) g_owner = nullptr;
}

bool claim(napi_env env) {
  std::lock_guard<std::mutex> lock(g_owner_mutex);
  if (g_owner == env) return true;
  if (g_owner != nullptr || napi_add_env_cleanup_hook(env, teardown, env) != napi_ok) return false;
  g_owner = env;
  return true;
}

Napi::Object Init(Napi::Env env, Napi::Object exports) {
  if (!claim(env)) {
    Napi::Error::New(env, "brimo/sim is in use by another thread of this process; it can be loaded once that thread has ended")
        .ThrowAsJavaScriptException();
    return exports;
  }
  // Functions bound at compile time carry no callback data, so the runtime keeps
  // nothing of ours that it would have to free when the environment ends.
  exports.Set("threadSafeRoundTrip", Napi::Function::New<ThreadSafeRoundTrip>(env, "threadSafeRoundTrip"));
  exports.Set("control", Napi::Function::New<Control>(env, "control"));
  exports.Set("noop", Napi::Function::New<Noop>(env, "noop"));
  exports.Set("threadSafeCalls", Napi::Function::New<ThreadSafeCalls>(env, "threadSafeCalls"));
  return exports;
}

}  // namespace

NODE_API_MODULE(parlo_sim, Init)
