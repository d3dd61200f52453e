// The simulated message channel service. Its sessions are state of the simulation,
// not of the kit (a kit made again finds them), and script plays everyone else on
// the channel (sim.channel.*).
#pragma once

#include "sdk/message_channel.h"

namespace parlo_sim {

class SimMessageChannel final : public parlo::IQVMessageChannelService {
 public:
  void addMessageChannelListener(parlo::IQVMessageChannelListener* listener) override;
  void removeMessageChannelListener(parlo::IQVMessageChannelListener* listener) override;
  void sendCustomMessage(const std::string& roomUuid, const std::string& userUuid, int32_t commandId,
                         const std::string& data, parlo::QVCompletion done) override;
  void sendCustomMessageToRoom(const std::string& roomUuid, int32_t commandId, const std::string& data,
                               parlo::QVCompletion done) override;
  void queryUnreadMessageList(const std::string& sessionId, int32_t sessionType,
                              parlo::QVResultCompletion<parlo::SessionMessageList> done) override;
  void clearUnreadCount(const std::string& sessionId, int32_t sessionType, parlo::QVCompletion done) override;
  void deleteSessionMessage(const std::string& sessionId, int32_t sessionType, const std::string& messageId,
                            parlo::QVCompletion done) override;
  void deleteAllSessionMessage(const std::string& sessionId, int32_t sessionType, parlo::QVCompletion done) override;
  void getSessionMessagesHistory(const parlo::SessionHistoryQuery& query,
                                 parlo::QVResultCompletion<parlo::SessionMessageList> done) override;
};

}  // namespace parlo_sim
