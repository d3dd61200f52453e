// IQVAuthServiceWrap: signing in and out, and the auth listener.
#pragma once

#include <napi.h>

#include "core/wrap.h"

namespace brimo {

class IQVAuthServiceWrap : public Wrap<IQVAuthServiceWrap> {
 public:
  static constexpr const char* kClassName = "IQVAuthServiceWrap";
  static constexpr const char* kTraceName = "IQVAuthServiceWrap";
  // A missing link also leaves a trace line of its own before the error.
  static void trace_missing(const char* link);
  static constexpr auto kChain =
      chain(NullReport{"", NullReport::Form::Named, &trace_missing}, via<&parlo::IQVParlo::getAuthService>("authService"));

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVAuthServiceWrap(const Napi::CallbackInfo& info);

 private:
  Napi::Value loginByDynamicToken(const Napi::CallbackInfo& info);
};

}  // namespace brimo
