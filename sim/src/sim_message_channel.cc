// The simulated message channel: custom commands and session messages.
//
// A custom message sent to the local user (the signed-in account) comes back to the
// local listeners; one sent to a user of a room needs that room joined and the user
// in it, one sent to a room needs the room joined. Messages from everyone else
// arrive through script commands.
//
// Each session (its ID and SDK session type) keeps its messages oldest first and an
// unread count: a message that arrives is unread; clearing the count reads them all,
// deleting an unread message takes it off the count. Each change raises its events
// on the channel's listeners after the operation's completion.
#include "sim_message_channel.h"

#include <functional>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "collab_json.h"
#include "engine.h"
#include "events.h"
#include "room_operation.h"
#include "sim_rooms.h"

namespace parlo_sim {
namespace {

using L = parlo::IQVMessageChannelListener;
using parlo::RecentSession;
using parlo::SessionMessage;
using parlo::SessionMessageList;

Engine& engine() { return Engine::get(); }

Kind<L>& channel_listeners() {
  static Kind<L>& kind = Events::get().define<L>("messageChannel", {
      {"onCustomMessageReceived", op(&L::onCustomMessageReceived)},
      {"onSessionMessageReceived", op(&L::onSessionMessageReceived)},
      {"onSessionMessageRecentChanged", op(&L::onSessionMessageRecentChanged)},
      {"onSessionMessageDeleted", op(&L::onSessionMessageDeleted)},
  });
  return kind;
}

struct Session {
  SessionMessageList messages;  // oldest first; the last `unread` are unread
  uint32_t unread = 0;
  std::string fromAccount;
  std::string fromNick;
};

using SessionKey = std::pair<std::string, int32_t>;  // session ID, SDK session type

struct Channel {
  std::mutex mutex;
  std::map<SessionKey, Session> sessions;
  int64_t next_message = 1;
};

Channel& channel() {
  static auto* c = new Channel();
  return *c;
}

// What the listeners hear from one change, in order.
using ChannelEvents = std::vector<std::function<void(L*)>>;

// Raises `events` on every listener of the channel, later, on the SDK thread.
void raise(ChannelEvents events) {
  if (events.empty()) return;
  engine().post([events = std::move(events)] {
    channel_listeners().for_each("", [&](L* listener) {
      for (const auto& e : events) e(listener);
    });
  });
}

RecentSession recent(const SessionKey& key, const Session& s) {
  RecentSession r;
  r.sessionId = key.first;
  r.sessionType = key.second;
  r.fromAccount = s.fromAccount;
  r.fromNick = s.fromNick;
  r.unreadCount = s.unread;
  if (!s.messages.empty()) {
    r.recentMessageId = s.messages.back().messageId;
    r.content = s.messages.back().data;
    r.time = s.messages.back().time;
  }
  return r;
}

ChannelEvents recent_changed(const SessionKey& key, const Session& s) {
  parlo::RecentSessionList list{recent(key, s)};
  return {[list](L* l) { l->onSessionMessageRecentChanged(list); }};
}

// Runs `change` on the sessions under the channel's lock when the answer is a success.
ChannelEvents change_sessions(Answer& answer, const std::function<ChannelEvents(std::map<SessionKey, Session>&)>& change) {
  if (answer.code != 0) return {};
  std::lock_guard<std::mutex> lock(channel().mutex);
  return change(channel().sessions);
}

// The local user, as the rooms name the local member.
std::string local_account() {
  std::string account = signed_in_account();
  return account.empty() ? "sim-local-user" : account;
}

// Whether `room` is joined and, when `user` is given, has that member.
bool reachable(const std::string& room, const std::string& user) {
  bool found = false;
  bool joined = with_room(room, [&](SimRoom& r) {
    found = user.empty() || !member_in(r.state(), user).is_null();
    return RoomEvents{};
  });
  return joined && found;
}

// A session message arrives from someone else: kept as unread.
SessionMessage arrive(const json& given) {
  SessionMessage message = given.get<SessionMessage>();
  ChannelEvents events;
  {
    std::lock_guard<std::mutex> lock(channel().mutex);
    if (message.messageId.empty()) message.messageId = "sim-msg-" + std::to_string(channel().next_message++);
    if (message.time == 0) message.time = now_ms();
    SessionKey key{message.sessionId, message.sessionType};
    Session& session = channel().sessions[key];
    session.messages.push_back(message);
    ++session.unread;
    session.fromAccount = given.value("fromAccount", session.fromAccount);
    session.fromNick = given.value("fromNick", session.fromNick);
    events.push_back([message](L* l) { l->onSessionMessageReceived(message); });
    auto changed = recent_changed(key, session);
    events.insert(events.end(), changed.begin(), changed.end());
  }
  raise(std::move(events));
  return message;
}

json sessions_json() {
  std::lock_guard<std::mutex> lock(channel().mutex);
  json out = json::array();
  for (const auto& [key, session] : channel().sessions) {
    out.push_back(json{{"sessionId", key.first},
                       {"sessionType", key.second},
                       {"unreadCount", session.unread},
                       {"fromAccount", session.fromAccount},
                       {"fromNick", session.fromNick},
                       {"messages", session.messages}});
  }
  return out;
}

const bool defined =
    (channel_listeners(), true) &&
    add_command("channel.custom",
                [](const json& args) {
                  auto message = args.at("message").get<parlo::CustomMessage>();
                  size_t reached = channel_listeners().count("");
                  raise({[message](L* l) { l->onCustomMessageReceived(message); }});
                  return json(reached);
                }) &&
    add_command("channel.receive", [](const json& args) { return json(arrive(args.at("message"))); }) &&
    add_command("channel.sessions", [](const json&) { return sessions_json(); }) &&
    add_command("channel.reset", [](const json&) {
      std::lock_guard<std::mutex> lock(channel().mutex);
      channel().sessions.clear();
      return json(true);
    });

}  // namespace

void SimMessageChannel::addMessageChannelListener(L* listener) {
  engine().call("addMessageChannelListener", json::array({engine().id_of(listener, "messageChannel")}));
  channel_listeners().add(listener);
}

void SimMessageChannel::removeMessageChannelListener(L* listener) {
  engine().call("removeMessageChannelListener", json::array({engine().id_of(listener, "messageChannel")}));
  channel_listeners().remove(listener);
  engine().forget(listener);
}

void SimMessageChannel::sendCustomMessage(const std::string& roomUuid, const std::string& userUuid,
                                          int32_t commandId, const std::string& data, parlo::QVCompletion done) {
  Answer answer = engine().call("sendCustomMessage", json::array({roomUuid, userUuid, commandId, data}));
  if (answer.code == 0 && !roomUuid.empty() && !reachable(roomUuid, userUuid)) {
    fail(answer, kNotFound, "no member " + userUuid + " in a joined room " + roomUuid);
  }
  engine().finish(answer, std::move(done));
  std::string me = local_account();
  if (answer.code == 0 && userUuid == me) {
    parlo::CustomMessage message{roomUuid, me, data, commandId};
    raise({[message](L* l) { l->onCustomMessageReceived(message); }});
  }
}

void SimMessageChannel::sendCustomMessageToRoom(const std::string& roomUuid, int32_t commandId,
                                                const std::string& data, parlo::QVCompletion done) {
  Answer answer = engine().call("sendCustomMessageToRoom", json::array({roomUuid, commandId, data}));
  if (answer.code == 0 && !reachable(roomUuid, "")) fail(answer, kNotFound, "no joined room " + roomUuid);
  engine().finish(answer, std::move(done));
}

// The unread messages of a session, oldest first.
void SimMessageChannel::queryUnreadMessageList(const std::string& sessionId, int32_t sessionType,
                                               parlo::QVResultCompletion<SessionMessageList> done) {
  Answer answer = engine().call("queryUnreadMessageList", json::array({sessionId, sessionType}));
  SessionMessageList unread;
  change_sessions(answer, [&](std::map<SessionKey, Session>& sessions) {
    auto found = sessions.find({sessionId, sessionType});
    if (found != sessions.end()) {
      auto first = found->second.messages.end();
      std::advance(first, -static_cast<long>(found->second.unread));
      unread.assign(first, found->second.messages.end());
    }
    return ChannelEvents{};
  });
  unread = answer.result_or(unread);
  engine().finish(answer, std::move(done), unread);
}

void SimMessageChannel::clearUnreadCount(const std::string& sessionId, int32_t sessionType, parlo::QVCompletion done) {
  Answer answer = engine().call("clearUnreadCount", json::array({sessionId, sessionType}));
  ChannelEvents events = change_sessions(answer, [&](std::map<SessionKey, Session>& sessions) -> ChannelEvents {
    auto found = sessions.find({sessionId, sessionType});
    if (found == sessions.end() || found->second.unread == 0) return {};
    found->second.unread = 0;
    return recent_changed(found->first, found->second);
  });
  engine().finish(answer, std::move(done));
  raise(std::move(events));
}

void SimMessageChannel::deleteSessionMessage(const std::string& sessionId, int32_t sessionType,
                                             const std::string& messageId, parlo::QVCompletion done) {
  Answer answer = engine().call("deleteSessionMessage", json::array({sessionId, sessionType, messageId}));
  ChannelEvents events = change_sessions(answer, [&](std::map<SessionKey, Session>& sessions) -> ChannelEvents {
    auto found = sessions.find({sessionId, sessionType});
    if (found == sessions.end()) {
      fail(answer, kNotFound, "no session " + sessionId);
      return {};
    }
    Session& session = found->second;
    size_t from_end = 0;
    for (auto it = session.messages.rbegin(); it != session.messages.rend(); ++it, ++from_end) {
      if (it->messageId != messageId) continue;
      SessionMessage gone = *it;
      if (from_end < session.unread) --session.unread;
      session.messages.erase(std::next(it).base());
      ChannelEvents events{[gone](L* l) { l->onSessionMessageDeleted(gone); }};
      auto changed = recent_changed(found->first, session);
      events.insert(events.end(), changed.begin(), changed.end());
      return events;
    }
    fail(answer, kNotFound, "no message " + messageId + " in session " + sessionId);
    return {};
  });
  engine().finish(answer, std::move(done));
  raise(std::move(events));
}

void SimMessageChannel::deleteAllSessionMessage(const std::string& sessionId, int32_t sessionType,
                                                parlo::QVCompletion done) {
  Answer answer = engine().call("deleteAllSessionMessage", json::array({sessionId, sessionType}));
  ChannelEvents events = change_sessions(answer, [&](std::map<SessionKey, Session>& sessions) -> ChannelEvents {
    auto found = sessions.find({sessionId, sessionType});
    if (found == sessions.end() || found->second.messages.empty()) return {};
    ChannelEvents events;
    for (const SessionMessage& gone : found->second.messages) {
      events.push_back([gone](L* l) { l->onSessionMessageDeleted(gone); });
    }
    found->second.messages.clear();
    found->second.unread = 0;
    auto changed = recent_changed(found->first, found->second);
    events.insert(events.end(), changed.begin(), changed.end());
    return events;
  });
  engine().finish(answer, std::move(done));
  raise(std::move(events));
}

// Messages from fromTime to toTime (0: no end), oldest first (order 0) or newest
// first, at most `limit` (0: all).
void SimMessageChannel::getSessionMessagesHistory(const parlo::SessionHistoryQuery& query,
                                                  parlo::QVResultCompletion<SessionMessageList> done) {
  Answer answer = engine().call("getSessionMessagesHistory", json::array({query}));
  SessionMessageList page;
  change_sessions(answer, [&](std::map<SessionKey, Session>& sessions) {
    auto found = sessions.find({query.sessionId, query.sessionType});
    if (found == sessions.end()) return ChannelEvents{};
    for (const SessionMessage& m : found->second.messages) {
      if (m.time >= query.fromTime && (query.toTime == 0 || m.time <= query.toTime)) page.push_back(m);
    }
    return ChannelEvents{};
  });
  if (query.order != 0) page.reverse();
  if (query.limit > 0 && page.size() > query.limit) page.resize(query.limit);
  page = answer.result_or(page);
  engine().finish(answer, std::move(done), page);
}

}  // namespace parlo_sim
