// Records of the SDK's message channel. A session type is 0 or 1 to the SDK.
#pragma once

#include <cstdint>
#include <list>
#include <string>

namespace parlo {

// An application-defined command from another user.
struct CustomMessage {
  std::string roomUuid;
  std::string senderUuid;
  std::string data;
  int32_t commandId = 0;
};

// One message of a session.
struct SessionMessage {
  std::string sessionId;
  int32_t sessionType = 0;
  std::string messageId;
  std::string data;
  int64_t time = 0;
};
using SessionMessageList = std::list<SessionMessage>;

// A session as the list of recent sessions shows it: its latest message and how
// many are unread.
struct RecentSession {
  std::string sessionId;
  int32_t sessionType = 0;
  std::string fromAccount;
  std::string fromNick;
  std::string recentMessageId;
  std::string content;
  int64_t time = 0;
  uint32_t unreadCount = 0;
};
using RecentSessionList = std::list<RecentSession>;

// Which messages of a session's history to fetch.
struct SessionHistoryQuery {
  std::string sessionId;
  int32_t sessionType = 0;
  int64_t fromTime = 0;
  int64_t toTime = 0;
  uint32_t limit = 10;
  int32_t order = 1;
};

}  // namespace parlo
