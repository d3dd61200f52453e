// The simulated waiting room of a joined room. People arrive in it (by script),
// wait, and are admitted (they join the room: the room's listeners hear
// "onMemberJoinRoom"), expelled, or leave; room members can be put back in it
// (they leave the room). Its listeners hear each change after the operation's
// completion, and "onWaitingRoomInfoUpdated" whenever the state they see changes.
// Its listeners belong to it: when its room goes, they go too.
#include <algorithm>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "collab_json.h"
#include "events.h"
#include "room_json.h"
#include "sim_collab.h"
#include "sim_members.h"

namespace parlo_sim {
namespace {

using W = parlo::IQVWaitingRoomListener;
using parlo::QVCompletion;
using parlo::RoomMemberList;
using parlo::WaitingMemberList;
using parlo::WaitingMemberPtr;
using parlo::WaitingRoomInfo;

// Why someone came into the waiting room, or left it.
constexpr int32_t kArrived = 0;
constexpr int32_t kPutBack = 1;
constexpr int32_t kLeft = 0;
constexpr int32_t kExpelled = 1;
// The local member's status that means it waits.
constexpr int32_t kMeWaiting = 1;

Engine& engine() { return Engine::get(); }

Kind<W>& waiting_room_listeners() {
  static Kind<W>& kind = Events::get().define<W>("waitingRoom", {
      {"onWaitingRoomInfoUpdated", op(&W::onWaitingRoomInfoUpdated)},
      {"onMemberJoin", op(&W::onMemberJoin)},
      {"onMemberLeave", op(&W::onMemberLeave)},
      {"onMemberAdmitted", op(&W::onMemberAdmitted)},
      {"onAllMembersKicked", op(&W::onAllMembersKicked)},
      {"onManagersUpdated", op(&W::onManagersUpdated)},
      {"onMemberNameChanged", op(&W::onMemberNameChanged)},
      {"onMyWaitingRoomStatusChanged", op(&W::onMyWaitingRoomStatusChanged)},
  });
  return kind;
}

// The kind exists from the start, so script can raise and count before anything registers.
const bool kind_defined = (waiting_room_listeners(), true);

using WaitingEvent = std::function<void(W*)>;
using WaitingEvents = std::vector<WaitingEvent>;

template <class... P, class... A>
WaitingEvent waiting_event(void (W::*operation)(P...), A... args) {
  return [operation, args...](W* listener) { (listener->*operation)(args...); };
}

// What one change causes: the waiting room's events, then the room's.
struct Effects {
  WaitingEvents waiting;
  RoomEvents room;
};

void raise_effects(const std::string& room, Effects effects) {
  if (!effects.waiting.empty()) {
    Engine::get().post([room, events = std::move(effects.waiting)] {
      waiting_room_listeners().for_each(room, [&](W* listener) {
        for (const WaitingEvent& e : events) e(listener);
      });
    });
  }
  raise_later(room, std::move(effects.room));
}

WaitingMemberPtr make_person(WaitingPerson person) { return std::make_shared<SimWaitingMember>(std::move(person)); }

bool is_manager(const json& member) {
  if (!member.is_object()) return false;
  std::string role = member.value("role", json::object()).value("name", "");
  return role == "host" || role == "cohost";
}

// Whether `user` is a member of the room, the local member included.
bool in_the_room(const json& state, const std::string& user) {
  json me = state.value("localMember", json());
  if (me.is_object() && me.value("uuid", "") == user) return true;
  for (const auto& member : state.value("remoteMembers", json::array())) {
    if (member.is_object() && member.value("uuid", "") == user) return true;
  }
  return false;
}

class SimWaitingRoom final : public parlo::IQVWaitingRoomController {
 public:
  explicit SimWaitingRoom(std::string room) : room_(std::move(room)) {
    info_.roomUuid = room_;
    info_.chatroomId = std::hash<std::string>{}(room_) % 1000000000 + 1;
  }

  // The room is gone: so are the listeners registered with its waiting room.
  ~SimWaitingRoom() override {
    for (W* listener : own_) {
      waiting_room_listeners().remove(listener, room_);
      engine().forget(listener);
    }
  }

  WaitingRoomInfo getWaitingRoomInfo() override {
    Answer answer = engine().call("getWaitingRoomInfo");
    std::lock_guard<std::mutex> lock(room_registry().mutex);
    return answer.ret_or(info());
  }

