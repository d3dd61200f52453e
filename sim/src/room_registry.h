// Every room of the process, and what script set up for rooms, under one lock.
// Rooms are state of the simulation, not of the kit: a kit destroyed and made again
// finds the rooms it joined.
//
// Locking: everything here is read and written under the registry's mutex, and no
// listener is called while it is held: a change answers its room events, which are
// raised later on the SDK thread. Controller factories run outside the lock, as
// they may reach the rooms.
#pragma once

#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "sdk/room_service.h"
#include "sim_room.h"
#include "sim_rooms.h"

namespace parlo_sim {

struct RoomRegistry {
  std::mutex mutex;
  std::map<std::string, std::pair<parlo::CreateRoomParams, parlo::CreateRoomOptions>> created;
  std::map<std::string, std::shared_ptr<SimRoom>> joined;
  std::map<std::string, parlo::RoomTemplate> templates;  // by fetch key; "*" is every other key
  std::map<std::string, parlo::ChatMessageList> history;
  std::map<std::string, std::list<parlo::CloudRecord>> records;
  std::map<std::string, ControllerFactory> factories;
};

RoomRegistry& room_registry();

// Runs `change` on the joined room `uuid` under the registry's lock, then raises the
// events it answers on the room's listeners, later, on the SDK thread. False, with
// nothing run, when no room of that UUID is joined. What `change` throws leaves
// through with_room, and nothing is raised. The room stays alive for the whole of
// `change`, even when `change` takes it out of the registry.
bool with_room(const std::string& uuid, const std::function<RoomEvents(SimRoom&)>& change);

// with_room for control commands: args.room names the room; a room that is not
// joined is an error script sees. Answers true.
json change_room(const json& args, const std::function<RoomEvents(SimRoom&)>& change);

// Raises `events` on every listener of `room`, later, on the SDK thread.
void raise_later(const std::string& room, RoomEvents events);

// A room that is gone: the room and statistics listeners it has now hear `last`,
// later, on the SDK thread, then go with it. Listeners that a later room of the same
// UUID gets are not its own and stay.
void retire(const std::string& room, RoomEvents last);

// The template fetched with `key`: the one script set for it, else the one set for
// "*", else the rooms' default. The registry's lock is held.
parlo::RoomTemplate template_for(const std::string& key);

// Forgets every room, its settings and what was kept for it; the joined rooms are
// retired with no last events. Controller factories stay.
void reset_rooms();

}  // namespace parlo_sim
