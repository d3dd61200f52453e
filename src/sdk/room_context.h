// The SDK's room context: one joined room, its state, members, listeners and
// controllers. The controllers are declared with their own subsystems.
#pragma once

#include <cstdint>
#include <string>

#include "sdk/parlo_types.h"
#include "sdk/room_listener.h"
#include "sdk/room_member.h"
#include "sdk/room_records.h"
#include "sdk/rtc_stats_listener.h"

namespace parlo {

class IQVRoomChatController;
class IQVRoomRtcController;
class IQVRoomWhiteboardController;
class IQVRoomAnnotationController;
class IQVRoomLiveController;
class IQVWaitingRoomController;
class IQVRoomSIPController;
class IQVRoomAppInviteController;

class IQVRoomContext {
 public:
  virtual std::string getRoomUuid() = 0;
  virtual std::string getRoomName() = 0;
  virtual std::string getPassword() = 0;
  virtual std::string getSipCid() = 0;
  virtual int64_t getRtcStartTime() = 0;
  virtual int64_t getRemainingSeconds() = 0;
  virtual int64_t getMaxMembers() = 0;
  virtual RoomTemplate getRoomTemplate() = 0;
  virtual StringMap getRoomProperties() = 0;
  // Null when the room has no local member.
  virtual RoomMemberPtr getLocalMember() = 0;
  virtual RoomMemberList getRemoteMembers() = 0;
  virtual RoomMemberList getInSIPInvitingMembers() = 0;
  virtual RoomMemberList getInAppInvitingMembers() = 0;

  virtual IQVRoomChatController* getChatController() = 0;
  virtual IQVRoomChatController* getWaitingRoomChatController() = 0;
  virtual IQVRoomRtcController* getRtcController() = 0;
  virtual IQVRoomWhiteboardController* getWhiteboardController() = 0;
  virtual IQVRoomAnnotationController* getAnnotationController() = 0;
  virtual IQVRoomLiveController* getLiveController() = 0;

  virtual void changeMyName(const std::string& name, QVCompletion completion) = 0;
  virtual void changeMemberName(const std::string& userUuid, const std::string& name, QVCompletion completion) = 0;
  virtual void changeMemberRole(const std::string& userUuid, const std::string& role, QVCompletion completion) = 0;
  virtual void changeMembersRole(const StringMap& roles, QVCompletion completion) = 0;
  virtual void handOverMyRole(const std::string& userUuid, bool keepInRoom, QVCompletion completion) = 0;
  virtual void kickMemberOut(const std::string& userUuid, bool addToBlacklist, QVCompletion completion) = 0;
  virtual void addRoomListener(IQVRoomListener* listener) = 0;
  virtual void removeRoomListener(IQVRoomListener* listener) = 0;
  virtual void addRtcStatsListener(IQVRtcStatsListener* listener) = 0;
  virtual void removeRtcStatsListener(IQVRtcStatsListener* listener) = 0;
  virtual void rejoinAfterAdmittedToRoom(QVCompletion completion) = 0;
  virtual void leaveRoom(QVCompletion completion) = 0;
  virtual void endRoom(QVCompletion completion) = 0;
  virtual void lockRoom(QVCompletion completion) = 0;
  virtual void unlockRoom(QVCompletion completion) = 0;
  virtual bool isRoomLocked() = 0;
  virtual void updateRoomProperty(const std::string& key, const std::string& value, const std::string& associatedUuid,
                                  QVCompletion completion) = 0;
  virtual void deleteRoomProperty(const std::string& key, QVCompletion completion) = 0;
  virtual void updateMemberProperty(const std::string& userUuid, const std::string& key, const std::string& value,
                                    QVCompletion completion) = 0;
  virtual void deleteMemberProperty(const std::string& userUuid, const std::string& key,
                                    QVCompletion completion) = 0;
  virtual void startCloudRecord(const CloudRecordConfig& config, QVCompletion completion) = 0;
  virtual void stopCloudRecord(QVCompletion completion) = 0;
  virtual bool isCloudRecording() = 0;

  virtual IQVWaitingRoomController* getWaitingRoomController() = 0;
  virtual IQVRoomSIPController* getSIPController() = 0;
  virtual IQVRoomAppInviteController* getAppInviteController() = 0;

  virtual bool isInWaitingRoom() = 0;
  virtual bool isRoomBlacklistEnabled() = 0;
  virtual void enableRoomBlacklist(bool enable, QVCompletion completion) = 0;

 protected:
  virtual ~IQVRoomContext() = default;
};


}  // namespace parlo
