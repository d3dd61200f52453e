#include "sim_room.h"

#include <chrono>
#include <mutex>
#include <stdexcept>
#include <utility>

#include "listener_kinds.h"
#include "room_registry.h"
#include "sim_members.h"

namespace parlo_sim {
namespace {

using parlo::IQVRoomListener;
using parlo::RoomMemberList;
using parlo::RoomMemberPtr;
using parlo::StringMap;
using L = IQVRoomListener;

// Codes of the simulated room service beyond success.
constexpr int32_t kNotInRoom = 404;  // the operation names a user who is not in the room

Engine& engine() { return Engine::get(); }

// The entries of `after` that are new or changed, and the entries of `before` that are gone.
std::pair<StringMap, StringMap> diff(const StringMap& before, const StringMap& after) {
  StringMap changed, deleted;
  for (const auto& [key, value] : after) {
    auto old = before.find(key);
    if (old == before.end() || old->second != value) changed[key] = value;
  }
  for (const auto& entry : before) {
    if (after.count(entry.first) == 0) deleted.insert(entry);
  }
  return {changed, deleted};
}

RoomEvents not_in_room(Answer& answer, const std::string& user) {
  answer.code = kNotInRoom;
  answer.message = "no member " + user + " in the room";
  return {};
}

RoomEvents rename(RoomMemberPtr& member, const std::string& name) {
  member = changed(member, [&](MemberState& m) { m.name = name; });
  return {event(&L::onMemberNameChanged, member, name)};
}

RoomEvents assign_role(RoomMemberPtr& member, const parlo::RoomRole& role) {
  parlo::RoomRole before = member->getRole();
  member = changed(member, [&](MemberState& m) { m.role = role; });
  return {event(&L::onMemberRoleChanged, member->getUuid(), before, role)};
}

RoomEvents set_member_properties(RoomMemberPtr& member, const StringMap& after) {
  auto [changed_entries, deleted] = diff(member->getProperties(), after);
  member = changed(member, [&](MemberState& m) { m.properties = after; });
  RoomEvents events;
  if (!changed_entries.empty()) {
    events.push_back(event(&L::onMemberPropertiesChanged, member->getUuid(), changed_entries));
  }
  if (!deleted.empty()) events.push_back(event(&L::onMemberPropertiesDeleted, member->getUuid(), deleted));
  return events;
}

}  // namespace

int64_t now_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

bool room_linked(const std::string& room, const std::string& link) {
  if (!engine().links_scripted()) return true;  // no name to build when nothing is set
  return engine().linked(link) && engine().linked(link + "@" + room);
}

parlo::RoomRole role_named(const parlo::RoomTemplate& t, const std::string& name) {
  for (const auto& role : t.roles) {
    if (role.name == name) return role;
  }
  parlo::RoomRole role;
  role.name = name;
  return role;
}

SimRoom::SimRoom(RoomState state, const std::map<std::string, ControllerFactory>& factories)
    : uuid_(state.roomUuid), s_(std::move(state)) {
  for (const auto& [link, make] : factories) controllers_[link] = make(uuid_);
}

// --- state ---

template <class T>
T SimRoom::read(const char* op, T RoomState::*field) {
  Answer answer = engine().call(op);
  std::lock_guard<std::mutex> lock(room_registry().mutex);
  try {
    return answer.ret_or<T>(s_.*field);
  } catch (const std::exception&) {
    return s_.*field;  // a scripted return value that does not read leaves the state's
  }
}

std::string SimRoom::getRoomUuid() { return read("getRoomUuid", &RoomState::roomUuid); }
std::string SimRoom::getRoomName() { return read("getRoomName", &RoomState::roomName); }
std::string SimRoom::getPassword() { return read("getPassword", &RoomState::password); }
std::string SimRoom::getSipCid() { return read("getSipCid", &RoomState::sipCid); }
int64_t SimRoom::getRtcStartTime() { return read("getRtcStartTime", &RoomState::rtcStartTime); }
int64_t SimRoom::getRemainingSeconds() { return read("getRemainingSeconds", &RoomState::remainingSeconds); }
int64_t SimRoom::getMaxMembers() { return read("getMaxMembers", &RoomState::maxMembers); }
parlo::RoomTemplate SimRoom::getRoomTemplate() { return read("getRoomTemplate", &RoomState::roomTemplate); }
StringMap SimRoom::getRoomProperties() { return read("getRoomProperties", &RoomState::properties); }
RoomMemberPtr SimRoom::getLocalMember() { return read("getLocalMember", &RoomState::localMember); }
RoomMemberList SimRoom::getRemoteMembers() { return read("getRemoteMembers", &RoomState::remoteMembers); }
RoomMemberList SimRoom::getInSIPInvitingMembers() {
  return read("getInSIPInvitingMembers", &RoomState::sipInvitingMembers);
}
RoomMemberList SimRoom::getInAppInvitingMembers() {
  return read("getInAppInvitingMembers", &RoomState::appInvitingMembers);
}
bool SimRoom::isRoomLocked() { return read("isRoomLocked", &RoomState::locked); }
bool SimRoom::isCloudRecording() { return read("isCloudRecording", &RoomState::cloudRecording); }
bool SimRoom::isInWaitingRoom() { return read("isInWaitingRoom", &RoomState::inWaitingRoom); }
bool SimRoom::isRoomBlacklistEnabled() { return read("isRoomBlacklistEnabled", &RoomState::blacklistEnabled); }

// --- controllers ---

template <class Controller>
Controller* SimRoom::controller(const char* link) {
  if (!room_linked(uuid_, link)) return nullptr;
  auto found = controllers_.find(link);
  return found == controllers_.end() ? nullptr : static_cast<Controller*>(found->second.get());
}

parlo::IQVRoomChatController* SimRoom::getChatController() {
  return controller<parlo::IQVRoomChatController>("chatController");
}
parlo::IQVRoomChatController* SimRoom::getWaitingRoomChatController() {
  return controller<parlo::IQVRoomChatController>("waitingRoomChatController");
}
parlo::IQVRoomRtcController* SimRoom::getRtcController() {
  return controller<parlo::IQVRoomRtcController>("rtcController");
}
parlo::IQVRoomWhiteboardController* SimRoom::getWhiteboardController() {
  return controller<parlo::IQVRoomWhiteboardController>("whiteboardController");
}
parlo::IQVRoomAnnotationController* SimRoom::getAnnotationController() {
  return controller<parlo::IQVRoomAnnotationController>("annotationController");
}
parlo::IQVRoomLiveController* SimRoom::getLiveController() {
  return controller<parlo::IQVRoomLiveController>("liveController");
}
parlo::IQVWaitingRoomController* SimRoom::getWaitingRoomController() {
  return controller<parlo::IQVWaitingRoomController>("waitingRoomController");
}
parlo::IQVRoomSIPController* SimRoom::getSIPController() {
  return controller<parlo::IQVRoomSIPController>("sipController");
}
parlo::IQVRoomAppInviteController* SimRoom::getAppInviteController() {
  return controller<parlo::IQVRoomAppInviteController>("appInviteController");
}

// --- members ---

void SimRoom::changeMyName(const std::string& name, parlo::QVCompletion done) {
  run("changeMyName", json::array({name}), std::move(done), [&](Answer&) -> RoomEvents {
    if (!s_.localMember) return {};
    return rename(s_.localMember, name);
  });
}

void SimRoom::changeMemberName(const std::string& user, const std::string& name, parlo::QVCompletion done) {
  run("changeMemberName", json::array({user, name}), std::move(done), [&](Answer& answer) -> RoomEvents {
    RoomMemberPtr* member = find(user);
    if (member == nullptr) return not_in_room(answer, user);
    return rename(*member, name);
  });
}

void SimRoom::changeMemberRole(const std::string& user, const std::string& role, parlo::QVCompletion done) {
  run("changeMemberRole", json::array({user, role}), std::move(done), [&](Answer& answer) -> RoomEvents {
    RoomMemberPtr* member = find(user);
    if (member == nullptr) return not_in_room(answer, user);
    return assign_role(*member, role_named(s_.roomTemplate, role));
  });
}

void SimRoom::changeMembersRole(const StringMap& roles, parlo::QVCompletion done) {
  run("changeMembersRole", json::array({roles}), std::move(done), [&](Answer& answer) -> RoomEvents {
    for (const auto& entry : roles) {
      if (find(entry.first) == nullptr) return not_in_room(answer, entry.first);
    }
    RoomEvents events;
    for (const auto& [user, role] : roles) {
      RoomEvents one = assign_role(*find(user), role_named(s_.roomTemplate, role));
      events.insert(events.end(), one.begin(), one.end());
    }
    return events;
  });
}

// The local member and `user` swap roles.
void SimRoom::handOverMyRole(const std::string& user, bool keepInRoom, parlo::QVCompletion done) {
  run("handOverMyRole", json::array({user, keepInRoom}), std::move(done), [&](Answer& answer) -> RoomEvents {
    RoomMemberPtr* member = find(user);
    if (member == nullptr || !s_.localMember) return not_in_room(answer, user);
    parlo::RoomRole mine = s_.localMember->getRole();
    RoomEvents events = assign_role(*member, mine);
    RoomEvents other = assign_role(s_.localMember, role_named(s_.roomTemplate, "member"));
    events.insert(events.end(), other.begin(), other.end());
    return events;
  });
}

void SimRoom::kickMemberOut(const std::string& user, bool addToBlacklist, parlo::QVCompletion done) {
  run("kickMemberOut", json::array({user, addToBlacklist}), std::move(done), [&](Answer& answer) -> RoomEvents {
    RoomMemberPtr gone = take_remote(user);
    if (!gone) return not_in_room(answer, user);
    return {event(&L::onMemberLeaveRoom, RoomMemberList{gone})};
  });
}

// --- listeners ---

void SimRoom::addRoomListener(IQVRoomListener* listener) {
  engine().call("addRoomListener", json::array({engine().id_of(listener, "room")}));
  room_listeners().add(listener, uuid_);
}

void SimRoom::removeRoomListener(IQVRoomListener* listener) {
  engine().call("removeRoomListener", json::array({engine().id_of(listener, "room")}));
  room_listeners().remove(listener, uuid_);
  engine().forget(listener);
}

void SimRoom::addRtcStatsListener(parlo::IQVRtcStatsListener* listener) {
  engine().call("addRtcStatsListener", json::array({engine().id_of(listener, "rtcStats")}));
  rtc_stats_listeners().add(listener, uuid_);
}

void SimRoom::removeRtcStatsListener(parlo::IQVRtcStatsListener* listener) {
  engine().call("removeRtcStatsListener", json::array({engine().id_of(listener, "rtcStats")}));
  rtc_stats_listeners().remove(listener, uuid_);
  engine().forget(listener);
}

// --- the room ---

void SimRoom::rejoinAfterAdmittedToRoom(parlo::QVCompletion done) {
  run("rejoinAfterAdmittedToRoom", json::array(), std::move(done), [&](Answer&) -> RoomEvents {
    s_.inWaitingRoom = false;
    return {};
  });
}

// Leaving takes the room out of the registry, whose reference may be the last:
// the room keeps itself until it is done.
void SimRoom::leaveRoom(parlo::QVCompletion done) {
  auto keep = shared_from_this();
  bool left = run("leaveRoom", json::array(), std::move(done), [&](Answer&) { return leave(); });
  if (left) retire(uuid_, {});
}

// Ending through the SDK reports reason 0 to the room's listeners.
void SimRoom::endRoom(parlo::QVCompletion done) {
  auto keep = shared_from_this();
  bool ended = run("endRoom", json::array(), std::move(done), [&](Answer&) { return leave(); });
  if (ended) retire(uuid_, {event(&L::onRoomEnded, 0)});
}

void SimRoom::lockRoom(parlo::QVCompletion done) { set_locked("lockRoom", true, std::move(done)); }
void SimRoom::unlockRoom(parlo::QVCompletion done) { set_locked("unlockRoom", false, std::move(done)); }

void SimRoom::set_locked(const char* op, bool locked, parlo::QVCompletion done) {
  run(op, json::array(), std::move(done), [&](Answer&) -> RoomEvents {
    if (s_.locked == locked) return {};
    s_.locked = locked;
    return {event(&L::onRoomLockStateChanged, locked)};
  });
}

void SimRoom::updateRoomProperty(const std::string& key, const std::string& value, const std::string& associated,
                                 parlo::QVCompletion done) {
  run("updateRoomProperty", json::array({key, value, associated}), std::move(done),
      [&](Answer&) { return put_properties({{key, value}}); });
}

void SimRoom::deleteRoomProperty(const std::string& key, parlo::QVCompletion done) {
  run("deleteRoomProperty", json::array({key}), std::move(done), [&](Answer&) { return delete_properties({key}); });
}

void SimRoom::updateMemberProperty(const std::string& user, const std::string& key, const std::string& value,
                                   parlo::QVCompletion done) {
  run("updateMemberProperty", json::array({user, key, value}), std::move(done), [&](Answer& answer) -> RoomEvents {
    RoomMemberPtr* member = find(user);
    if (member == nullptr) return not_in_room(answer, user);
    StringMap after = (*member)->getProperties();
    after[key] = value;
    return set_member_properties(*member, after);
  });
}

void SimRoom::deleteMemberProperty(const std::string& user, const std::string& key, parlo::QVCompletion done) {
  run("deleteMemberProperty", json::array({user, key}), std::move(done), [&](Answer& answer) -> RoomEvents {
    RoomMemberPtr* member = find(user);
    if (member == nullptr) return not_in_room(answer, user);
    StringMap after = (*member)->getProperties();
    after.erase(key);
    return set_member_properties(*member, after);
  });
}

// A stopped recording becomes one entry of the room's cloud record list.
void SimRoom::startCloudRecord(const parlo::CloudRecordConfig& config, parlo::QVCompletion done) {
  run("startCloudRecord", json::array({config}), std::move(done), [&](Answer&) -> RoomEvents {
    if (s_.cloudRecording) return {};
    s_.cloudRecording = true;
    record_started_ = now_ms();
    return {event(&L::onRoomCloudRecordStateChanged, 1, s_.localMember)};
  });
}

void SimRoom::stopCloudRecord(parlo::QVCompletion done) {
  run("stopCloudRecord", json::array(), std::move(done), [&](Answer&) -> RoomEvents {
    if (!s_.cloudRecording) return {};
    s_.cloudRecording = false;
    auto& list = room_registry().records[uuid_];
    std::string id = uuid_ + "-rec-" + std::to_string(list.size() + 1);
    std::string nickname = s_.localMember ? s_.localMember->getName() : "";
    parlo::CloudRecordFile mixed{true, id + ".mp4", "", 1024 * 1024, "https://records.parlo.sim/" + id + ".mp4",
                                 static_cast<int64_t>(list.size() + 1), 0, nickname};
    list.push_back(parlo::CloudRecord{id, record_started_, now_ms(), {mixed}});
    return {event(&L::onRoomCloudRecordStateChanged, 0, s_.localMember)};
  });
}

void SimRoom::enableRoomBlacklist(bool enable, parlo::QVCompletion done) {
  run("enableRoomBlacklist", json::array({enable}), std::move(done), [&](Answer&) -> RoomEvents {
    s_.blacklistEnabled = enable;
    return {event(&L::onRoomBlacklistStateChanged, enable)};
  });
}

bool SimRoom::run(const char* op, json args, parlo::QVCompletion done,
                  const std::function<RoomEvents(Answer&)>& change) {
  Answer answer = engine().call(op, std::move(args));
  RoomEvents events;
  if (answer.code == 0) {
    std::lock_guard<std::mutex> lock(room_registry().mutex);
    events = change(answer);
  }
  engine().finish(answer, std::move(done));
  raise_later(uuid_, std::move(events));
  return answer.code == 0;
}

// --- changes ---

json SimRoom::state() const { return s_; }

RoomMemberList SimRoom::members() const {
  RoomMemberList all;
  if (s_.localMember) all.push_back(s_.localMember);
  for (const auto& member : s_.remoteMembers) {
    if (member) all.push_back(member);
  }
  return all;
}

std::shared_ptr<void> SimRoom::made_controller(const std::string& link) const {
  auto found = controllers_.find(link);
  return found == controllers_.end() ? nullptr : found->second;
}

RoomEvents SimRoom::update(const json& changes) {
  if (!changes.is_object()) throw std::invalid_argument("room changes must be an object");
  RoomState before = s_;
  json merged = s_;
  merged.update(changes);
  merged["roomUuid"] = uuid_;
  s_ = merged.get<RoomState>();
  StringMap properties = s_.properties;
  s_.properties = before.properties;
  RoomEvents events = set_properties(properties);
  if (s_.locked != before.locked) events.push_back(event(&L::onRoomLockStateChanged, s_.locked));
  if (s_.blacklistEnabled != before.blacklistEnabled) {
    events.push_back(event(&L::onRoomBlacklistStateChanged, s_.blacklistEnabled));
  }
  if (s_.maxMembers != before.maxMembers) events.push_back(event(&L::onRoomMaxMembersChanged, s_.maxMembers));
  if (s_.remainingSeconds != before.remainingSeconds) {
    events.push_back(event(&L::onRoomRemainingSecondsRenewed, static_cast<uint64_t>(s_.remainingSeconds)));
  }
  if (s_.cloudRecording != before.cloudRecording) {
    events.push_back(event(&L::onRoomCloudRecordStateChanged, s_.cloudRecording ? 1 : 0, RoomMemberPtr()));
  }
  return events;
}

RoomEvents SimRoom::add_members(const RoomMemberList& members) {
  for (const auto& member : members) {
    if (!member) throw std::invalid_argument("a joining member cannot be null");
    if (find(member->getUuid()) != nullptr) throw std::invalid_argument(member->getUuid() + " is in the room already");
  }
  s_.remoteMembers.insert(s_.remoteMembers.end(), members.begin(), members.end());
  return {event(&L::onMemberJoinRoom, members)};
}

RoomEvents SimRoom::remove_member(const std::string& user) {
  RoomMemberPtr gone = take_remote(user);
  if (!gone) throw std::invalid_argument("no remote member " + user + " in room " + uuid_);
  return {event(&L::onMemberLeaveRoom, RoomMemberList{gone})};
}

RoomEvents SimRoom::update_member(const std::string& user, const json& changes, const std::string& by) {
  if (!changes.is_object()) throw std::invalid_argument("member changes must be an object");
  RoomMemberPtr* slot = find(user);
  if (slot == nullptr) throw std::invalid_argument("no member " + user + " in room " + uuid_);
  MemberState before = state_of(**slot);
  json merged = member_to_json(*slot);
  merged.update(changes);
  merged["uuid"] = user;
  merged["properties"] = before.properties;
  // Everything is read and checked before the member changes: a change that throws
  // leaves the room as it was.
  MemberState after = merged.get<MemberState>();
  auto properties = changes.value("properties", before.properties);
  if (!by.empty() && find(by) == nullptr) throw std::invalid_argument("no member " + by + " in room " + uuid_);
  *slot = make_member(after);
  RoomEvents events = set_member_properties(*slot, properties);
  RoomMemberPtr now = *slot;
  RoomMemberPtr actor = by.empty() ? now : *find(by);
  auto flag = [&](bool MemberState::*field, void (L::*operation)(const RoomMemberPtr&, bool, const RoomMemberPtr&)) {
    if (after.*field != before.*field) events.push_back(event(operation, now, after.*field, actor));
  };
  auto moved = [&](bool MemberState::*field, void (L::*joined)(const RoomMemberList&),
                   void (L::*left)(const RoomMemberList&)) {
    if (after.*field != before.*field) events.push_back(event(after.*field ? joined : left, RoomMemberList{now}));
  };
  if (after.name != before.name) events.push_back(event(&L::onMemberNameChanged, now, after.name));
  if (json(after.role) != json(before.role)) {
    events.push_back(event(&L::onMemberRoleChanged, user, before.role, after.role));
  }
  flag(&MemberState::isAudioOn, &L::onMemberAudioMuteChanged);
  flag(&MemberState::isVideoOn, &L::onMemberVideoMuteChanged);
  flag(&MemberState::isSharingScreen, &L::onMemberScreenShareStateChanged);
  flag(&MemberState::isSharingSystemAudio, &L::onMemberSystemAudioShareStateChanged);
  flag(&MemberState::isSharingWhiteboard, &L::onMemberWhiteboardStateChanged);
  moved(&MemberState::isInRtcChannel, &L::onMemberJoinRtcChannel, &L::onMemberLeaveRtcChannel);
  moved(&MemberState::isInChatroom, &L::onMemberJoinChatroom, &L::onMemberLeaveChatroom);
  if (after.isAudioConnected != before.isAudioConnected) {
    events.push_back(event(&L::onMemberAudioConnectStateChanged, now, after.isAudioConnected));
  }
  if (after.isInSipInviting != before.isInSipInviting || after.inviteState != before.inviteState) {
    events.push_back(event(&L::onMemberSIPInviteStateChanged, now, actor));
  }
  if (after.isInAppInviting != before.isInAppInviting) {
    events.push_back(event(&L::onMemberAppInviteStateChanged, now, actor));
  }
  return events;
}

RoomEvents SimRoom::chat(const parlo::ChatMessageList& messages) {
  auto& history = room_registry().history[uuid_];
  history.insert(history.end(), messages.begin(), messages.end());
  return {event(&L::onReceiveChatroomMessages, messages)};
}

RoomEvents SimRoom::set_properties(const StringMap& after) {
  auto [changed, deleted] = diff(s_.properties, after);
  s_.properties = after;
  RoomEvents events;
  if (!changed.empty()) events.push_back(event(&L::onRoomPropertiesChanged, changed));
  if (!deleted.empty()) events.push_back(event(&L::onRoomPropertiesDeleted, deleted));
  return events;
}

RoomEvents SimRoom::put_properties(const StringMap& entries) {
  StringMap after = s_.properties;
  for (const auto& [key, value] : entries) after[key] = value;
  return set_properties(after);
}

RoomEvents SimRoom::delete_properties(const std::vector<std::string>& keys) {
  StringMap after = s_.properties;
  for (const auto& key : keys) after.erase(key);
  return set_properties(after);
}

RoomEvents SimRoom::leave() {
  room_registry().joined.erase(uuid_);
  return {};
}

RoomMemberPtr* SimRoom::find(const std::string& user) {
  if (s_.localMember && s_.localMember->getUuid() == user) return &s_.localMember;
  for (auto& member : s_.remoteMembers) {
    if (member && member->getUuid() == user) return &member;
  }
  return nullptr;
}

RoomMemberPtr SimRoom::take_remote(const std::string& user) {
  for (auto it = s_.remoteMembers.begin(); it != s_.remoteMembers.end(); ++it) {
    if (*it && (*it)->getUuid() == user) {
      RoomMemberPtr gone = *it;
      s_.remoteMembers.erase(it);
      return gone;
    }
  }
  return nullptr;
}

}  // namespace parlo_sim
