// The SDK's room service: creating, joining and finding rooms, templates, cloud
// recordings and chatroom history.
#pragma once

#include <list>
#include <string>

#include "sdk/chat_message.h"
#include "sdk/parlo_types.h"
#include "sdk/room_context.h"
#include "sdk/room_records.h"

namespace parlo {

class IQVPreviewRoomContext;

class IQVRoomService {
 public:
  virtual void createRoom(const CreateRoomParams& params, const CreateRoomOptions& options,
                          QVCompletion completion) = 0;
  virtual void fetchRoomTemplate(const std::string& templateKey, QVResultCompletion<RoomTemplate> completion) = 0;
  // The completion's room context is null when no room was joined.
  virtual void joinRoom(const JoinRoomParams& params, const JoinRoomOptions& options,
                        QVResultCompletion<IQVRoomContext*> completion) = 0;
  virtual void joinRoomByInvite(const JoinRoomParams& params, const JoinRoomOptions& options,
                                QVResultCompletion<IQVRoomContext*> completion) = 0;
  // The joined room of that UUID, or null; borrowed for the current call only.
  virtual IQVRoomContext* getRoomContext(const std::string& roomUuid) = 0;
  virtual IQVPreviewRoomContext* getPreviewRoomContext() = 0;
  virtual void getRoomCloudRecordList(const std::string& roomUuid,
                                      QVResultCompletion<std::list<CloudRecord>> completion) = 0;
  virtual void fetchChatroomHistoryMessages(const std::string& roomUuid, const ChatroomHistoryOptions& options,
                                            QVResultCompletion<ChatMessageList> completion) = 0;
  virtual void exportChatroomHistoryMessages(const std::string& roomUuid,
                                             QVResultCompletion<std::string> completion) = 0;
  virtual void rejectInvite(const std::string& roomUuid, QVResultCompletion<std::string> completion) = 0;

 protected:
  virtual ~IQVRoomService() = default;
};

}  // namespace parlo
