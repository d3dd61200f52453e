#include "kit/auth_service_wrap.h"

#include <string>

#include "core/carrier.h"
#include "core/trace.h"
#include "kit/kit_listeners.h"

namespace brimo {

using Auth = parlo::IQVAuthService;

void IQVAuthServiceWrap::trace_missing(const char* link) {
  if (std::string(link) == "parlo") {
    trace("parlo is  null");
  } else {
    trace("authService is null \n");
  }
}

void IQVAuthServiceWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports,
         {
             listen<AuthListeners>("addAuthListener"),
             row<&Auth::isLoggedIn, Fail<false>>("isLoggedIn"),
             row<&Auth::login, ConvertFirst, Fail<false>, Returns<true>>("login"),
             InstanceMethod<&IQVAuthServiceWrap::loginByDynamicToken>("loginByDynamicToken"),
             row<&Auth::logout, Fail<false>, Returns<true>>("logout"),
             unlisten<AuthListeners>("removeAuthListener"),
         });
}

IQVAuthServiceWrap::IQVAuthServiceWrap(const Napi::CallbackInfo& info) : Wrap(info) {}

// Its trace lines, carrying the auth type, stand on either side of the resolution.
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

}  // namespace brimo
