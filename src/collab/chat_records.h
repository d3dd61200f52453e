// Script forms of chat messages, the same wherever a message reaches script (send
// results, history pages, room events), chatroom members, and the history query
// read from script.
#pragma once

#include <napi.h>

#include "sdk/chat_controller.h"
#include "sdk/chat_message.h"

namespace parlo {

// A null message becomes an empty object; a message of an unknown kind gets only
// the keys every message has.
Napi::Value to_js(Napi::Env env, const ChatMessagePtr& message);
// nick, avatar.
Napi::Value to_js(Napi::Env env, const ChatroomMember& member);

}  // namespace parlo

namespace brimo {

// A history page: null entries are skipped and take no index, so the array then
// ends in as many unset elements.
Napi::Value message_list_to_js(Napi::Env env, const parlo::ChatMessageList& messages);

// startTime (truncated to an integer), limit and order, each read when present.
parlo::ChatroomHistoryOptions read_history_options(Napi::Env env, const Napi::Value& value);

}  // namespace brimo

namespace parlo {

inline void read_value(const Napi::Value& v, ChatroomHistoryOptions& out) {
  out = brimo::read_history_options(v.Env(), v);
}

}  // namespace parlo