  void addListener(W* listener) override {
    engine().call("addListener", json::array({engine().id_of(listener, "waitingRoom")}));
    {
      std::lock_guard<std::mutex> lock(room_registry().mutex);
      own_.insert(listener);
    }
    waiting_room_listeners().add(listener, room_);
  }

  void removeListener(W* listener) override {
    engine().call("removeListener", json::array({engine().id_of(listener, "waitingRoom")}));
    {
      std::lock_guard<std::mutex> lock(room_registry().mutex);
      own_.erase(listener);
    }
    waiting_room_listeners().remove(listener, room_);
    engine().forget(listener);
  }

  void changeMemberName(const std::string& user, const std::string& name, QVCompletion done) override {
    operate("changeMemberName", json::array({user, name}), std::move(done), [&](Answer& answer, SimRoom&) {
      auto person = find(user);
      if (person == people_.end()) return absent(answer, user);
      WaitingPerson renamed = person_of(**person);
      renamed.name = name;
      *person = make_person(renamed);
      return Effects{{waiting_event(&W::onMemberNameChanged, user, name)}, {}};
    });
  }

  void enableWaitingRoomOnEntry(QVCompletion done) override {
    operate("enableWaitingRoomOnEntry", json::array(), std::move(done),
            [&](Answer&, SimRoom&) { return set_enabled(true); });
  }

  // With `admitWaiting`, everyone waiting is let in as the waiting room closes.
  void disableWaitingRoomOnEntry(bool admitWaiting, QVCompletion done) override {
    operate("disableWaitingRoomOnEntry", json::array({admitWaiting}), std::move(done), [&](Answer&, SimRoom& room) {
      Effects effects = admitWaiting ? admit(room, people_) : Effects{};
      append(effects, set_enabled(false));
      return effects;
    });
  }

  bool isWaitingRoomEnabledOnEntry() override {
    Answer answer = engine().call("isWaitingRoomEnabledOnEntry");
    std::lock_guard<std::mutex> lock(room_registry().mutex);
    return answer.ret_or(info_.isEnabledOnEntry);
  }

  void getMemberList(int64_t from, int32_t limit, int32_t order,
                     parlo::QVResultCompletion<WaitingMemberList> done) override {
    Answer answer = engine().call("getMemberList", json::array({from, limit, order}));
    auto page = on_room<WaitingMemberList>(room_, answer, [&](SimRoom&) {
      WaitingMemberList page;
      for (const auto& person : people_) {
        if (person->getJoinTime() >= from) page.push_back(person);
      }
      if (order != 0) page.reverse();
      if (limit > 0 && page.size() > static_cast<size_t>(limit)) page.resize(limit);
      return page;
    });
    finish_then_raise(room_, answer, std::move(done), {}, answer.result_or(page));
  }

  void admitMember(const std::string& user, bool autoAdmit, QVCompletion done) override {
    operate("admitMember", json::array({user, autoAdmit}), std::move(done), [&](Answer& answer, SimRoom& room) {
      auto person = find(user);
      if (person == people_.end()) return absent(answer, user);
      return admit(room, {*person});
    });
  }

  void reservedSlot9() override {}

  void admitAllMembers(QVCompletion done) override {
    operate("admitAllMembers", json::array(), std::move(done),
            [&](Answer&, SimRoom& room) { return admit(room, people_); });
  }

  void expelMember(const std::string& user, bool notAllowRejoin, QVCompletion done) override {
    operate("expelMember", json::array({user, notAllowRejoin}), std::move(done), [&](Answer& answer, SimRoom&) {
      auto person = find(user);
      if (person == people_.end()) return absent(answer, user);
      people_.erase(person);
      return Effects{{waiting_event(&W::onMemberLeave, user, kExpelled), info_updated()}, {}};
    });
  }

  void reservedSlot12() override {}

  void expelAllMembers(bool notAllowRejoin, QVCompletion done) override {
    operate("expelAllMembers", json::array({notAllowRejoin}), std::move(done), [&](Answer&, SimRoom&) {
      people_.clear();
      return Effects{{waiting_event(&W::onAllMembersKicked), info_updated()}, {}};
    });
  }

  // A remote member of the room goes back to wait: it leaves the room.
  void putInWaitingRoom(const std::string& user, QVCompletion done) override {
    operate("putInWaitingRoom", json::array({user}), std::move(done), [&](Answer& answer, SimRoom& room) {
      json state = room.state();
      json member;
      for (const auto& m : state.value("remoteMembers", json::array())) {
        if (m.is_object() && m.value("uuid", "") == user) member = m;
      }
      if (member.is_null()) return absent(answer, user);
      WaitingMemberPtr person = make_person({user, member.value("name", ""), member.value("avatar", ""), now_ms(), 0});
      people_.push_back(person);
      return Effects{{waiting_event(&W::onMemberJoin, person, kPutBack), info_updated()}, room.remove_member(user)};
    });
  }

