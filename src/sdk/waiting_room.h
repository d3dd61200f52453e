// The SDK's waiting room of a joined room: its state, the people waiting in it, the
// controller that admits, expels and moves them, and the listener of its events.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "sdk/parlo_types.h"
#include "sdk/room_member.h"

namespace parlo {

struct WaitingRoomInfo {
  std::string roomUuid;
  std::string logo;
  std::string backgroundImageUrl;
  uint32_t memberCount = 0;
  uint64_t chatroomId = 0;
  bool isEnabledOnEntry = false;
};

// A person waiting to be let in. Handed out by shared reference.
class IQVWaitingRoomMember {
 public:
  virtual ~IQVWaitingRoomMember() = default;
  virtual std::string getUuid() const = 0;
  virtual std::string getName() const = 0;
  virtual std::string getAvatar() const = 0;
  virtual std::string reservedSlot3() const = 0;
  virtual int64_t getJoinTime() const = 0;
  virtual int32_t getStatus() const = 0;
};

using WaitingMemberPtr = std::shared_ptr<IQVWaitingRoomMember>;
using WaitingMemberList = std::list<WaitingMemberPtr>;

class IQVWaitingRoomListener {
 public:
  virtual ~IQVWaitingRoomListener() = default;
  virtual void onWaitingRoomInfoUpdated(const WaitingRoomInfo& info) = 0;
  virtual void onMemberJoin(const WaitingMemberPtr& member, int32_t reason) = 0;
  virtual void onMemberLeave(const std::string& userUuid, int32_t reason) = 0;
  virtual void onMemberAdmitted(const std::string& userUuid) = 0;
  virtual void onAllMembersKicked() = 0;
  virtual void onManagersUpdated(const RoomMemberList& managers) = 0;
  virtual void onMemberNameChanged(const std::string& userUuid, const std::string& name) = 0;
  virtual void onMyWaitingRoomStatusChanged(int32_t status, int32_t reason) = 0;
};

class IQVWaitingRoomController {
 public:
  virtual WaitingRoomInfo getWaitingRoomInfo() = 0;
  virtual void addListener(IQVWaitingRoomListener* listener) = 0;
  virtual void removeListener(IQVWaitingRoomListener* listener) = 0;
  virtual void changeMemberName(const std::string& userUuid, const std::string& name, QVCompletion completion) = 0;
  virtual void enableWaitingRoomOnEntry(QVCompletion completion) = 0;
  virtual void disableWaitingRoomOnEntry(bool admitWaiting, QVCompletion completion) = 0;
  virtual bool isWaitingRoomEnabledOnEntry() = 0;
  // From a join time on, at most `limit` (0: all), oldest first (order 0) or newest first.
  virtual void getMemberList(int64_t fromJoinTime, int32_t limit, int32_t order,
                             QVResultCompletion<WaitingMemberList> completion) = 0;
  virtual void admitMember(const std::string& userUuid, bool autoAdmit, QVCompletion completion) = 0;
  virtual void reservedSlot9() = 0;
  virtual void admitAllMembers(QVCompletion completion) = 0;
  virtual void expelMember(const std::string& userUuid, bool notAllowRejoin, QVCompletion completion) = 0;
  virtual void reservedSlot12() = 0;
  virtual void expelAllMembers(bool notAllowRejoin, QVCompletion completion) = 0;
  virtual void putInWaitingRoom(const std::string& userUuid, QVCompletion completion) = 0;
  virtual void getWaitingRoomManagerList(QVResultCompletion<RoomMemberList> completion) = 0;

 protected:
  virtual ~IQVWaitingRoomController() = default;
};

}  // namespace parlo
