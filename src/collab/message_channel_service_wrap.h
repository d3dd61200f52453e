// IQVMessageChannelServiceWrap: The message channel service: custom messages and session message lists.
#pragma once

#include <napi.h>

#include "core/wrap.h"

namespace brimo {

class IQVMessageChannelServiceWrap : public Wrap<IQVMessageChannelServiceWrap> {
 public:
  static constexpr const char* kClassName = "IQVMessageChannelServiceWrap";
  static constexpr const char* kTraceName = "IQVMessageChannelServiceWrap";

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVMessageChannelServiceWrap(const Napi::CallbackInfo& info);
};

}  // namespace brimo
