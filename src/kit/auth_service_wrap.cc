#include "kit/auth_service_wrap.h"

#include "core/carrier.h"
#include "core/listeners.h"
#include "kit/kit_listeners.h"
#include "core/trace.h"

namespace brimo {
namespace {

void trace_missing(const char* link) {
  if (std::string(link) == "parlo") {
    trace("parlo is  null");
  } else {
    trace("authService is null \n");
  }
}

const NullReport kNull{"", true, NullReport::Action::Raise, &trace_missing};

}  // namespace

void IQVAuthServiceWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports,
         {
             InstanceMethod<&IQVAuthServiceWrap::addAuthListener>("addAuthListener"),
             InstanceMethod<&IQVAuthServiceWrap::isLoggedIn>("isLoggedIn"),
             InstanceMethod<&IQVAuthServiceWrap::login>("login"),
             InstanceMethod<&IQVAuthServiceWrap::loginByDynamicToken>("loginByDynamicToken"),
             InstanceMethod<&IQVAuthServiceWrap::logout>("logout"),
             InstanceMethod<&IQVAuthServiceWrap::removeAuthListener>("removeAuthListener"),
         });
}

IQVAuthServiceWrap::IQVAuthServiceWrap(const Napi::CallbackInfo& info) : Wrap(info) {}

parlo::IQVAuthService* IQVAuthServiceWrap::resolve(Napi::Env env) {
  return resolve_service<&parlo::IQVParlo::getAuthService>(env, kNull, "authService");
}

Napi::Value IQVAuthServiceWrap::isLoggedIn(const Napi::CallbackInfo& info) {
  auto* auth = resolve(info.Env());
  if (auth == nullptr) return to_js(info.Env(), false);
  return to_js(info.Env(), auth->isLoggedIn());
}

Napi::Value IQVAuthServiceWrap::login(const Napi::CallbackInfo& info) {
  std::string account = utf8(info[0]);
  std::string token = utf8(info[1]);
  auto* auth = resolve(info.Env());
  if (auth == nullptr) return fail_callback(info.Env(), info[2], to_js(info.Env(), false));
  auth->login(account, token, complete(info.Env(), info[2]));
  return to_js(info.Env(), true);
}

Napi::Value IQVAuthServiceWrap::loginByDynamicToken(const Napi::CallbackInfo& info) {
  std::string account = utf8(info[0]);
  std::string token = utf8(info[1]);
  std::string auth_type = utf8(info[2]);
  trace_text("loginByDynamicToken start authType: " + auth_type + " \n");
  auto* auth = resolve(info.Env());
  trace_text("loginByDynamicToken end authType: " + auth_type + " \n");
  if (auth == nullptr) return fail_callback(info.Env(), info[3], to_js(info.Env(), false));
  auth->loginByDynamicToken(account, token, auth_type, complete(info.Env(), info[3]));
  return to_js(info.Env(), true);
}

Napi::Value IQVAuthServiceWrap::logout(const Napi::CallbackInfo& info) {
  auto* auth = resolve(info.Env());
  if (auth == nullptr) return fail_callback(info.Env(), info[0], to_js(info.Env(), false));
  auth->logout(complete(info.Env(), info[0]));
  return to_js(info.Env(), true);
}

}  // namespace brimo

namespace brimo {

Napi::Value IQVAuthServiceWrap::addAuthListener(const Napi::CallbackInfo& info) {
  return add_listener<AuthListenerAdapter>(info.Env(), info[0], ListenerRegistry::get().auth, find_service<&parlo::IQVParlo::getAuthService>(),
                                           &parlo::IQVAuthService::addAuthListener);
}

Napi::Value IQVAuthServiceWrap::removeAuthListener(const Napi::CallbackInfo& info) {
  return remove_listener<AuthListenerAdapter>(info.Env(), info[0], ListenerRegistry::get().auth, find_service<&parlo::IQVParlo::getAuthService>,
                                              &parlo::IQVAuthService::removeAuthListener);
}

}  // namespace brimo
