// Operations of a room's controllers that change the room itself (whiteboard
// sharing, invitations): journalled like any operation, the change made under the
// rooms' lock through with_room, the completion run, and then the room events the
// change caused raised, after the completion, as the room's own operations do.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "engine.h"
#include "room_registry.h"
#include "sim_room.h"

namespace parlo_sim {

// Codes of the simulated controllers beyond success.
constexpr int32_t kNotFound = 404;  // no such member, call, message or room
constexpr int32_t kRefused = 403;   // the room does not allow it now
constexpr int32_t kConflict = 409;  // someone else holds it, or the callee is in the room already

struct RoomOperation {
  Answer answer;
  RoomEvents events;
};

// Journals `op` of `interface` and, when the answer is a success, runs `change` on
// the joined room `room` under the rooms' lock: it answers the room events it
// causes, or fails the answer (see fail()). A room that is not joined fails it with 404.
RoomOperation operate(const std::string& room, const char* interface, const char* op, json args,
                      const std::function<RoomEvents(SimRoom&, Answer&)>& change);

// Completes the operation with `results`, then raises its room events.
template <class Done, class... R>
void conclude(const std::string& room, RoomOperation& operation, Done done, R... results) {
  Engine::get().finish(operation.answer, std::move(done), results...);
  raise_later(room, std::move(operation.events));
}

// Fails `answer` with `code` and `message`; causes no event.
RoomEvents fail(Answer& answer, int32_t code, const std::string& message);

// Members in a room's state (SimRoom::state()), by the keys of the member record.
std::string local_uuid(const json& state);
// The member `user` of the room, local or remote; null when not in the room.
json member_in(const json& state, const std::string& user);

}  // namespace parlo_sim
