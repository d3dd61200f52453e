// Room members of the simulated SDK. A member is an immutable snapshot: a change
// makes a new member, so an event keeps the member as it was when raised while the
// room moves on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <nlohmann/json.hpp>

#include "room_json.h"
#include "sdk/room_member.h"

namespace parlo_sim {

struct MemberState {
  std::string uuid;
  std::string name;
  std::string avatar;
  parlo::RoomRole role;
  bool isAudioOn = false;
  bool isVideoOn = false;
  bool isInRtcChannel = true;
  bool isInChatroom = true;
  bool isSharingScreen = false;
  bool isSharingWhiteboard = false;
  bool isInSipInviting = false;
  bool isInAppInviting = false;
  bool isSharingSystemAudio = false;
  parlo::StringMap properties;
  int32_t clientType = 0;
  bool isAudioConnected = true;
  int32_t inviteType = 0;
  int32_t inviteState = 0;
};

// Members as JSON use the keys script sees in a member record.
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(MemberState, uuid, name, avatar, role, isAudioOn, isVideoOn,
                                                isInRtcChannel, isInChatroom, isSharingScreen, isSharingWhiteboard,
                                                isInSipInviting, isInAppInviting, isSharingSystemAudio, properties,
                                                clientType, isAudioConnected, inviteType, inviteState)

class SimMember final : public parlo::IQVRoomMember {
 public:
  explicit SimMember(MemberState state) : s_(std::move(state)) {}

  std::string getUuid() const override { return s_.uuid; }
  std::string getName() const override { return s_.name; }
  std::string getAvatar() const override { return s_.avatar; }
  parlo::RoomRole getRole() const override { return s_.role; }
  bool isAudioOn() const override { return s_.isAudioOn; }
  bool isVideoOn() const override { return s_.isVideoOn; }
  bool isInRtcChannel() const override { return s_.isInRtcChannel; }
  bool isInChatroom() const override { return s_.isInChatroom; }
  bool isSharingScreen() const override { return s_.isSharingScreen; }
  bool isSharingWhiteboard() const override { return s_.isSharingWhiteboard; }
  bool isInSIPInviting() const override { return s_.isInSipInviting; }
  bool isInAppInviting() const override { return s_.isInAppInviting; }
  bool isSharingSystemAudio() const override { return s_.isSharingSystemAudio; }
  parlo::StringMap getProperties() const override { return s_.properties; }
  int32_t getClientType() const override { return s_.clientType; }
  bool isAudioConnected() const override { return s_.isAudioConnected; }
  int32_t getInviteType() const override { return s_.inviteType; }
  int32_t getInviteState() const override { return s_.inviteState; }

 private:
  MemberState s_;
};

MemberState state_of(const parlo::IQVRoomMember& member);
parlo::RoomMemberPtr make_member(MemberState state);
// The member after `change`, as a new snapshot.
parlo::RoomMemberPtr changed(const parlo::RoomMemberPtr& member, const std::function<void(MemberState&)>& change);

}  // namespace parlo_sim
