// SIP and in-app invitations of the simulated SDK: one SIP and one in-app
// invitation controller per joined room, and the script commands through which the
// invitees answer (sim.invites.*). An invitee is a member of the room's SIP or in-app
// inviting list (sipInvitingMembers, appInvitingMembers of the room's state) until
// they join, or until the call is removed or hung up; every change of an invitee
// raises onMemberSIPInviteStateChanged or onMemberAppInviteStateChanged.
//
// An invitee's inviteType is 1 (SIP) or 2 (in-app); inviteState is 1 while being
// called, 2 once declined, 3 once the call is cancelled, 4 once it is hung up, and 0
// for an invitee who joined the room.
#include <functional>
#include <list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "collab_json.h"
#include "room_json.h"
#include "room_operation.h"
#include "sdk/app_invite_controller.h"
#include "sdk/sip_controller.h"

namespace parlo_sim {
namespace {

using L = parlo::IQVRoomListener;

constexpr int32_t kJoined = 0;
constexpr int32_t kCalling = 1;
constexpr int32_t kDeclined = 2;
constexpr int32_t kCancelled = 3;
constexpr int32_t kHungUp = 4;
constexpr int32_t kKeep = -1;  // the call keeps the state it had

// One way of calling people in: its interface, its list in the room's state, the
// member record's flag for it, its invite type and its room event.
struct Invitations {
  const char* interface;
  const char* list;
  const char* flag;
  int32_t type;
  void (L::*changed)(const parlo::RoomMemberPtr&, const parlo::RoomMemberPtr&);
};

const Invitations kSip{"IQVRoomSIPController", "sipInvitingMembers", "isInSipInviting", 1,
                       &L::onMemberSIPInviteStateChanged};
const Invitations kApp{"IQVRoomAppInviteController", "appInvitingMembers", "isInAppInviting", 2,
                       &L::onMemberAppInviteStateChanged};

// The invitee `user` of `kind`'s list; null when not invited.
json invitee(const json& state, const Invitations& kind, const std::string& user) {
  for (const json& member : state.at(kind.list)) {
    if (member.is_object() && member.value("uuid", "") == user) return member;
  }
  return nullptr;
}

// Writes `member` into `kind`'s list (in its place, or last), or takes it out, and
// answers the invite event, done by `by`.
RoomEvents put(SimRoom& room, const Invitations& kind, json member, bool take_out, const json& by) {
  json list = json::array();
  bool placed = false;
  const json state = room.state();
  for (const json& entry : state.at(kind.list)) {
    if (entry.is_object() && entry.value("uuid", "") == member.value("uuid", "")) {
      placed = true;
      if (take_out) continue;
      list.push_back(member);
    } else {
      list.push_back(entry);
    }
  }
  if (!placed && !take_out) list.push_back(member);
  if (take_out) member[kind.flag] = false;
  room.update(json{{kind.list, list}});  // the inviting lists raise no event of their own
  return {event(kind.changed, member_from_json(member), member_from_json(by))};
}

// Calls `callees` (uuid, name): all of them, or none when one is in the room already.
// Someone already invited is called again; `repeated` says whether anyone was. The
// list is changed in one copy of the room's state, with its entries found by UUID, so
// that a long list of callees costs the same per callee as a short one.
RoomEvents ring(SimRoom& room, const Invitations& kind, const std::vector<std::pair<std::string, std::string>>& callees,
                Answer& answer, bool* repeated = nullptr) {
  const json state = room.state();
  for (const auto& callee : callees) {
    if (!member_in(state, callee.first).is_null()) {
      return fail(answer, kConflict, callee.first + " is in the room already");
    }
  }
  const json role = role_named(state.at("roomTemplate").get<parlo::RoomTemplate>(), "member");
  const json& by = state.at("localMember");
  json list = state.at(kind.list);
  // Where each invitee stands in the list (every place, as put() writes them all).
  std::map<std::string, std::vector<size_t>> places;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].is_object()) places[list[i].value("uuid", "")].push_back(i);
  }
  RoomEvents events;
  for (const auto& [uuid, name] : callees) {
    auto found = places.find(uuid);
    json member = found != places.end() ? list[found->second.front()] : json(nullptr);
    if (repeated != nullptr) *repeated = *repeated || !member.is_null();
    if (member.is_null()) member = json{{"uuid", uuid}, {"name", name}, {"role", role}};
    member[kind.flag] = true;
    member["inviteType"] = kind.type;
    member["inviteState"] = kCalling;
    if (found != places.end()) {
      for (size_t i : found->second) list[i] = member;
    } else {
      places[uuid].push_back(list.size());
      list.push_back(member);
    }
    events.push_back(event(kind.changed, member_from_json(member), member_from_json(by)));
  }
  room.update(json{{kind.list, list}});  // the inviting lists raise no event of their own
  return events;
}

// The call of `user`: cancelled (kept in the list), or taken out of it.
RoomEvents end_call(SimRoom& room, const Invitations& kind, const std::string& user, int32_t state_after,
                    bool take_out, Answer& answer) {
  json state = room.state();
  json member = invitee(state, kind, user);
  if (member.is_null()) return fail(answer, kNotFound, "no call of " + user);
  if (state_after != kKeep) member["inviteState"] = state_after;
  return put(room, kind, member, take_out, state.at("localMember"));
}

using Done = parlo::QVCompletion;

// The operations both controllers have, over `kind`'s list of the room.
template <class Interface>
class Inviting : public Interface {
 public:
  Inviting(std::string room, const Invitations& kind) : room_(std::move(room)), kind_(kind) {}

