#include "collab/message_channel_service_wrap.h"

namespace brimo {

void IQVMessageChannelServiceWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports, {});
}

IQVMessageChannelServiceWrap::IQVMessageChannelServiceWrap(const Napi::CallbackInfo& info) : Wrap<IQVMessageChannelServiceWrap>(info) {}

}  // namespace brimo
