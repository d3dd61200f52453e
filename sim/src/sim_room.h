// One joined room of the simulated SDK: its state, the room context the SDK hands
// out for it, and the changes that can be made to it. A change answers the room
// events it causes, in the order the room's listeners hear them; whoever made the
// change raises them (room_registry.h), after letting go of the rooms' lock.
//
// The change operations below run under the rooms' lock: the room's own SDK
// operations take it themselves, other parts of the simulation reach a joined room
// through with_room(). A change that throws leaves the room as it was.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine.h"
#include "room_json.h"
#include "sdk/room_context.h"
#include "sdk/room_listener.h"
#include "sim_rooms.h"

namespace parlo_sim {

// What the listeners of one room hear from one change, in order.
using RoomEvent = std::function<void(parlo::IQVRoomListener*)>;
using RoomEvents = std::vector<RoomEvent>;

// The room event that calls `operation` with `args` on each listener.
template <class... P, class... A>
RoomEvent event(void (parlo::IQVRoomListener::*operation)(P...), A... args) {
  return [operation, args...](parlo::IQVRoomListener* listener) { (listener->*operation)(args...); };
}

struct RoomState {
  std::string roomUuid;
  std::string roomName;
  std::string password;
  std::string sipCid;
  int64_t rtcStartTime = 0;
  int64_t remainingSeconds = 0;
  int64_t maxMembers = 0;
  parlo::RoomTemplate roomTemplate;
  parlo::StringMap properties;
  parlo::RoomMemberPtr localMember;
  parlo::RoomMemberList remoteMembers;
  parlo::RoomMemberList sipInvitingMembers;
  parlo::RoomMemberList appInvitingMembers;
  bool locked = false;
  bool cloudRecording = false;
  bool inWaitingRoom = false;
  bool blacklistEnabled = false;
};

// A room's state as JSON uses the keys script sees in sim.rooms.get().
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(RoomState, roomUuid, roomName, password, sipCid, rtcStartTime,
                                                remainingSeconds, maxMembers, roomTemplate, properties, localMember,
                                                remoteMembers, sipInvitingMembers, appInvitingMembers, locked,
                                                cloudRecording, inWaitingRoom, blacklistEnabled)

// The role of `t` called `name`; a role the template lacks has only its name.
parlo::RoomRole role_named(const parlo::RoomTemplate& t, const std::string& name);

// Whether script left the link in place for every room ("roomContext") and for this
// one ("roomContext@r1").
bool room_linked(const std::string& room, const std::string& link);

// Milliseconds since the epoch, the SDK's time stamps.
int64_t now_ms();

class SimRoom final : public parlo::IQVRoomContext, public std::enable_shared_from_this<SimRoom> {
 public:
  // Each factory makes one controller of the room (see add_room_controller).
  SimRoom(RoomState state, const std::map<std::string, ControllerFactory>& factories);
  ~SimRoom() override = default;

  // --- the SDK's room context ---

  std::string getRoomUuid() override;
  std::string getRoomName() override;
  std::string getPassword() override;
  std::string getSipCid() override;
  int64_t getRtcStartTime() override;
  int64_t getRemainingSeconds() override;
  int64_t getMaxMembers() override;
  parlo::RoomTemplate getRoomTemplate() override;
  parlo::StringMap getRoomProperties() override;
  parlo::RoomMemberPtr getLocalMember() override;
  parlo::RoomMemberList getRemoteMembers() override;
  parlo::RoomMemberList getInSIPInvitingMembers() override;
  parlo::RoomMemberList getInAppInvitingMembers() override;
  bool isRoomLocked() override;
  bool isCloudRecording() override;
  bool isInWaitingRoom() override;
  bool isRoomBlacklistEnabled() override;

  parlo::IQVRoomChatController* getChatController() override;
  parlo::IQVRoomChatController* getWaitingRoomChatController() override;
  parlo::IQVRoomRtcController* getRtcController() override;
  parlo::IQVRoomWhiteboardController* getWhiteboardController() override;
  parlo::IQVRoomAnnotationController* getAnnotationController() override;
  parlo::IQVRoomLiveController* getLiveController() override;
  parlo::IQVWaitingRoomController* getWaitingRoomController() override;
  parlo::IQVRoomSIPController* getSIPController() override;
  parlo::IQVRoomAppInviteController* getAppInviteController() override;

