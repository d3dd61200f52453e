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
  // The SDK always has a kit; the simulated SDK can be told to have none, and the
  // kit's own methods then raise "parlo Null pointer exception" rather than reach it.
  static constexpr auto kChain = chain(NullReport{});

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVParloWrap(const Napi::CallbackInfo& info);
  ~IQVParloWrap() override;

 private:
  Napi::Value getAuthService(const Napi::CallbackInfo& info);
  Napi::Value getMessageChannelService(const Napi::CallbackInfo& info);
  Napi::Value getVornService(const Napi::CallbackInfo& info);
  Napi::Value getRoomService(const Napi::CallbackInfo& info);
  Napi::Value initialize(const Napi::CallbackInfo& info);
  Napi::Value getVideoFrame(const Napi::CallbackInfo& info);
  Napi::Value startListenVideoFrame(const Napi::CallbackInfo& info);
  Napi::Value stopListenVideoFrame(const Napi::CallbackInfo& info);

  Napi::ObjectReference auth_;
  Napi::ObjectReference message_channel_;
  Napi::ObjectReference vorn_;
  Napi::ObjectReference room_service_;
  // The module's load this kit wrapper was made in (core/lifetime.h).
  unsigned long long generation_;
};

}  // namespace brimo
