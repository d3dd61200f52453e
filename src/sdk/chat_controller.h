// The SDK's chat controller of a joined room. A room has two: the room's own chat
// and the waiting room's. Slots the module does not call keep their places.
#pragma once

#include <cstdint>
#include <list>
#include <string>

#include "sdk/chat_message.h"
#include "sdk/parlo_types.h"

namespace parlo {

// One member of a chatroom as the SDK lists it.
struct ChatroomMember {
  std::string nick;
  std::string avatar;
};
using ChatroomMemberList = std::list<ChatroomMember>;

// A send completes with the message as sent (possibly null).
using ChatSendCompletion = QVResultCompletion<ChatMessagePtr>;

class IQVRoomChatController {
 public:
  virtual bool isSupported() = 0;
  virtual void reservedSlot1() = 0;
  virtual void joinChatroom(QVCompletion completion) = 0;
  virtual void leaveChatroom(QVCompletion completion) = 0;
  virtual void sendBroadcastTextMessage(const std::string& text, ChatSendCompletion completion) = 0;
  virtual void reservedSlot5() = 0;
  virtual void sendDirectTextMessage(const std::string& toUserUuid, const std::string& text,
                                     ChatSendCompletion completion) = 0;
  virtual void reservedSlot7() = 0;
  virtual void sendGroupTextMessage(const std::list<std::string>& toUserUuids, const std::string& text,
                                    ChatSendCompletion completion) = 0;
  virtual void reservedSlot9() = 0;
  virtual void fetchChatRoomMembers(int32_t offset, int32_t limit,
                                    QVResultCompletion<ChatroomMemberList> completion) = 0;
  // The caller names the message, so that a file's transfer can be followed and cancelled.
  virtual void sendTextMessage(const std::string& messageUuid, const std::string& text,
                               const std::list<std::string>& toUserUuids, ChatSendCompletion completion) = 0;
  virtual void reservedSlot12() = 0;
  virtual void sendFileMessage(const std::string& messageUuid, const std::string& filePath,
                               const std::list<std::string>& toUserUuids, ChatSendCompletion completion) = 0;
  virtual void reservedSlot14() = 0;
  virtual void sendImageMessage(const std::string& messageUuid, const std::string& filePath, int32_t width,
                                int32_t height, const std::list<std::string>& toUserUuids,
                                ChatSendCompletion completion) = 0;
  virtual void reservedSlot16() = 0;
  virtual void cancelSendFileMessage(const std::string& messageUuid, QVCompletion completion) = 0;
  virtual void downloadAttachment(const std::string& messageUuid, const std::string& url, const std::string& savePath,
                                  QVCompletion completion) = 0;
  virtual void cancelDownloadAttachment(const std::string& messageUuid, QVCompletion completion) = 0;
  virtual void fetchChatroomHistoryMessages(const ChatroomHistoryOptions& options,
                                            QVResultCompletion<ChatMessageList> completion) = 0;
  virtual void recallChatroomMessage(const std::string& messageUuid, int64_t time, QVCompletion completion) = 0;
  virtual void reservedSlot22() = 0;
  virtual void sendBroadcastCustomMessage(const std::string& attachStr, ChatSendCompletion completion) = 0;

 protected:
  virtual ~IQVRoomChatController() = default;
};

}  // namespace parlo