  void changeMyName(const std::string& name, parlo::QVCompletion done) override;
  void changeMemberName(const std::string& user, const std::string& name, parlo::QVCompletion done) override;
  void changeMemberRole(const std::string& user, const std::string& role, parlo::QVCompletion done) override;
  void changeMembersRole(const parlo::StringMap& roles, parlo::QVCompletion done) override;
  void handOverMyRole(const std::string& user, bool keepInRoom, parlo::QVCompletion done) override;
  void kickMemberOut(const std::string& user, bool addToBlacklist, parlo::QVCompletion done) override;

  void addRoomListener(parlo::IQVRoomListener* listener) override;
  void removeRoomListener(parlo::IQVRoomListener* listener) override;
  void addRtcStatsListener(parlo::IQVRtcStatsListener* listener) override;
  void removeRtcStatsListener(parlo::IQVRtcStatsListener* listener) override;

  void rejoinAfterAdmittedToRoom(parlo::QVCompletion done) override;
  void leaveRoom(parlo::QVCompletion done) override;
  void endRoom(parlo::QVCompletion done) override;
  void lockRoom(parlo::QVCompletion done) override;
  void unlockRoom(parlo::QVCompletion done) override;
  void updateRoomProperty(const std::string& key, const std::string& value, const std::string& associated,
                          parlo::QVCompletion done) override;
  void deleteRoomProperty(const std::string& key, parlo::QVCompletion done) override;
  void updateMemberProperty(const std::string& user, const std::string& key, const std::string& value,
                            parlo::QVCompletion done) override;
  void deleteMemberProperty(const std::string& user, const std::string& key, parlo::QVCompletion done) override;
  void startCloudRecord(const parlo::CloudRecordConfig& config, parlo::QVCompletion done) override;
  void stopCloudRecord(parlo::QVCompletion done) override;
  void enableRoomBlacklist(bool enable, parlo::QVCompletion done) override;

  // --- changes (the rooms' lock is held) ---

  // The room's state, as sim.rooms.get() shows it.
  json state() const;

  // The local member (null when the room has none), and every member, local first.
  parlo::RoomMemberPtr local_member() const { return s_.localMember; }
  parlo::RoomMemberList members() const;

  // The controller the factory of `link` made for this room, whether or not script
  // left the link in place; null when there is none. Read-only after the room is
  // made, so no lock is needed.
  std::shared_ptr<void> made_controller(const std::string& link) const;

  // Room state changes laid over the room (an object of RoomState's keys); each
  // change the SDK reports raises its event.
  RoomEvents update(const json& changes);

  // Remote members join; throws, with nobody joined, when one is null or in the room already.
  RoomEvents add_members(const parlo::RoomMemberList& members);

  // A remote member leaves; throws when `user` is not one.
  RoomEvents remove_member(const std::string& user);

  // A member's state changes (an object of member record keys), done by `by` (the
  // member itself when empty); each change the SDK reports raises its event. Throws
  // when `user` or `by` is not in the room.
  RoomEvents update_member(const std::string& user, const json& changes, const std::string& by);

  // Chat messages arrive: kept in the room's history and raised.
  RoomEvents chat(const parlo::ChatMessageList& messages);

  // The room's properties become `after`: what is new or changed, then what is gone.
  RoomEvents set_properties(const parlo::StringMap& after);
  // `entries` are set, or `keys` deleted, among the room's properties.
  RoomEvents put_properties(const parlo::StringMap& entries);
  RoomEvents delete_properties(const std::vector<std::string>& keys);

  // The room leaves the registry; what its listeners hear last is raised by retire().
  RoomEvents leave();

 private:
  // Runs one operation: on success applies `change` under the rooms' lock, which
  // answers the events it causes or turns the answer into a failure; completes;
  // then raises the events. True when the operation succeeded.
  bool run(const char* op, json args, parlo::QVCompletion done, const std::function<RoomEvents(Answer&)>& change);

  template <class T>
  T read(const char* op, T RoomState::*field);

  template <class Controller>
  Controller* controller(const char* link);

  // The slot of member `user`, the local member included; null when not in the room.
  parlo::RoomMemberPtr* find(const std::string& user);
  parlo::RoomMemberPtr take_remote(const std::string& user);
  void set_locked(const char* op, bool locked, parlo::QVCompletion done);

  const std::string uuid_;
  RoomState s_;
  int64_t record_started_ = 0;
  std::map<std::string, std::shared_ptr<void>> controllers_;  // made once, read-only after
};

}  // namespace parlo_sim
