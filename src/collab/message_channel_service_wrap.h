// IQVMessageChannelServiceWrap: the message channel service: custom commands to a
// user or a room, session message lists with unread counts, deletion and history,
// and its listener. Not bound to a room.
#pragma once

#include <napi.h>

#include "core/wrap.h"
#include "sdk/parlo.h"

namespace brimo {

class IQVMessageChannelServiceWrap : public Wrap<IQVMessageChannelServiceWrap> {
 public:
  static constexpr const char* kClassName = "IQVMessageChannelServiceWrap";
  static constexpr const char* kTraceName = "IQVMessageChannelServiceWrap";
  static constexpr auto kChain = chain(NullReport{"", NullReport::Form::Bare},
                                       via<&parlo::IQVParlo::getMessageChannelService>("messageChannelService"));

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVMessageChannelServiceWrap(const Napi::CallbackInfo& info);
};

}  // namespace brimo
