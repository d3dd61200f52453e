// The simulated room service: creating stores a room's settings in the registry,
// joining makes the room from them, lookups and history read what the registry keeps.
#include <algorithm>
#include <list>
#include <map>
#include <mutex>

#include "engine.h"
#include "room_registry.h"
#include "sim_members.h"
#include "sim_rooms.h"

namespace parlo_sim {
namespace {

Engine& engine() { return Engine::get(); }

// Completes with the scripted result, or else with what `from_state` reads from the
// rooms (under their lock).
template <class T, class FromState>
void answer_from_state(Answer answer, parlo::QVResultCompletion<T> done, FromState from_state) {
  T fallback;
  {
    std::lock_guard<std::mutex> lock(room_registry().mutex);
    fallback = from_state();
  }
  T result = answer.result_or<T>(std::move(fallback));
  engine().finish(answer, std::move(done), result);
}

// The state of a room joined with `params`, from what createRoom stored for it. The
// registry's lock is held.
RoomState initial_state(const parlo::JoinRoomParams& params, const parlo::JoinRoomOptions& options) {
  RoomState s;
  s.roomUuid = params.roomUuid;
  s.roomName = params.roomUuid;
  s.password = params.password;
  auto& created = room_registry().created;
  auto stored = created.find(params.roomUuid);
  if (stored != created.end()) {
    const parlo::CreateRoomParams& c = stored->second.first;
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
  RoomRegistry& r = room_registry();
  RoomState state;
  std::map<std::string, ControllerFactory> factories;
  {
    std::lock_guard<std::mutex> lock(r.mutex);
    auto joined = r.joined.find(params.roomUuid);
    if (joined != r.joined.end()) return joined->second;
    state = initial_state(params, options);
    factories = r.factories;
  }
  if (overrides.is_object()) {
    json merged = state;
    merged.update(overrides);
    merged["roomUuid"] = params.roomUuid;
    state = merged.get<RoomState>();
  }
  // Controllers are made outside the lock: their factories may reach the rooms.
  auto room = std::make_shared<SimRoom>(std::move(state), factories);
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.joined.emplace(params.roomUuid, room).first->second;
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

}  // namespace

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

void SimRoomService::createRoom(const parlo::CreateRoomParams& params, const parlo::CreateRoomOptions& options,
                                parlo::QVCompletion done) {
  Answer answer = engine().call("createRoom", json::array({params, options}));
  if (answer.code == 0) {
    std::lock_guard<std::mutex> lock(room_registry().mutex);
    room_registry().created[params.roomUuid] = {params, options};
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
  std::lock_guard<std::mutex> lock(room_registry().mutex);
  auto& joined = room_registry().joined;
  auto found = joined.find(roomUuid);
  if (found == joined.end() || !room_linked(roomUuid, "roomContext")) return nullptr;
  return found->second.get();
}

// A lookup, not an operation, like getRoomContext.
parlo::IQVPreviewRoomContext* SimRoomService::getPreviewRoomContext() { return preview_room_context(); }

void SimRoomService::getRoomCloudRecordList(const std::string& roomUuid,
                                            parlo::QVResultCompletion<std::list<parlo::CloudRecord>> done) {
  answer_from_state(engine().call("getRoomCloudRecordList", json::array({roomUuid})), std::move(done),
                    [&] { return room_registry().records[roomUuid]; });
}

void SimRoomService::fetchChatroomHistoryMessages(const std::string& roomUuid,
                                                  const parlo::ChatroomHistoryOptions& options,
                                                  parlo::QVResultCompletion<parlo::ChatMessageList> done) {
  answer_from_state(engine().call("fetchChatroomHistoryMessages", json::array({roomUuid, options})), std::move(done),
                    [&] { return history_page(room_registry().history[roomUuid], options); });
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