  void callByUserUuids(const std::list<std::string>& users, Done done) override {
    std::vector<std::pair<std::string, std::string>> callees;
    for (const auto& user : users) callees.emplace_back(user, user);
    run("callByUserUuids", json::array({users}), std::move(done),
        [&](SimRoom& r, Answer& answer) { return ring(r, kind_, callees, answer); });
  }
  void callByUserUuid(const std::string& user, Done done) override {
    run("callByUserUuid", json::array({user}), std::move(done),
        [&](SimRoom& r, Answer& answer) { return ring(r, kind_, {{user, user}}, answer); });
  }
  void removeCall(const std::string& user, Done done) override { end("removeCall", user, kKeep, true, std::move(done)); }
  void cancelCall(const std::string& user, Done done) override {
    end("cancelCall", user, kCancelled, false, std::move(done));
  }

 protected:
  void run(const char* op, json args, Done done, const std::function<RoomEvents(SimRoom&, Answer&)>& change) {
    RoomOperation operation = operate(room_, kind_.interface, op, std::move(args), change);
    conclude(room_, operation, std::move(done));
  }
  void end(const char* op, const std::string& user, int32_t state_after, bool take_out, Done done) {
    run(op, json::array({user}), std::move(done),
        [&](SimRoom& r, Answer& answer) { return end_call(r, kind_, user, state_after, take_out, answer); });
  }

  const std::string room_;
  const Invitations& kind_;
};

class SimSip final : public Inviting<parlo::IQVRoomSIPController> {
 public:
  explicit SimSip(std::string room) : Inviting(std::move(room), kSip) {}

  // The callee's UUID is "sip-" with the country code and number.
  void callByNumber(const std::string& number, const std::string& countryCode, const std::string& name,
                    parlo::QVResultCompletion<parlo::SIPCallInfo> done) override {
    call_out("callByNumber", json::array({number, countryCode, name}), "sip-" + countryCode + number,
             name.empty() ? number : name, std::move(done));
  }
  // Hangs up a call still ringing, or a member who joined by SIP, who then leaves.
  void hangUpCall(const std::string& user, Done done) override {
    run("hangUpCall", json::array({user}), std::move(done), [&](SimRoom& room, Answer& answer) {
      json state = room.state();
      json member = member_in(state, user);
      if (!member.is_null() && user != local_uuid(state) && member.value("inviteType", 0) == kSip.type) {
        return room.remove_member(user);
      }
      return end_call(room, kSip, user, kHungUp, true, answer);
    });
  }
  // The callee's UUID is "sip-room-" with the device's address.
  void callOutRoomSystem(const parlo::RoomSystemDevice& device,
                         parlo::QVResultCompletion<parlo::SIPCallInfo> done) override {
    call_out("callOutRoomSystem", json::array({device}), "sip-room-" + device.deviceAddress,
             device.name.empty() ? device.deviceAddress : device.name, std::move(done));
  }

 private:
  void call_out(const char* op, json args, const std::string& uuid, const std::string& name,
                parlo::QVResultCompletion<parlo::SIPCallInfo> done) {
    parlo::SIPCallInfo call{uuid, name, false};
    RoomOperation operation = operate(room_, kSip.interface, op, std::move(args), [&](SimRoom& room, Answer& answer) {
      RoomEvents events = ring(room, kSip, {{uuid, name}}, answer, &call.isRepeatedCall);
      // Called again, the callee keeps the name they were first called by.
      if (answer.code == 0) call.name = invitee(room.state(), kSip, uuid).value("name", name);
      return events;
    });
    call = operation.answer.result_or(call);
    conclude(room_, operation, std::move(done), call);
  }
};

class SimAppInvite final : public Inviting<parlo::IQVRoomAppInviteController> {
 public:
  explicit SimAppInvite(std::string room) : Inviting(std::move(room), kApp) {}
};

// An invitee answers: `user` in the SIP list, else the in-app list, being called.
RoomEvents answer_call(SimRoom& room, const std::string& user, bool accept) {
  json state = room.state();
  for (const Invitations* kind : {&kSip, &kApp}) {
    json member = invitee(state, *kind, user);
    if (member.is_null()) continue;
    if (member.value("inviteState", 0) != kCalling) throw std::invalid_argument(user + " is not being called");
    if (!member_in(state, user).is_null()) throw std::invalid_argument(user + " is in the room already");
    if (!accept) {
      member["inviteState"] = kDeclined;
      return put(room, *kind, member, false, member);
    }
    member["inviteState"] = kJoined;
    RoomEvents events = put(room, *kind, member, true, member);
    member[kind->flag] = false;
    RoomEvents joined = room.add_members({member_from_json(member)});
    events.insert(events.end(), joined.begin(), joined.end());
    return events;
  }
  throw std::invalid_argument("nobody calls " + user + " into room " + room.state().value("roomUuid", ""));
}

json answer_command(const json& args, bool accept) {
  std::string room = args.at("room").get<std::string>();
  std::string user = args.at("user").get<std::string>();
  if (!with_room(room, [&](SimRoom& joined) { return answer_call(joined, user, accept); })) {
    throw std::invalid_argument("no joined room " + room);
  }
  return true;
}

template <class Controller, class Interface>
ControllerFactory factory() {
  return [](const std::string& room) -> std::shared_ptr<void> {
    return std::shared_ptr<Interface>(std::make_shared<Controller>(room));
  };
}

const bool defined = add_room_controller("sipController", factory<SimSip, parlo::IQVRoomSIPController>()) &&
                     add_room_controller("appInviteController",
                                         factory<SimAppInvite, parlo::IQVRoomAppInviteController>()) &&
                     add_command("invites.accept", [](const json& args) { return answer_command(args, true); }) &&
                     add_command("invites.decline", [](const json& args) { return answer_command(args, false); });

}  // namespace
}  // namespace parlo_sim
