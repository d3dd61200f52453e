// The SDK's message channel service: application-defined commands to a user or a
// room, and per-session message lists with unread counts, deletion and history.
#pragma once

#include <cstdint>
#include <string>

#include "sdk/message_channel_listener.h"
#include "sdk/message_channel_records.h"
#include "sdk/parlo_types.h"

namespace parlo {

class IQVMessageChannelService {
 public:
  virtual void addMessageChannelListener(IQVMessageChannelListener* listener) = 0;
  virtual void removeMessageChannelListener(IQVMessageChannelListener* listener) = 0;
  virtual void sendCustomMessage(const std::string& roomUuid, const std::string& userUuid, int32_t commandId,
                                 const std::string& data, QVCompletion completion) = 0;
  virtual void sendCustomMessageToRoom(const std::string& roomUuid, int32_t commandId, const std::string& data,
                                       QVCompletion completion) = 0;
  virtual void queryUnreadMessageList(const std::string& sessionId, int32_t sessionType,
                                      QVResultCompletion<SessionMessageList> completion) = 0;
  virtual void clearUnreadCount(const std::string& sessionId, int32_t sessionType, QVCompletion completion) = 0;
  virtual void deleteSessionMessage(const std::string& sessionId, int32_t sessionType, const std::string& messageId,
                                    QVCompletion completion) = 0;
  virtual void deleteAllSessionMessage(const std::string& sessionId, int32_t sessionType,
                                       QVCompletion completion) = 0;
  virtual void getSessionMessagesHistory(const SessionHistoryQuery& query,
                                         QVResultCompletion<SessionMessageList> completion) = 0;

 protected:
  virtual ~IQVMessageChannelService() = default;
};

}  // namespace parlo
