// What the simulated collaboration controllers (chat, live, waiting room) share:
// reaching their joined room under the rooms' lock, finding one room's controller
// from a script command, the local member, and the waiting room's people for its chat.
//
// A controller belongs to its joined room (made by the room's factory, destroyed
// with it). Its state is read and changed under the rooms' lock, like the room's
// own; the events a change causes are raised after the operation's completion.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>

#include "engine.h"
#include "room_registry.h"
#include "sdk/waiting_room.h"
#include "sim_room.h"

namespace parlo_sim {

// The code of an operation on a room that is no longer joined, or that names a
// message, task or person the controller does not have.
constexpr int32_t kNotFound = 404;

// Runs `change` on the joined room `uuid` under the rooms' lock when `answer` is a
// success so far; a room that is gone turns it into a failure. Answers what
// `change` answered, or R{}.
template <class R, class Change>
R on_room(const std::string& uuid, Answer& answer, Change change) {
  if (answer.code != 0) return R{};
  std::lock_guard<std::mutex> lock(room_registry().mutex);
  auto found = room_registry().joined.find(uuid);
  if (found == room_registry().joined.end()) {
    answer.code = kNotFound;
    answer.message = "room " + uuid + " is not joined";
    return R{};
  }
  std::shared_ptr<SimRoom> room = found->second;
  return change(*room);
}

// Completes the operation as `answer` says, then raises the room events it caused.
template <class Done, class... R>
void finish_then_raise(const std::string& uuid, const Answer& answer, Done done, RoomEvents events, R... results) {
  Engine::get().finish(answer, std::move(done), std::move(results)...);
  raise_later(uuid, std::move(events));
}

// The controllers of one kind by room, for script commands: a controller is
// entered when its room is joined, and found while that room is. The rooms' lock
// guards the table.
template <class Controller>
class ControllersByRoom {
 public:
  // The factory of add_room_controller: makes the room's controller, enters it, and
  // answers it as the SDK interface `Interface` of its link.
  template <class Interface, class... A>
  std::shared_ptr<void> make(const std::string& room, A... args) {
    auto controller = std::make_shared<Controller>(room, args...);
    {
      std::lock_guard<std::mutex> lock(room_registry().mutex);
      table_[room] = controller;
    }
    return std::shared_ptr<void>(controller, static_cast<Interface*>(controller.get()));
  }
  // The controller of the joined room `room`, or null (the rooms' lock is held).
  std::shared_ptr<Controller> find(const std::string& room) {
    auto found = table_.find(room);
    if (found == table_.end() || room_registry().joined.count(room) == 0) return nullptr;
    return found->second.lock();
  }
  // The same for a script command: throws, for the script that asked, when there is none.
  Controller& of(const std::string& room) {
    std::shared_ptr<Controller> controller = find(room);
    if (!controller) throw std::invalid_argument("no joined room " + room);
    return *controller;
  }

 private:
  std::map<std::string, std::weak_ptr<Controller>> table_;
};

// Runs a script command's `change` on the joined room args.room and its controller
// of `controllers`, under the rooms' lock; answers what the change answers. Throws
// for a room that is not joined.
template <class Controller, class Change>
auto with_controller(ControllersByRoom<Controller>& controllers, const json& args, Change change) {
  std::string uuid = args.at("room").get<std::string>();
  std::lock_guard<std::mutex> lock(room_registry().mutex);
  auto found = room_registry().joined.find(uuid);
  if (found == room_registry().joined.end()) throw std::invalid_argument("no joined room " + uuid);
  std::shared_ptr<SimRoom> room = found->second;
  return change(*room, controllers.of(uuid));
}

// The local member of `room` as JSON (the member record's keys), an empty object
// when the room has none.
inline json local_member(const SimRoom& room) {
  json me = room.state().value("localMember", json());
  return me.is_object() ? me : json::object();
}

// The people waiting in the waiting room of `room` (the rooms' lock is held).
parlo::WaitingMemberList waiting_people(const std::string& room);

}  // namespace parlo_sim
