// IQVVornServiceWrap: the SDK's object-storage service: download folder and uploads.
#pragma once

#include <napi.h>

#include "core/resolve.h"
#include "core/wrap.h"

namespace brimo {

class IQVVornServiceWrap : public Wrap<IQVVornServiceWrap> {
 public:
  static constexpr const char* kClassName = "IQVVornServiceWrap";
  static constexpr const char* kTraceName = "IQVVornServiceWrap";

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVVornServiceWrap(const Napi::CallbackInfo& info);

 private:
  Napi::Value setVornDownloadFilePath(const Napi::CallbackInfo& info);
  Napi::Value uploadResource(const Napi::CallbackInfo& info);

  static parlo::IQVVornService* resolve(Napi::Env env);
};

}  // namespace brimo
