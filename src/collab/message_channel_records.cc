#include "collab/message_channel_records.h"

#include "core/from_js.h"
#include "core/record_reader.h"
#include "core/record_writer.h"
#include "room/room_params.h"

namespace brimo {

using parlo::SessionHistoryQuery;

int32_t sdk_session_type(const Napi::Value& value) { return int32(value) == 0 ? 1 : 0; }

namespace {

const KeyReader<SessionHistoryQuery> kQueryKeys[] = {
    key<&SessionHistoryQuery::sessionId>("sessionId"),
    {"sessionType", [](const Napi::Value& v, SessionHistoryQuery& q) { q.sessionType = sdk_session_type(v); }},
    key<&SessionHistoryQuery::fromTime>("fromTime"),
    key<&SessionHistoryQuery::toTime>("toTime"),
    key<&SessionHistoryQuery::limit>("limit"),
    key<&SessionHistoryQuery::order>("order"),
};

}  // namespace

parlo::SessionHistoryQuery read_session_query(Napi::Env env, const Napi::Value& value) {
  return record_from(env, value, kQueryKeys);
}

}  // namespace brimo

namespace parlo {

using brimo::field;
using brimo::KeyWriter;
using brimo::write_keys;

namespace {

const KeyWriter<CustomMessage> kCustomKeys[] = {
    field<&CustomMessage::roomUuid>("roomUuid"),
    field<&CustomMessage::senderUuid>("senderUuid"),
    field<&CustomMessage::data>("data"),
    field<&CustomMessage::commandId>("commandId"),
};

const KeyWriter<SessionMessage> kSessionMessageKeys[] = {
    field<&SessionMessage::sessionId>("sessionId"),
    field<&SessionMessage::messageId>("messageId"),
    field<&SessionMessage::data>("data"),
    field<&SessionMessage::time>("time"),
};

const KeyWriter<RecentSession> kRecentKeys[] = {
    field<&RecentSession::sessionId>("sessionId"),
    field<&RecentSession::fromAccount>("fromAccount"),
    field<&RecentSession::fromNick>("fromNick"),
    field<&RecentSession::recentMessageId>("recentMessageId"),
    field<&RecentSession::content>("content"),
    field<&RecentSession::unreadCount>("unreadCount"),
    field<&RecentSession::time>("time"),
};

// The last key of both session records.
Napi::Value with_session_type(Napi::Object record, int32_t type) {
  if (type == 1) record.Set("sessionType", Napi::Number::New(record.Env(), 0));
  if (type == 0) record.Set("sessionType", Napi::Number::New(record.Env(), -1));
  return record;
}

}  // namespace

Napi::Value to_js(Napi::Env env, const CustomMessage& message) { return write_keys(env, message, kCustomKeys); }

Napi::Value to_js(Napi::Env env, const SessionMessage& message) {
  return with_session_type(write_keys(env, message, kSessionMessageKeys), message.sessionType);
}

Napi::Value to_js(Napi::Env env, const RecentSession& session) {
  return with_session_type(write_keys(env, session, kRecentKeys), session.sessionType);
}

}  // namespace parlo
