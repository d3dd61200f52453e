// Records of the message channel and of SIP calls as JSON, declared once per
// record with the SDK record's field names. Every record reads with defaults.
#pragma once

#include <nlohmann/json.hpp>

#include "sdk/message_channel_records.h"
#include "sdk/sip_controller.h"

namespace parlo {

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(CustomMessage, roomUuid, senderUuid, data, commandId)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SessionMessage, sessionId, sessionType, messageId, data, time)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(RecentSession, sessionId, sessionType, fromAccount, fromNick,
                                                recentMessageId, content, time, unreadCount)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SessionHistoryQuery, sessionId, sessionType, fromTime, toTime, limit,
                                                order)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SIPCallInfo, userUuid, name, isRepeatedCall)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(RoomSystemDevice, protocol, deviceAddress, name)

}  // namespace parlo
