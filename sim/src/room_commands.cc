// The control commands through which script reaches the simulated rooms
// (sim.rooms.* in the control module): what a joined room looks like, changes to
// it that raise the room events the SDK would, and what rooms are set up with.
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine.h"
#include "room_registry.h"

namespace parlo_sim {
namespace {

using L = parlo::IQVRoomListener;

// Replaces what the registry keeps for one room (its history, its cloud records).
template <class T>
json keep_for_room(std::map<std::string, T>& kept, const json& args, const char* key) {
  T value = args.at(key).get<T>();
  std::lock_guard<std::mutex> lock(room_registry().mutex);
  kept[args.at("room").get<std::string>()] = std::move(value);
  return true;
}

const bool commands_added =
    add_command("rooms.list",
                [](const json&) {
                  std::lock_guard<std::mutex> lock(room_registry().mutex);
                  json uuids = json::array();
                  for (const auto& entry : room_registry().joined) uuids.push_back(entry.first);
                  return uuids;
                }) &&
    add_command("rooms.get",
                [](const json& args) -> json {
                  std::lock_guard<std::mutex> lock(room_registry().mutex);
                  auto& joined = room_registry().joined;
                  auto found = joined.find(args.at("room").get<std::string>());
                  return found == joined.end() ? json() : found->second->state();
                }) &&
    add_command("rooms.update",
                [](const json& args) {
                  return change_room(args, [&](SimRoom& room) { return room.update(args.at("changes")); });
                }) &&
    add_command("rooms.addMembers",
                [](const json& args) {
                  auto members = args.at("members").get<parlo::RoomMemberList>();
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
                    return room.put_properties(args.at("properties").get<parlo::StringMap>());
                  });
                }) &&
    add_command("rooms.deleteProperties",
                [](const json& args) {
                  return change_room(args, [&](SimRoom& room) {
                    return room.delete_properties(args.at("keys").get<std::vector<std::string>>());
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
                  std::lock_guard<std::mutex> lock(room_registry().mutex);
                  room_registry().templates[args.at("key").get<std::string>()] =
                      args.at("template").get<parlo::RoomTemplate>();
                  return true;
                }) &&
    add_command("rooms.setHistory",
                [](const json& args) { return keep_for_room(room_registry().history, args, "messages"); }) &&
    add_command("rooms.setCloudRecords",
                [](const json& args) { return keep_for_room(room_registry().records, args, "records"); }) &&
    add_command("rooms.reset", [](const json&) {
      reset_rooms();
      return json(true);
    });

}  // namespace
}  // namespace parlo_sim
