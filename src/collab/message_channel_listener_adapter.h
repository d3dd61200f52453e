// MessageChannelListenerAdapter: the message channel listener the module registers
// for addMessageChannelListener. Each event reaches the script listener as
// (eventName, payload); events queue without blocking.
#pragma once

#include "collab/message_channel_records.h"
#include "core/bind.h"
#include "core/listeners.h"
#include "sdk/message_channel.h"

namespace brimo {

class MessageChannelListenerAdapter final : public ListenerAdapter<parlo::IQVMessageChannelListener> {
 public:
  using ListenerAdapter::ListenerAdapter;
  void onCustomMessageReceived(const parlo::CustomMessage& message) override {
    emit("onCustomMessageReceived", message);
  }
  void onSessionMessageReceived(const parlo::SessionMessage& message) override {
    emit("onSessionMessageReceived", message);
  }
  void onSessionMessageRecentChanged(const parlo::RecentSessionList& sessions) override {
    emit("onSessionMessageRecentChanged", sessions);
  }
  void onSessionMessageDeleted(const parlo::SessionMessage& message) override {
    emit("onSessionMessageDeleted", message);
  }
};

using MessageChannelListeners =
    ListenerKind<MessageChannelListenerAdapter, &parlo::IQVMessageChannelService::addMessageChannelListener,
                 &parlo::IQVMessageChannelService::removeMessageChannelListener, &ListenerRegistry::message_channel>;

}  // namespace brimo
