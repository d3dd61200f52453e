#include "room_operation.h"

#include <stdexcept>

namespace parlo_sim {

RoomOperation operate(const std::string& room, const char* interface, const char* op, json args,
                      const std::function<RoomEvents(SimRoom&, Answer&)>& change) {
  RoomOperation operation{Engine::get().call(op, std::move(args), interface), {}};
  Answer& answer = operation.answer;
  if (answer.code != 0) return operation;
  bool joined = with_room(room, [&](SimRoom& joined_room) {
    try {
      operation.events = change(joined_room, answer);
    } catch (const std::exception& e) {
      // A change the room refuses (a member who is not there) leaves it as it was.
      operation.events = fail(answer, kNotFound, e.what());
    }
    return RoomEvents{};
  });
  if (!joined) fail(answer, kNotFound, "no joined room " + room);
  return operation;
}

RoomEvents fail(Answer& answer, int32_t code, const std::string& message) {
  answer.code = code;
  answer.message = message;
  return {};
}

std::string local_uuid(const json& state) {
  const json& local = state.at("localMember");
  return local.is_object() ? local.value("uuid", "") : "";
}

json member_in(const json& state, const std::string& user) {
  const json& local = state.at("localMember");
  if (local.is_object() && local.value("uuid", "") == user) return local;
  for (const json& member : state.at("remoteMembers")) {
    if (member.is_object() && member.value("uuid", "") == user) return member;
  }
  return nullptr;
}

}  // namespace parlo_sim
