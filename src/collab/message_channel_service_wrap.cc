#include "collab/message_channel_service_wrap.h"

#include "collab/message_channel_listener_adapter.h"
#include "collab/message_channel_records.h"

namespace brimo {

using Channel = parlo::IQVMessageChannelService;

// Every method answers true once the SDK has the call and false when the service is
// missing; session types are mapped from script's numbering to the SDK's.
void IQVMessageChannelServiceWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports,
         {
             listen<MessageChannelListeners>("addMessageChannelListener"),
             unlisten<MessageChannelListeners>("removeMessageChannelListener"),
             row<&Channel::sendCustomMessage, Fail<false>, Returns<true>>("sendCustomMessage"),
             row<&Channel::queryUnreadMessageList, Fail<false>, Returns<true>, As<1, &sdk_session_type>>(
                 "queryUnreadMessageList"),
             row<&Channel::clearUnreadCount, Fail<false>, Returns<true>, As<1, &sdk_session_type>>("clearUnreadCount"),
             row<&Channel::deleteSessionMessage, Fail<false>, Returns<true>, As<1, &sdk_session_type>>(
                 "deleteSessionMessage"),
             row<&Channel::deleteAllSessionMessage, Fail<false>, Returns<true>, As<1, &sdk_session_type>>(
                 "deleteAllSessionMessage"),
             row<&Channel::getSessionMessagesHistory, Fail<false>, Returns<true>>("getSessionMessagesHistory"),
             row<&Channel::sendCustomMessageToRoom, Fail<false>, Returns<true>>("sendCustomMessageToRoom"),
         });
}

IQVMessageChannelServiceWrap::IQVMessageChannelServiceWrap(const Napi::CallbackInfo& info) : Wrap(info) {}

}  // namespace brimo
