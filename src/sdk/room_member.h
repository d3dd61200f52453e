// The SDK's room member. Members are handed out as shared references; a member
// stays alive while any reference is held, whatever thread holds it.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "sdk/room_records.h"

namespace parlo {

class IQVRoomMember {
 public:
  virtual ~IQVRoomMember() = default;
  virtual std::string getUuid() const = 0;
  virtual std::string getName() const = 0;
  virtual std::string getAvatar() const = 0;
  virtual RoomRole getRole() const = 0;
  virtual bool isAudioOn() const = 0;
  virtual bool isVideoOn() const = 0;
  virtual bool isInRtcChannel() const = 0;
  virtual bool isInChatroom() const = 0;
  virtual bool isSharingScreen() const = 0;
  virtual bool isSharingWhiteboard() const = 0;
  virtual bool isInSIPInviting() const = 0;
  virtual bool isInAppInviting() const = 0;
  virtual bool isSharingSystemAudio() const = 0;
  virtual StringMap getProperties() const = 0;
  virtual int32_t getClientType() const = 0;
  virtual bool isAudioConnected() const = 0;
  virtual int32_t getInviteType() const = 0;
  virtual int32_t getInviteState() const = 0;
};

using RoomMemberPtr = std::shared_ptr<IQVRoomMember>;
using RoomMemberList = std::list<RoomMemberPtr>;

}  // namespace parlo
