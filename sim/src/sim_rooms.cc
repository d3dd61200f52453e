#include "sim_rooms.h"

#include <algorithm>
#include <chrono>
#include <list>
#include <map>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "engine.h"
#include "listener_kinds.h"
#include "room_json.h"
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

int64_t now_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// A link can be missing for every room ("roomContext") or for one ("roomContext@r1").
bool room_linked(const std::string& room, const std::string& link) {
  return engine().linked(link) && engine().linked(link + "@" + room);
}


// What the listeners of one room hear from one change, in order.
using RoomEvent = std::function<void(L*)>;
using RoomEvents = std::vector<RoomEvent>;

template <class... P, class... A>
RoomEvent event(void (L::*operation)(P...), A... args) {
  return [operation, args...](L* listener) { (listener->*operation)(args...); };
}

// Raises `events` on every listener of `room`, later, on the SDK thread.
void raise_later(const std::string& room, RoomEvents events) {
  if (events.empty()) return;
  engine().post([room, events = std::move(events)] {
    room_listeners().for_each(room, [&](L* listener) {
      for (const RoomEvent& e : events) e(listener);
    });
  });
}

// A room that is gone: the listeners it had hear `events` last, then go with it.
// They are taken now, so listeners a later room of the same UUID gets are not its own.
template <class Listener>
std::set<Listener*> listeners_of(Kind<Listener>& kind, const std::string& room) {
  std::set<Listener*> own;
  kind.for_each(room, [&](Listener* listener) { own.insert(listener); });
  return own;
}

template <class Listener>
void drop(Kind<Listener>& kind, const std::string& room, const std::set<Listener*>& own,
          const std::vector<std::function<void(Listener*)>>& last = {}) {
  std::vector<Listener*> gone;
  kind.for_each(room, [&](Listener* listener) {
    if (own.count(listener) == 0) return;
    for (const auto& e : last) e(listener);
    gone.push_back(listener);
  });
  for (Listener* listener : gone) kind.remove(listener, room);
}

void retire(const std::string& room, RoomEvents last) {
  auto rooms = listeners_of(room_listeners(), room);
  auto stats = listeners_of(rtc_stats_listeners(), room);
  engine().post([room, last = std::move(last), rooms, stats] {
    drop(room_listeners(), room, rooms, last);
    drop(rtc_stats_listeners(), room, stats);
  });
}

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

struct RoomState {
  std::string roomUuid;
  std::string roomName;
  std::string password;
  std::string sipCid;
  int64_t rtcStartTime = 0;
  int64_t remainingSeconds = 0;
  int64_t maxMembers = 0;
  parlo::RoomTemplate roomTemplate;
  StringMap properties;
  RoomMemberPtr localMember;
  RoomMemberList remoteMembers;
  RoomMemberList sipInvitingMembers;
  RoomMemberList appInvitingMembers;
  bool locked = false;
  bool cloudRecording = false;
  bool inWaitingRoom = false;
  bool blacklistEnabled = false;
};

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(RoomState, roomUuid, roomName, password, sipCid, rtcStartTime,
                                                remainingSeconds, maxMembers, roomTemplate, properties, localMember,
                                                remoteMembers, sipInvitingMembers, appInvitingMembers, locked,
                                                cloudRecording, inWaitingRoom, blacklistEnabled)

parlo::RoomRole make_role(const char* name, int32_t limit, int32_t width, int32_t height, int32_t fps) {
  return parlo::RoomRole{name, limit, width, height, fps, "speech_standard", "default", "1080p_15", true, false};
}

// The template a room gets when script has set none.
parlo::RoomTemplate default_template() {
  parlo::RoomTemplate t;
  t.roles = {make_role("host", 1, 1280, 720, 30), make_role("cohost", 4, 1280, 720, 30),
             make_role("member", 0, 640, 360, 15)};
  t.memberWhiteboard = {"host", "cohost"};
  t.memberScreenShare = {"host", "cohost", "member"};
  t.audioStreamRoles = {"host", "cohost", "member"};
  t.videoStreamRoles = {"host", "cohost", "member"};
  t.subVideoStreamRoles = {"host", "cohost"};
  t.roomPropertyPermissions = {{"focus", {"host", "cohost"}}, {"background", {"host"}}};
  return t;
}

