// The SDK's message channel listener: custom commands and session messages.
#pragma once

#include "sdk/message_channel_records.h"

namespace parlo {

class IQVMessageChannelListener {
 public:
  virtual ~IQVMessageChannelListener() = default;
  virtual void onCustomMessageReceived(const CustomMessage& message) = 0;
  virtual void onSessionMessageReceived(const SessionMessage& message) = 0;
  virtual void onSessionMessageRecentChanged(const RecentSessionList& sessions) = 0;
  virtual void onSessionMessageDeleted(const SessionMessage& message) = 0;
};

}  // namespace parlo
