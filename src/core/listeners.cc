#include "core/listeners.h"

#include <vector>

namespace brimo {
namespace {

// Adapters whose SDK object could no longer be found when their environment ended.
std::vector<std::unique_ptr<AdapterBase>>& stranded() {
  static auto* kept = new std::vector<std::unique_ptr<AdapterBase>>();
  return *kept;
}

void withdraw_table(IdTable& table) {
  for (auto& entry : table) {
    if (!entry.second->withdraw()) stranded().push_back(std::move(entry.second));
  }
  table.clear();
}

void withdraw_rooms(RoomTable& table) {
  for (auto& room : table) withdraw_table(room.second);
  table.clear();
}

}  // namespace

ListenerRegistry& ListenerRegistry::get() {
  static auto* registry = [] {
    at_teardown([] { get().withdraw_all(); });
    return new ListenerRegistry();
  }();
  return *registry;
}

void ListenerRegistry::withdraw_all() {
  withdraw_table(auth);
  withdraw_table(global);
  withdraw_table(message_channel);
  withdraw_table(preview_room);
  withdraw_rooms(room);
  withdraw_rooms(rtc_stats);
  withdraw_rooms(waiting_room);
}

}  // namespace brimo