  void getWaitingRoomManagerList(parlo::QVResultCompletion<RoomMemberList> done) override {
    Answer answer = engine().call("getWaitingRoomManagerList");
    auto list = on_room<RoomMemberList>(room_, answer, [&](SimRoom& room) { return managers(room); });
    finish_then_raise(room_, answer, std::move(done), {}, answer.result_or(list));
  }

  // --- script commands (the rooms' lock is held) ---

  const WaitingMemberList& people() const { return people_; }

  json state() const {
    json people = json::array();
    for (const auto& person : people_) people.push_back(person);
    return {{"info", info()}, {"people", people}};
  }

  // People arrive, each with its join time (now when absent) and status.
  Effects arrive(SimRoom& room, const std::vector<WaitingPerson>& arriving, int32_t reason) {
    json state = room.state();
    std::set<std::string> seen;
    for (const auto& p : arriving) {
      if (p.uuid.empty()) throw std::invalid_argument("a waiting person needs a uuid");
      if (find(p.uuid) != people_.end() || !seen.insert(p.uuid).second) {
        throw std::invalid_argument(p.uuid + " is waiting already");
      }
      if (in_the_room(state, p.uuid)) throw std::invalid_argument(p.uuid + " is in the room already");
    }
    Effects effects;
    for (WaitingPerson p : arriving) {
      if (p.joinTime == 0) p.joinTime = now_ms();
      WaitingMemberPtr person = make_person(p);
      people_.push_back(person);
      effects.waiting.push_back(waiting_event(&W::onMemberJoin, person, reason));
    }
    effects.waiting.push_back(info_updated());
    return effects;
  }

  // Someone waiting leaves by themselves.
  Effects leave(const std::string& user, int32_t reason) {
    auto person = find(user);
    if (person == people_.end()) throw std::invalid_argument("nobody called " + user + " is waiting");
    people_.erase(person);
    return {{waiting_event(&W::onMemberLeave, user, reason), info_updated()}, {}};
  }

  // The state listeners see changes: logo, backgroundImageUrl, chatroomId, isEnabledOnEntry.
  Effects update(const json& changes) {
    if (!changes.is_object()) throw std::invalid_argument("waiting room changes must be an object");
    json merged = info();
    merged.update(changes);
    WaitingRoomInfo after = merged.get<WaitingRoomInfo>();
    after.roomUuid = room_;
    after.memberCount = info().memberCount;
    if (json(after) == json(info())) return {};
    info_ = after;
    return {{info_updated()}, {}};
  }

  // The local member's own place: waiting (status 1) or not.
  Effects set_my_status(SimRoom& room, int32_t status, int32_t reason) {
    return {{waiting_event(&W::onMyWaitingRoomStatusChanged, status, reason)},
            room.update({{"inWaitingRoom", status == kMeWaiting}})};
  }

  Effects managers_updated(SimRoom& room) { return {{waiting_event(&W::onManagersUpdated, managers(room))}, {}}; }

 private:
  // One operation: its journal entry and answer; on success `change` runs on the
  // joined room under the rooms' lock; then its completion, then what it causes.
  template <class Change>
  void operate(const char* op, json args, QVCompletion done, Change change) {
    Answer answer = engine().call(op, std::move(args));
    Effects effects = on_room<Effects>(room_, answer, [&](SimRoom& room) { return change(answer, room); });
    engine().finish(answer, std::move(done));
    raise_effects(room_, std::move(effects));
  }

  static Effects absent(Answer& answer, const std::string& user) {
    answer.code = kNotFound;
    answer.message = "no " + user + " to act on";
    return {};
  }

  static void append(Effects& to, Effects more) {
    to.waiting.insert(to.waiting.end(), more.waiting.begin(), more.waiting.end());
    to.room.insert(to.room.end(), more.room.begin(), more.room.end());
  }

  WaitingRoomInfo info() const {
    WaitingRoomInfo info = info_;
    info.memberCount = static_cast<uint32_t>(people_.size());
    return info;
  }

  WaitingEvent info_updated() const { return waiting_event(&W::onWaitingRoomInfoUpdated, info()); }

  WaitingMemberList::iterator find(const std::string& user) {
    return std::find_if(people_.begin(), people_.end(), [&](const WaitingMemberPtr& p) { return p->getUuid() == user; });
  }