parlo::RoomRole role_named(const parlo::RoomTemplate& t, const std::string& name) {
  for (const auto& role : t.roles) {
    if (role.name == name) return role;
  }
  parlo::RoomRole role;
  role.name = name;
  return role;
}

class SimRoom;

// Every room of the process, and what script set up for rooms. One lock for all.
struct Registry {
  std::mutex mutex;
  std::map<std::string, std::pair<parlo::CreateRoomParams, parlo::CreateRoomOptions>> created;
  std::map<std::string, std::shared_ptr<SimRoom>> joined;
  std::map<std::string, parlo::RoomTemplate> templates;  // by fetch key; "*" is every other key
  std::map<std::string, parlo::ChatMessageList> history;
  std::map<std::string, std::list<parlo::CloudRecord>> records;
  std::map<std::string, ControllerFactory> factories;
};

Registry& registry() {
  static auto* r = new Registry();
  return *r;
}

parlo::RoomTemplate template_for(const std::string& key) {
  auto& templates = registry().templates;
  auto found = templates.find(key);
  if (found == templates.end()) found = templates.find("*");
  return found == templates.end() ? default_template() : found->second;
}

// Completes with the scripted result, or else with what `from_state` reads from the
// rooms (under their lock).
template <class T, class FromState>
void answer_from_state(Answer answer, parlo::QVResultCompletion<T> done, FromState from_state) {
  T fallback;
  {
    std::lock_guard<std::mutex> lock(registry().mutex);
    fallback = from_state();
  }
  T result = answer.result_or<T>(std::move(fallback));
  engine().finish(answer, std::move(done), result);
}

class SimRoom final : public parlo::IQVRoomContext, public std::enable_shared_from_this<SimRoom> {
 public:
  SimRoom(RoomState state, const std::map<std::string, ControllerFactory>& factories)
      : uuid_(state.roomUuid), s_(std::move(state)) {
    for (const auto& [link, make] : factories) controllers_[link] = make(uuid_);
  }
  ~SimRoom() override = default;

  // --- state ---

  std::string getRoomUuid() override { return read("getRoomUuid", &RoomState::roomUuid); }
  std::string getRoomName() override { return read("getRoomName", &RoomState::roomName); }
  std::string getPassword() override { return read("getPassword", &RoomState::password); }
  std::string getSipCid() override { return read("getSipCid", &RoomState::sipCid); }
  int64_t getRtcStartTime() override { return read("getRtcStartTime", &RoomState::rtcStartTime); }
  int64_t getRemainingSeconds() override { return read("getRemainingSeconds", &RoomState::remainingSeconds); }
  int64_t getMaxMembers() override { return read("getMaxMembers", &RoomState::maxMembers); }
  parlo::RoomTemplate getRoomTemplate() override { return read("getRoomTemplate", &RoomState::roomTemplate); }
  StringMap getRoomProperties() override { return read("getRoomProperties", &RoomState::properties); }
  RoomMemberPtr getLocalMember() override { return read("getLocalMember", &RoomState::localMember); }
  RoomMemberList getRemoteMembers() override { return read("getRemoteMembers", &RoomState::remoteMembers); }
  RoomMemberList getInSIPInvitingMembers() override {
    return read("getInSIPInvitingMembers", &RoomState::sipInvitingMembers);
  }
  RoomMemberList getInAppInvitingMembers() override {
    return read("getInAppInvitingMembers", &RoomState::appInvitingMembers);
  }
  bool isRoomLocked() override { return read("isRoomLocked", &RoomState::locked); }
  bool isCloudRecording() override { return read("isCloudRecording", &RoomState::cloudRecording); }
  bool isInWaitingRoom() override { return read("isInWaitingRoom", &RoomState::inWaitingRoom); }
  bool isRoomBlacklistEnabled() override { return read("isRoomBlacklistEnabled", &RoomState::blacklistEnabled); }

  // --- controllers ---

