#include "room_registry.h"

#include <set>
#include <stdexcept>
#include <vector>

#include "listener_kinds.h"

namespace parlo_sim {
namespace {

using L = parlo::IQVRoomListener;

// A room's listeners of one kind, taken now.
template <class Listener>
std::set<Listener*> listeners_of(Kind<Listener>& kind, const std::string& room) {
  std::set<Listener*> own;
  kind.for_each(room, [&](Listener* listener) { own.insert(listener); });
  return own;
}

// The listeners of `own` still registered for `room` hear `last`, then are removed.
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

}  // namespace

RoomRegistry& room_registry() {
  static auto* r = new RoomRegistry();
  return *r;
}

bool with_room(const std::string& uuid, const std::function<RoomEvents(SimRoom&)>& change) {
  RoomEvents events;
  {
    std::lock_guard<std::mutex> lock(room_registry().mutex);
    auto found = room_registry().joined.find(uuid);
    if (found == room_registry().joined.end()) return false;
    std::shared_ptr<SimRoom> room = found->second;  // the change may end the room
    events = change(*room);
  }
  raise_later(uuid, std::move(events));
  return true;
}

json change_room(const json& args, const std::function<RoomEvents(SimRoom&)>& change) {
  std::string uuid = args.at("room").get<std::string>();
  if (!with_room(uuid, change)) throw std::invalid_argument("no joined room " + uuid);
  return true;
}

void raise_later(const std::string& room, RoomEvents events) {
  if (events.empty()) return;
  Engine::get().post([room, events = std::move(events)] {
    room_listeners().for_each(room, [&](L* listener) {
      for (const RoomEvent& e : events) e(listener);
    });
  });
}

void retire(const std::string& room, RoomEvents last) {
  auto rooms = listeners_of(room_listeners(), room);
  auto stats = listeners_of(rtc_stats_listeners(), room);
  Engine::get().post([room, last = std::move(last), rooms, stats] {
    drop(room_listeners(), room, rooms, last);
    drop(rtc_stats_listeners(), room, stats);
  });
}

parlo::RoomTemplate template_for(const std::string& key) {
  auto& templates = room_registry().templates;
  auto found = templates.find(key);
  if (found == templates.end()) found = templates.find("*");
  return found == templates.end() ? default_template() : found->second;
}

void reset_rooms() {
  std::vector<std::string> joined;
  {
    RoomRegistry& r = room_registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (const auto& entry : r.joined) joined.push_back(entry.first);
    r.created.clear();
    r.joined.clear();
    r.templates.clear();
    r.history.clear();
    r.records.clear();
  }
  for (const auto& uuid : joined) retire(uuid, {});
}

bool add_room_controller(const std::string& link, ControllerFactory factory) {
  std::lock_guard<std::mutex> lock(room_registry().mutex);
  room_registry().factories[link] = std::move(factory);
  return true;
}

bool deliver_chat(const std::string& room_uuid, const parlo::ChatMessageList& messages) {
  return with_room(room_uuid, [&](SimRoom& room) { return room.chat(messages); });
}

}  // namespace parlo_sim
