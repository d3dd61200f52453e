// parlo_sim.node: the simulated SDK's control module for script. A thin pipe of
// JSON strings; sim/index.js gives it its API.
#include <napi.h>

#include <string>

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

Napi::Object Init(Napi::Env env, Napi::Object exports) {
  exports.Set("control", Napi::Function::New(env, Control, "control"));
  return exports;
}

}  // namespace

NODE_API_MODULE(parlo_sim, Init)