  parlo::IQVRoomChatController* getChatController() override { return controller<parlo::IQVRoomChatController>("chatController"); }
  parlo::IQVRoomChatController* getWaitingRoomChatController() override {
    return controller<parlo::IQVRoomChatController>("waitingRoomChatController");
  }
  parlo::IQVRoomRtcController* getRtcController() override { return controller<parlo::IQVRoomRtcController>("rtcController"); }
  parlo::IQVRoomWhiteboardController* getWhiteboardController() override {
    return controller<parlo::IQVRoomWhiteboardController>("whiteboardController");
  }
  parlo::IQVRoomAnnotationController* getAnnotationController() override {
    return controller<parlo::IQVRoomAnnotationController>("annotationController");
  }
  parlo::IQVRoomLiveController* getLiveController() override { return controller<parlo::IQVRoomLiveController>("liveController"); }
  parlo::IQVWaitingRoomController* getWaitingRoomController() override {
    return controller<parlo::IQVWaitingRoomController>("waitingRoomController");
  }
  parlo::IQVRoomSIPController* getSIPController() override { return controller<parlo::IQVRoomSIPController>("sipController"); }
  parlo::IQVRoomAppInviteController* getAppInviteController() override {
    return controller<parlo::IQVRoomAppInviteController>("appInviteController");
  }

  // --- members ---

  void changeMyName(const std::string& name, parlo::QVCompletion done) override {
    run("changeMyName", json::array({name}), std::move(done), [&](Answer&) -> RoomEvents {
      if (!s_.localMember) return {};
      return rename(s_.localMember, name);
    });
  }

  void changeMemberName(const std::string& user, const std::string& name, parlo::QVCompletion done) override {
    run("changeMemberName", json::array({user, name}), std::move(done), [&](Answer& answer) -> RoomEvents {
      RoomMemberPtr* member = find(user);
      if (member == nullptr) return not_in_room(answer, user);
      return rename(*member, name);
    });
  }

  void changeMemberRole(const std::string& user, const std::string& role, parlo::QVCompletion done) override {
    run("changeMemberRole", json::array({user, role}), std::move(done), [&](Answer& answer) -> RoomEvents {
      RoomMemberPtr* member = find(user);
      if (member == nullptr) return not_in_room(answer, user);
      return assign_role(*member, role_named(s_.roomTemplate, role));
    });
  }

