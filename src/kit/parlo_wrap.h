// IQVParloWrap: the kit. Script makes one, initialises the SDK through it and takes
// the four service wrappers it holds. Collecting it is what destroys the SDK.
#pragma once

#include <napi.h>

#include "core/wrap.h"

namespace brimo {

class IQVParloWrap : public Wrap<IQVParloWrap> {
 public:
  static constexpr const char* kClassName = "IQVParloWrap";
  static constexpr const char* kTraceName = nullptr;

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVParloWrap(const Napi::CallbackInfo& info);
  ~IQVParloWrap() override;

 private:
  Napi::Value addGlobalEventListener(const Napi::CallbackInfo& info);
  Napi::Value getAuthService(const Napi::CallbackInfo& info);
  Napi::Value getMessageChannelService(const Napi::CallbackInfo& info);
  Napi::Value getVornService(const Napi::CallbackInfo& info);
  Napi::Value getRoomService(const Napi::CallbackInfo& info);
  Napi::Value getSdkVersions(const Napi::CallbackInfo& info);
  Napi::Value initialize(const Napi::CallbackInfo& info);
  Napi::Value isInitialized(const Napi::CallbackInfo& info);
  Napi::Value release(const Napi::CallbackInfo& info);
  Napi::Value removeGlobalEventListener(const Napi::CallbackInfo& info);
  Napi::Value switchLanguage(const Napi::CallbackInfo& info);
  Napi::Value uploadLog(const Napi::CallbackInfo& info);
  Napi::Value getDeviceId(const Napi::CallbackInfo& info);
  Napi::Value getCurrentLogPath(const Napi::CallbackInfo& info);
  Napi::Value getNetworkType(const Napi::CallbackInfo& info);
  Napi::Value getVideoFrame(const Napi::CallbackInfo& info);
  Napi::Value startListenVideoFrame(const Napi::CallbackInfo& info);
  Napi::Value stopListenVideoFrame(const Napi::CallbackInfo& info);

  Napi::ObjectReference auth_;
  Napi::ObjectReference message_channel_;
  Napi::ObjectReference vorn_;
  Napi::ObjectReference room_service_;
};

}  // namespace brimo
