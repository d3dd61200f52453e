// WaitingRoomListenerAdapter: the waiting-room listener the module registers for
// addListener. Every event reaches the script listener as (eventName, payload...);
// events queue without blocking.
#pragma once

#include <string>

#include "collab/waiting_room_records.h"
#include "core/bind.h"
#include "core/listeners.h"
#include "room/room_records.h"
#include "sdk/waiting_room.h"

namespace brimo {

class WaitingRoomListenerAdapter final : public ListenerAdapter<parlo::IQVWaitingRoomListener> {
 public:
  using ListenerAdapter::ListenerAdapter;
  void onWaitingRoomInfoUpdated(const parlo::WaitingRoomInfo& info) override {
    emit("onWaitingRoomInfoUpdated", WaitingRoomInfoUpdate{info});
  }
  void onMemberJoin(const parlo::WaitingMemberPtr& member, int32_t reason) override {
    emit("onMemberJoin", member, reason);
  }
  void onMemberLeave(const std::string& user, int32_t reason) override { emit("onMemberLeave", user, reason); }
  void onMemberAdmitted(const std::string& user) override { emit("onMemberAdmitted", user); }
  void onAllMembersKicked() override { emit("onAllMembersKicked"); }
  void onManagersUpdated(const parlo::RoomMemberList& managers) override {
    emit("onManagersUpdated", WaitingRoomManagers{managers});
  }
  void onMemberNameChanged(const std::string& user, const std::string& name) override {
    emit("onMemberNameChanged", user, name);
  }
  void onMyWaitingRoomStatusChanged(int32_t status, int32_t reason) override {
    emit("onMyWaitingRoomStatusChanged", status, reason);
  }
};

using WaitingRoomListeners =
    ListenerKind<WaitingRoomListenerAdapter, &parlo::IQVWaitingRoomController::addListener,
                 &parlo::IQVWaitingRoomController::removeListener, &ListenerRegistry::waiting_room>;

}  // namespace brimo