  void changeMembersRole(const StringMap& roles, parlo::QVCompletion done) override {
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
  void handOverMyRole(const std::string& user, bool keepInRoom, parlo::QVCompletion done) override {
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

  void kickMemberOut(const std::string& user, bool addToBlacklist, parlo::QVCompletion done) override {
    run("kickMemberOut", json::array({user, addToBlacklist}), std::move(done), [&](Answer& answer) -> RoomEvents {
      RoomMemberPtr gone = take_remote(user);
      if (!gone) return not_in_room(answer, user);
      return {event(&L::onMemberLeaveRoom, RoomMemberList{gone})};
    });
  }

  // --- listeners ---

  void addRoomListener(IQVRoomListener* listener) override {
    engine().call("addRoomListener", json::array({engine().id_of(listener, "room")}));
    room_listeners().add(listener, uuid_);
  }
  void removeRoomListener(IQVRoomListener* listener) override {
    engine().call("removeRoomListener", json::array({engine().id_of(listener, "room")}));
    room_listeners().remove(listener, uuid_);
    engine().forget(listener);
  }
  void addRtcStatsListener(parlo::IQVRtcStatsListener* listener) override {
    engine().call("addRtcStatsListener", json::array({engine().id_of(listener, "rtcStats")}));
    rtc_stats_listeners().add(listener, uuid_);
  }
  void removeRtcStatsListener(parlo::IQVRtcStatsListener* listener) override {
    engine().call("removeRtcStatsListener", json::array({engine().id_of(listener, "rtcStats")}));
    rtc_stats_listeners().remove(listener, uuid_);
    engine().forget(listener);
  }

  // --- the room ---

  void rejoinAfterAdmittedToRoom(parlo::QVCompletion done) override {
    run("rejoinAfterAdmittedToRoom", json::array(), std::move(done), [&](Answer&) -> RoomEvents {
      s_.inWaitingRoom = false;
      return {};
    });
  }

  // Leaving takes the room out of the registry, whose reference may be the last:
  // the room keeps itself until it is done.
  void leaveRoom(parlo::QVCompletion done) override {
    auto keep = shared_from_this();
    bool left = run("leaveRoom", json::array(), std::move(done), [&](Answer&) { return leave(); });
    if (left) retire(uuid_, {});
  }

  // Ending through the SDK reports reason 0 to the room's listeners.
  void endRoom(parlo::QVCompletion done) override {
    auto keep = shared_from_this();
    bool ended = run("endRoom", json::array(), std::move(done), [&](Answer&) { return leave(); });
    if (ended) retire(uuid_, {event(&L::onRoomEnded, 0)});
  }

  void lockRoom(parlo::QVCompletion done) override { set_locked("lockRoom", true, std::move(done)); }
  void unlockRoom(parlo::QVCompletion done) override { set_locked("unlockRoom", false, std::move(done)); }

  void updateRoomProperty(const std::string& key, const std::string& value, const std::string& associated,
                          parlo::QVCompletion done) override {
    run("updateRoomProperty", json::array({key, value, associated}), std::move(done), [&](Answer&) {
      StringMap after = s_.properties;
      after[key] = value;
      return set_properties(after);
    });
  }

  void deleteRoomProperty(const std::string& key, parlo::QVCompletion done) override {
    run("deleteRoomProperty", json::array({key}), std::move(done), [&](Answer&) {
      StringMap after = s_.properties;
      after.erase(key);
      return set_properties(after);
    });
  }

  void updateMemberProperty(const std::string& user, const std::string& key, const std::string& value,
                            parlo::QVCompletion done) override {
    run("updateMemberProperty", json::array({user, key, value}), std::move(done), [&](Answer& answer) -> RoomEvents {
      RoomMemberPtr* member = find(user);
      if (member == nullptr) return not_in_room(answer, user);
      StringMap after = (*member)->getProperties();
      after[key] = value;
      return set_member_properties(*member, after);
    });
  }

  void deleteMemberProperty(const std::string& user, const std::string& key, parlo::QVCompletion done) override {
    run("deleteMemberProperty", json::array({user, key}), std::move(done), [&](Answer& answer) -> RoomEvents {
      RoomMemberPtr* member = find(user);
      if (member == nullptr) return not_in_room(answer, user);
      StringMap after = (*member)->getProperties();
      after.erase(key);
      return set_member_properties(*member, after);
    });
  }

  // A stopped recording becomes one entry of the room's cloud record list.
  void startCloudRecord(const parlo::CloudRecordConfig& config, parlo::QVCompletion done) override {
    run("startCloudRecord", json::array({config}), std::move(done), [&](Answer&) -> RoomEvents {
      if (s_.cloudRecording) return {};
      s_.cloudRecording = true;
      record_started_ = now_ms();
      return {event(&L::onRoomCloudRecordStateChanged, 1, s_.localMember)};
    });
  }

  void stopCloudRecord(parlo::QVCompletion done) override {
    run("stopCloudRecord", json::array(), std::move(done), [&](Answer&) -> RoomEvents {
      if (!s_.cloudRecording) return {};
      s_.cloudRecording = false;
      auto& list = registry().records[uuid_];
      std::string id = uuid_ + "-rec-" + std::to_string(list.size() + 1);
      std::string nickname = s_.localMember ? s_.localMember->getName() : "";
      parlo::CloudRecordFile mixed{true, id + ".mp4", "", 1024 * 1024, "https://records.parlo.sim/" + id + ".mp4",
                                   static_cast<int64_t>(list.size() + 1), 0, nickname};
      list.push_back(parlo::CloudRecord{id, record_started_, now_ms(), {mixed}});
      return {event(&L::onRoomCloudRecordStateChanged, 0, s_.localMember)};
    });
  }

  void enableRoomBlacklist(bool enable, parlo::QVCompletion done) override {
    run("enableRoomBlacklist", json::array({enable}), std::move(done), [&](Answer&) -> RoomEvents {
      s_.blacklistEnabled = enable;
      return {event(&L::onRoomBlacklistStateChanged, enable)};
    });
  }

  // --- what script does to the room (the registry's lock is held) ---

  json state() const { return s_; }

  // Room state changes; each change the SDK reports raises its event.
  RoomEvents update(const json& changes) {
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

  RoomEvents add_members(const RoomMemberList& members) {
    for (const auto& member : members) {
      if (!member) throw std::invalid_argument("a joining member cannot be null");
      if (find(member->getUuid()) != nullptr) throw std::invalid_argument(member->getUuid() + " is in the room already");
    }
    s_.remoteMembers.insert(s_.remoteMembers.end(), members.begin(), members.end());
    return {event(&L::onMemberJoinRoom, members)};
  }

  RoomEvents remove_member(const std::string& user) {
    RoomMemberPtr gone = take_remote(user);
    if (!gone) throw std::invalid_argument("no remote member " + user + " in room " + uuid_);
    return {event(&L::onMemberLeaveRoom, RoomMemberList{gone})};
  }

  // A member's state changes, done by `by` (the member itself when empty); each
  // change the SDK reports raises its event.
  RoomEvents update_member(const std::string& user, const json& changes, const std::string& by) {
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

  RoomEvents chat(const parlo::ChatMessageList& messages) {
    auto& history = registry().history[uuid_];
    history.insert(history.end(), messages.begin(), messages.end());
    return {event(&L::onReceiveChatroomMessages, messages)};
  }

  // The room's properties become `after`: what is new or changed, then what is gone.
  RoomEvents set_properties(const StringMap& after) {
    auto [changed, deleted] = diff(s_.properties, after);
    s_.properties = after;
    RoomEvents events;
    if (!changed.empty()) events.push_back(event(&L::onRoomPropertiesChanged, changed));
    if (!deleted.empty()) events.push_back(event(&L::onRoomPropertiesDeleted, deleted));
    return events;
  }

  // The room leaves the registry; what its listeners hear last is raised by retire().
  RoomEvents leave() {
    registry().joined.erase(uuid_);
    return {};
  }

  // Runs one operation: on success applies `change`, which answers the events it
  // causes or turns the answer into a failure; completes; then raises the events.
  // True when the operation succeeded.
  bool run(const char* op, json args, parlo::QVCompletion done, const std::function<RoomEvents(Answer&)>& change) {
    Answer answer = engine().call(op, std::move(args));
    RoomEvents events;
    if (answer.code == 0) {
      std::lock_guard<std::mutex> lock(registry().mutex);
      events = change(answer);
    }
    engine().finish(answer, std::move(done));
    raise_later(uuid_, std::move(events));
    return answer.code == 0;
  }

 private:
  template <class T>
  T read(const char* op, T RoomState::*field) {
    Answer answer = engine().call(op);
    std::lock_guard<std::mutex> lock(registry().mutex);
    try {
      return answer.ret_or<T>(s_.*field);
    } catch (const std::exception&) {
      return s_.*field;  // a scripted return value that does not read leaves the state's
    }
  }

  template <class Controller>
  Controller* controller(const char* link) {
    if (!room_linked(uuid_, link)) return nullptr;
    auto found = controllers_.find(link);
    return found == controllers_.end() ? nullptr : static_cast<Controller*>(found->second.get());
  }

  // The slot of member `user`, the local member included; null when not in the room.
  RoomMemberPtr* find(const std::string& user) {
    if (s_.localMember && s_.localMember->getUuid() == user) return &s_.localMember;
    for (auto& member : s_.remoteMembers) {
      if (member && member->getUuid() == user) return &member;
    }
    return nullptr;
  }

  RoomMemberPtr take_remote(const std::string& user) {
    for (auto it = s_.remoteMembers.begin(); it != s_.remoteMembers.end(); ++it) {
      if (*it && (*it)->getUuid() == user) {
        RoomMemberPtr gone = *it;
        s_.remoteMembers.erase(it);
        return gone;
      }
    }
    return nullptr;
  }

  static RoomEvents not_in_room(Answer& answer, const std::string& user) {
    answer.code = kNotInRoom;
    answer.message = "no member " + user + " in the room";
    return {};
  }

  static RoomEvents rename(RoomMemberPtr& member, const std::string& name) {
    member = changed(member, [&](MemberState& m) { m.name = name; });
    return {event(&L::onMemberNameChanged, member, name)};
  }

  static RoomEvents assign_role(RoomMemberPtr& member, const parlo::RoomRole& role) {
    parlo::RoomRole before = member->getRole();
    member = changed(member, [&](MemberState& m) { m.role = role; });
    return {event(&L::onMemberRoleChanged, member->getUuid(), before, role)};
  }

  static RoomEvents set_member_properties(RoomMemberPtr& member, const StringMap& after) {
    auto [changed_entries, deleted] = diff(member->getProperties(), after);
    member = changed(member, [&](MemberState& m) { m.properties = after; });
    RoomEvents events;
    if (!changed_entries.empty()) {
      events.push_back(event(&L::onMemberPropertiesChanged, member->getUuid(), changed_entries));
    }
    if (!deleted.empty()) events.push_back(event(&L::onMemberPropertiesDeleted, member->getUuid(), deleted));
    return events;
  }

  void set_locked(const char* op, bool locked, parlo::QVCompletion done) {
    run(op, json::array(), std::move(done), [&](Answer&) -> RoomEvents {
      if (s_.locked == locked) return {};
      s_.locked = locked;
      return {event(&L::onRoomLockStateChanged, locked)};
    });
  }

  const std::string uuid_;
  RoomState s_;
  int64_t record_started_ = 0;
  std::map<std::string, std::shared_ptr<void>> controllers_;  // made once, read-only after
};

// The state of a room joined with `params`, from what createRoom stored for it.
RoomState initial_state(const parlo::JoinRoomParams& params, const parlo::JoinRoomOptions& options) {
  RoomState s;
  s.roomUuid = params.roomUuid;
  s.roomName = params.roomUuid;
  s.password = params.password;
  auto created = registry().created.find(params.roomUuid);
  if (created != registry().created.end()) {
    const parlo::CreateRoomParams& c = created->second.first;
    s.roomName = c.roomName;
    s.password = c.password;
    s.properties = c.initialProperties;
    s.roomTemplate = template_for(std::to_string(c.templateId));
  } else {
    s.roomTemplate = template_for("*");
  }
  s.sipCid = "sip-" + params.roomUuid;
  s.rtcStartTime = now_ms();
  s.remainingSeconds = 3600;
  s.maxMembers = 100;
  MemberState me;
  me.uuid = signed_in_account();
  if (me.uuid.empty()) me.uuid = "sim-local-user";
  me.name = params.userName;
  me.avatar = params.avatar;
  me.role = role_named(s.roomTemplate, params.role);
  me.properties = params.initialProperties;
  me.isAudioOn = options.enableMyAudioDeviceOnJoinRtc;
  s.localMember = make_member(me);
  return s;
}

// Joins the room of `params`: the room already joined, or a new one from its stored
// settings with the caller as local member and `overrides` (scripted) laid over.
std::shared_ptr<SimRoom> join(const parlo::JoinRoomParams& params, const parlo::JoinRoomOptions& options,
                           const json& overrides) {
  RoomState state;
  std::map<std::string, ControllerFactory> factories;
  {
    std::lock_guard<std::mutex> lock(registry().mutex);
    auto joined = registry().joined.find(params.roomUuid);
    if (joined != registry().joined.end()) return joined->second;
    state = initial_state(params, options);
    factories = registry().factories;
  }
  if (overrides.is_object()) {
    json merged = state;
    merged.update(overrides);
    merged["roomUuid"] = params.roomUuid;
    state = merged.get<RoomState>();
  }
  // Controllers are made outside the lock: their factories may reach the rooms.
  auto room = std::make_shared<SimRoom>(std::move(state), factories);
  std::lock_guard<std::mutex> lock(registry().mutex);
  return registry().joined.emplace(params.roomUuid, room).first->second;
}

void join_as(const char* op, const parlo::JoinRoomParams& params, const parlo::JoinRoomOptions& options,
             parlo::QVResultCompletion<parlo::IQVRoomContext*> done) {
  Answer answer = engine().call(op, json::array({params, options}));
  std::shared_ptr<SimRoom> room;
  // A scripted result of false hands no room context; an object is laid over the new
  // room's state, and hands a room context whatever the code says.
  bool refused = answer.result.is_boolean() && !answer.result.get<bool>();
  if ((answer.code == 0 && !refused) || answer.result.is_object()) {
    try {
      room = join(params, options, answer.result);
    } catch (const std::exception& e) {
      answer.code = kBadScript;
      answer.message = std::string("scripted result does not read: ") + e.what();
    }
  }
  // The completion holds the room, so the context it hands over stays valid for the
  // call even if the room is left before the SDK thread gets to it.
  engine().finish(answer, [done = std::move(done), room](int32_t code, const std::string& message,
                                                         parlo::IQVRoomContext* context) {
    done(code, message, context);
  }, room.get());
}

// The page of a room's history that `options` asks for: from startTime on, oldest
// first (order 0) or newest first, at most `limit` (0: all).
parlo::ChatMessageList history_page(const parlo::ChatMessageList& history, const parlo::ChatroomHistoryOptions& o) {
  parlo::ChatMessageList page;
  for (const auto& message : history) {
    if (!message || message->getTime() >= static_cast<uint64_t>(std::max<int64_t>(o.startTime, 0))) {
      page.push_back(message);
    }
  }
  if (o.order != 0) page.reverse();
  if (o.limit > 0 && page.size() > static_cast<size_t>(o.limit)) page.resize(o.limit);
  return page;
}

// Runs a scripted change on a joined room and raises what it causes; an unknown
// room is an error script sees.
json change_room(const json& args, const std::function<RoomEvents(SimRoom&)>& change) {
  std::string uuid = args.at("room").get<std::string>();
  RoomEvents events;
  {
    std::lock_guard<std::mutex> lock(registry().mutex);
    auto found = registry().joined.find(uuid);
    if (found == registry().joined.end()) throw std::invalid_argument("no joined room " + uuid);
    std::shared_ptr<SimRoom> room = found->second;  // the change may end the room
    events = change(*room);
  }
  raise_later(uuid, std::move(events));
  return true;
}

json reset_rooms() {
  std::vector<std::string> joined;
  {
    std::lock_guard<std::mutex> lock(registry().mutex);
    for (const auto& entry : registry().joined) joined.push_back(entry.first);
    Registry& r = registry();
    r.created.clear();
    r.joined.clear();
    r.templates.clear();
    r.history.clear();
    r.records.clear();
  }
  for (const auto& uuid : joined) retire(uuid, {});
  return true;
}

// Replaces what the rooms keep for one room (its history, its cloud records).
template <class T>
json keep_for_room(std::map<std::string, T>& kept, const json& args, const char* key) {
  T value = args.at(key).get<T>();
  std::lock_guard<std::mutex> lock(registry().mutex);
  kept[args.at("room").get<std::string>()] = std::move(value);
  return true;
}

const bool commands_added =
    add_command("rooms.list",
                [](const json&) {
                  std::lock_guard<std::mutex> lock(registry().mutex);
                  json uuids = json::array();
                  for (const auto& entry : registry().joined) uuids.push_back(entry.first);
                  return uuids;
                }) &&
    add_command("rooms.get",
                [](const json& args) -> json {
                  std::lock_guard<std::mutex> lock(registry().mutex);
                  auto found = registry().joined.find(args.at("room").get<std::string>());
                  return found == registry().joined.end() ? json() : found->second->state();
                }) &&
    add_command("rooms.update",
                [](const json& args) {
                  return change_room(args, [&](SimRoom& room) { return room.update(args.at("changes")); });
                }) &&
    add_command("rooms.addMembers",
                [](const json& args) {
                  auto members = args.at("members").get<RoomMemberList>();
                  return change_room(args, [&](SimRoom& room) { return room.add_members(members); });
                }) &&
    add_command("rooms.removeMember",
                [](const json& args) {
                  return change_room(args, [&](SimRoom& room) { return room.remove_member(args.at("user")); });
                }) &&
    add_command("rooms.updateMember",
                [](const json& args) {
                  return change_room(args, [&](SimRoom& room) {
                    return room.update_member(args.at("user"), args.at("changes"), args.value("by", ""));
                  });
                }) &&
    add_command("rooms.chat",
                [](const json& args) {
                  auto messages = args.at("messages").get<parlo::ChatMessageList>();
                  return change_room(args, [&](SimRoom& room) { return room.chat(messages); });
                }) &&
    add_command("rooms.setProperties",
                [](const json& args) {
                  return change_room(args, [&](SimRoom& room) {
                    StringMap after = room.state().at("properties").get<StringMap>();
                    for (const auto& [key, value] : args.at("properties").get<StringMap>()) after[key] = value;
                    return room.set_properties(after);
                  });
                }) &&
    add_command("rooms.deleteProperties",
                [](const json& args) {
                  return change_room(args, [&](SimRoom& room) {
                    StringMap after = room.state().at("properties").get<StringMap>();
                    for (const auto& key : args.at("keys").get<std::vector<std::string>>()) after.erase(key);
                    return room.set_properties(after);
                  });
                }) &&
    add_command("rooms.end",
                [](const json& args) {
                  json done = change_room(args, [&](SimRoom& room) { return room.leave(); });
                  retire(args.at("room").get<std::string>(), {event(&L::onRoomEnded, args.value("reason", 0))});
                  return done;
                }) &&
    add_command("rooms.setTemplate",
                [](const json& args) {
                  std::lock_guard<std::mutex> lock(registry().mutex);
                  registry().templates[args.at("key").get<std::string>()] = args.at("template").get<parlo::RoomTemplate>();
                  return true;
                }) &&
    add_command("rooms.setHistory",
                [](const json& args) { return keep_for_room(registry().history, args, "messages"); }) &&
    add_command("rooms.setCloudRecords",
                [](const json& args) { return keep_for_room(registry().records, args, "records"); }) &&
    add_command("rooms.reset", [](const json&) { return reset_rooms(); });

}  // namespace

bool add_room_controller(const std::string& link, ControllerFactory factory) {
  std::lock_guard<std::mutex> lock(registry().mutex);
  registry().factories[link] = std::move(factory);
  return true;
}

bool deliver_chat(const std::string& room_uuid, const parlo::ChatMessageList& messages) {
  RoomEvents events;
  {
    std::lock_guard<std::mutex> lock(registry().mutex);
    auto found = registry().joined.find(room_uuid);
    if (found == registry().joined.end()) return false;
    events = found->second->chat(messages);
  }
  raise_later(room_uuid, std::move(events));
  return true;
}

// --- the room service ---

void SimRoomService::createRoom(const parlo::CreateRoomParams& params, const parlo::CreateRoomOptions& options,
                                parlo::QVCompletion done) {
  Answer answer = engine().call("createRoom", json::array({params, options}));
  if (answer.code == 0) {
    std::lock_guard<std::mutex> lock(registry().mutex);
    registry().created[params.roomUuid] = {params, options};
  }
  engine().finish(answer, std::move(done));
}

void SimRoomService::fetchRoomTemplate(const std::string& key, parlo::QVResultCompletion<parlo::RoomTemplate> done) {
  answer_from_state(engine().call("fetchRoomTemplate", json::array({key})), std::move(done),
                    [&] { return template_for(key); });
}

void SimRoomService::joinRoom(const parlo::JoinRoomParams& params, const parlo::JoinRoomOptions& options,
                              parlo::QVResultCompletion<parlo::IQVRoomContext*> done) {
  join_as("joinRoom", params, options, std::move(done));
}

void SimRoomService::joinRoomByInvite(const parlo::JoinRoomParams& params, const parlo::JoinRoomOptions& options,
                                      parlo::QVResultCompletion<parlo::IQVRoomContext*> done) {
  join_as("joinRoomByInvite", params, options, std::move(done));
}

// A lookup, not an operation: it is not journalled, like the kit's service getters.
parlo::IQVRoomContext* SimRoomService::getRoomContext(const std::string& roomUuid) {
  std::lock_guard<std::mutex> lock(registry().mutex);
  auto found = registry().joined.find(roomUuid);
  if (found == registry().joined.end() || !room_linked(roomUuid, "roomContext")) return nullptr;
  return found->second.get();
}

// The preview room is simulated with the media controls; until then there is none.
parlo::IQVPreviewRoomContext* SimRoomService::getPreviewRoomContext() { return nullptr; }

void SimRoomService::getRoomCloudRecordList(const std::string& roomUuid,
                                            parlo::QVResultCompletion<std::list<parlo::CloudRecord>> done) {
  answer_from_state(engine().call("getRoomCloudRecordList", json::array({roomUuid})), std::move(done),
                    [&] { return registry().records[roomUuid]; });
}

void SimRoomService::fetchChatroomHistoryMessages(const std::string& roomUuid,
                                                  const parlo::ChatroomHistoryOptions& options,
                                                  parlo::QVResultCompletion<parlo::ChatMessageList> done) {
  answer_from_state(engine().call("fetchChatroomHistoryMessages", json::array({roomUuid, options})), std::move(done),
                    [&] { return history_page(registry().history[roomUuid], options); });
}

void SimRoomService::exportChatroomHistoryMessages(const std::string& roomUuid,
                                                   parlo::QVResultCompletion<std::string> done) {
  answer_from_state(engine().call("exportChatroomHistoryMessages", json::array({roomUuid})), std::move(done),
                    [&] { return "https://history.parlo.sim/export/" + roomUuid + ".json"; });
}

// What a rejection answers is the SDK's; the simulation echoes the room.
void SimRoomService::rejectInvite(const std::string& roomUuid, parlo::QVResultCompletion<std::string> done) {
  answer_from_state(engine().call("rejectInvite", json::array({roomUuid})), std::move(done),
                    [&] { return roomUuid; });
}

}  // namespace parlo_sim
