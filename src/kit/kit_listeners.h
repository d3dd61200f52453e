// The kit-level listener adapters: auth events and the kit's global events.
#pragma once

#include "core/bind.h"
#include "core/listeners.h"
#include "sdk/auth.h"
#include "sdk/global_listener.h"
#include "sdk/parlo.h"

namespace brimo {

class AuthListenerAdapter final : public ListenerAdapter<parlo::IQVAuthListener> {
 public:
  using ListenerAdapter::ListenerAdapter;
  void onAuthEvent(int32_t event) override { emit("onAuthEvent", event); }
};

// The three engine-lifecycle operations are not of interest to script; the three
// string operations all reach it under one name.
class GlobalEventListenerAdapter final : public ListenerAdapter<parlo::IQVGlobalEventListener> {
 public:
  using ListenerAdapter::ListenerAdapter;
  void onBeforeRtcEngineInitialize(const std::string&) override {}
  void onAfterRtcEngineInitialize(const std::string&) override {}
  void onBeforeRtcEngineRelease(const std::string&) override {}
  void onRtcEngineEvent(const std::string& event) override { emit(kEvent, event); }
  void onRtcEngineMessage(const std::string& message) override { emit(kEvent, message); }
  void onRtcEngineWarning(const std::string& warning) override { emit(kEvent, warning); }

 private:
  static constexpr const char* kEvent = "Node_commonRtcEngineEvent";
};

using AuthListeners = ListenerKind<AuthListenerAdapter, &parlo::IQVAuthService::addAuthListener,
                                   &parlo::IQVAuthService::removeAuthListener, &ListenerRegistry::auth>;
using GlobalEventListeners =
    ListenerKind<GlobalEventListenerAdapter, &parlo::IQVParlo::addGlobalEventListener,
                 &parlo::IQVParlo::removeGlobalEventListener, &ListenerRegistry::global>;

}  // namespace brimo