  Effects set_enabled(bool enabled) {
    if (info_.isEnabledOnEntry == enabled) return {};
    info_.isEnabledOnEntry = enabled;
    return {{info_updated()}, {}};
  }

  // `admitted` (people waiting here) join the room as members, all at once.
  Effects admit(SimRoom& room, WaitingMemberList admitted) {
    if (admitted.empty()) return {};
    json state = room.state();
    parlo::RoomTemplate room_template = state.value("roomTemplate", json::object()).get<parlo::RoomTemplate>();
    Effects effects;
    RoomMemberList joining;
    for (const auto& person : admitted) {
      people_.erase(find(person->getUuid()));
      effects.waiting.push_back(waiting_event(&W::onMemberAdmitted, person->getUuid()));
      // Someone who got into the room meanwhile is only taken off the list.
      if (in_the_room(state, person->getUuid())) continue;
      MemberState member;
      member.uuid = person->getUuid();
      member.name = person->getName();
      member.avatar = person->getAvatar();
      member.role = role_named(room_template, "member");
      joining.push_back(make_member(member));
    }
    effects.waiting.push_back(info_updated());
    if (!joining.empty()) effects.room = room.add_members(joining);
    return effects;
  }

  RoomMemberList managers(SimRoom& room) const {
    json state = room.state();
    RoomMemberList list;
    if (is_manager(state.value("localMember", json()))) list.push_back(member_from_json(state["localMember"]));
    for (const auto& member : state.value("remoteMembers", json::array())) {
      if (is_manager(member)) list.push_back(member_from_json(member));
    }
    return list;
  }

  const std::string room_;
  // The rooms' lock guards what follows.
  WaitingRoomInfo info_;
  WaitingMemberList people_;
  std::set<W*> own_;
};

ControllersByRoom<SimWaitingRoom>& waiting_rooms() {
  static auto* rooms = new ControllersByRoom<SimWaitingRoom>();
  return *rooms;
}

// Runs a script command's change on the waiting room of args.room and raises what it causes.
template <class Change>
json change_waiting_room(const json& args, Change change) {
  Effects effects = with_controller(waiting_rooms(), args, change);
  raise_effects(args.at("room").get<std::string>(), std::move(effects));
  return true;
}

const bool registered =
    add_room_controller("waitingRoomController",
                        [](const std::string& room) {
                          return waiting_rooms().make<parlo::IQVWaitingRoomController>(room);
                        }) &&
    add_command("waitingRoom.get",
                [](const json& args) {
                  return with_controller(waiting_rooms(), args,
                                         [](SimRoom&, SimWaitingRoom& waiting) { return waiting.state(); });
                }) &&
    add_command("waitingRoom.arrive",
                [](const json& args) {
                  auto arriving = args.at("people").get<std::vector<WaitingPerson>>();
                  int32_t reason = args.value("reason", kArrived);
                  return change_waiting_room(args, [&](SimRoom& room, SimWaitingRoom& waiting) {
                    return waiting.arrive(room, arriving, reason);
                  });
                }) &&
    add_command("waitingRoom.leave",
                [](const json& args) {
                  std::string user = args.at("user").get<std::string>();
                  int32_t reason = args.value("reason", kLeft);
                  return change_waiting_room(
                      args, [&](SimRoom&, SimWaitingRoom& waiting) { return waiting.leave(user, reason); });
                }) &&
    add_command("waitingRoom.update",
                [](const json& args) {
                  return change_waiting_room(args, [&](SimRoom&, SimWaitingRoom& waiting) {
                    return waiting.update(args.at("changes"));
                  });
                }) &&
    add_command("waitingRoom.setMyStatus",
                [](const json& args) {
                  int32_t status = args.at("status").get<int32_t>();
                  int32_t reason = args.value("reason", 0);
                  return change_waiting_room(args, [&](SimRoom& room, SimWaitingRoom& waiting) {
                    return waiting.set_my_status(room, status, reason);
                  });
                }) &&
    add_command("waitingRoom.managersUpdated", [](const json& args) {
      return change_waiting_room(
          args, [](SimRoom& room, SimWaitingRoom& waiting) { return waiting.managers_updated(room); });
    });

}  // namespace

WaitingMemberList waiting_people(const std::string& room) {
  std::shared_ptr<SimWaitingRoom> waiting = waiting_rooms().find(room);
  return waiting ? waiting->people() : WaitingMemberList{};
}

}  // namespace parlo_sim
