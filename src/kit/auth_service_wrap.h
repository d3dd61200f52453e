// IQVAuthServiceWrap: the SDK's account service: login, logout, auth listeners.
#pragma once

#include <napi.h>

#include "core/resolve.h"
#include "core/wrap.h"

namespace brimo {

class IQVAuthServiceWrap : public Wrap<IQVAuthServiceWrap> {
 public:
  static constexpr const char* kClassName = "IQVAuthServiceWrap";
  static constexpr const char* kTraceName = "IQVAuthServiceWrap";

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVAuthServiceWrap(const Napi::CallbackInfo& info);

 private:
  Napi::Value addAuthListener(const Napi::CallbackInfo& info);
  Napi::Value isLoggedIn(const Napi::CallbackInfo& info);
  Napi::Value login(const Napi::CallbackInfo& info);
  Napi::Value loginByDynamicToken(const Napi::CallbackInfo& info);
  Napi::Value logout(const Napi::CallbackInfo& info);
  Napi::Value removeAuthListener(const Napi::CallbackInfo& info);

  static parlo::IQVAuthService* resolve(Napi::Env env);
};

}  // namespace brimo
