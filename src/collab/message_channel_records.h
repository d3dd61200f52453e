// The message channel's records as script sees them, the session history query read
// from script, and the session type, which script numbers differently from the SDK.
#pragma once

#include <napi.h>

#include <cstdint>

#include "sdk/message_channel_records.h"

namespace brimo {

// Script's session type 0 is the SDK's 1; any other number is the SDK's 0.
int32_t sdk_session_type(const Napi::Value& value);

parlo::SessionHistoryQuery read_session_query(Napi::Env env, const Napi::Value& value);

}  // namespace brimo

namespace parlo {

Napi::Value to_js(Napi::Env env, const CustomMessage& message);
// The SDK's session type 1 reaches script as 0 and 0 as -1; any other leaves the
// `sessionType` key out.
Napi::Value to_js(Napi::Env env, const SessionMessage& message);
Napi::Value to_js(Napi::Env env, const RecentSession& session);

inline void read_value(const Napi::Value& v, SessionHistoryQuery& out) { out = brimo::read_session_query(v.Env(), v); }

}  // namespace parlo
