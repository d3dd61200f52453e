// The collaboration records as JSON, declared once per record with the SDK record's
// field names (every record reads with defaults): the message channel's and SIP
// calls', live records and images, the waiting room's state and its people,
// chatroom members; and chat messages written back as JSON.
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
#include "sdk/chat_controller.h"
#include "sdk/live_controller.h"
#include "sdk/waiting_room.h"

namespace parlo {

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(LiveRecord, title, password, liveLayout, userUuidList,
                                                extensionConfig, enableThirdParties, taskId, pushUrl, pullHlsUrl,
                                                pullHttpUrl, pullRtmpUrl, pullRtsUrl, state)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(LiveBackground, backgroundUrl, thumbnailBackgroundUrl, coverUrl,
                                                thumbnailCoverUrl, backgroundUpdatedSequence)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(WaitingRoomInfo, roomUuid, logo, backgroundImageUrl, memberCount,
                                                chatroomId, isEnabledOnEntry)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(ChatroomMember, nick, avatar)

}  // namespace parlo

namespace parlo_sim {

// A person in a waiting room, as JSON: uuid, name, avatar, joinTime, status.
struct WaitingPerson {
  std::string uuid;
  std::string name;
  std::string avatar;
  int64_t joinTime = 0;
  int32_t status = 0;
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(WaitingPerson, uuid, name, avatar, joinTime, status)

// An immutable snapshot: a change makes a new one.
class SimWaitingMember final : public parlo::IQVWaitingRoomMember {
 public:
  explicit SimWaitingMember(WaitingPerson person) : p_(std::move(person)) {}
  std::string getUuid() const override { return p_.uuid; }
  std::string getName() const override { return p_.name; }
  std::string getAvatar() const override { return p_.avatar; }
  std::string reservedSlot3() const override { return {}; }
  int64_t getJoinTime() const override { return p_.joinTime; }
  int32_t getStatus() const override { return p_.status; }

 private:
  WaitingPerson p_;
};

inline WaitingPerson person_of(const parlo::IQVWaitingRoomMember& m) {
  return {m.getUuid(), m.getName(), m.getAvatar(), m.getJoinTime(), m.getStatus()};
}

// A chat message with the keys of the script's record ("messageType" as the kind's
// name, or its number for kinds the module does not know); null for none.
nlohmann::json chat_message_to_json(const parlo::ChatMessagePtr& message);

}  // namespace parlo_sim

namespace nlohmann {

template <>
struct adl_serializer<parlo::WaitingMemberPtr> {
  static void from_json(const json& j, parlo::WaitingMemberPtr& member) {
    member = j.is_null() ? nullptr : std::make_shared<parlo_sim::SimWaitingMember>(j.get<parlo_sim::WaitingPerson>());
  }
  static void to_json(json& j, const parlo::WaitingMemberPtr& member) {
    j = member ? json(parlo_sim::person_of(*member)) : json();
  }
};

}  // namespace nlohmann
