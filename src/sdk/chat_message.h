// The SDK's chat messages: a base message and five kinds that extend it, told apart
// by the kind the base reports. Messages are handed out as shared references.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>

namespace parlo {

enum ChatMessageKind : int32_t {
  kChatText = 0,
  kChatCustom = 1,
  kChatFile = 2,
  kChatImage = 3,
  kChatNotification = 4,
};

class IQVChatMessage {
 public:
  virtual ~IQVChatMessage() = default;
  virtual int32_t getMessageType() const = 0;
  virtual std::string getFromUserUuid() const = 0;
  virtual std::string getFromNick() const = 0;
  virtual std::string getFromAvatar() const = 0;
  virtual std::list<std::string> getToUserUuidList() const = 0;
  virtual uint64_t getTime() const = 0;
  virtual std::string getMessageUuid() const = 0;
  virtual int32_t getChatroomType() const = 0;
};

class IQVChatTextMessage : public IQVChatMessage {
 public:
  virtual std::string getText() const = 0;
};

class IQVChatCustomMessage : public IQVChatMessage {
 public:
  virtual std::string getAttachStr() const = 0;
};

class IQVChatFileMessage : public IQVChatMessage {
 public:
  virtual std::string getDisplayName() const = 0;
  virtual std::string getExtension() const = 0;
  virtual std::string getMd5() const = 0;
  virtual std::string getUrl() const = 0;
  virtual uint64_t getSize() const = 0;
  virtual std::string getPath() const = 0;
};

class IQVChatImageMessage : public IQVChatFileMessage {
 public:
  virtual int32_t getWidth() const = 0;
  virtual int32_t getHeight() const = 0;
};

class IQVChatAttachment {
 public:
  virtual ~IQVChatAttachment() = default;
  virtual std::string getContent() const = 0;
};

class IQVChatNotificationMessage : public IQVChatMessage {
 public:
  // May be null: a notification need not carry an attachment.
  virtual std::shared_ptr<IQVChatAttachment> getAttachment() const = 0;
};

using ChatMessagePtr = std::shared_ptr<IQVChatMessage>;
using ChatMessageList = std::list<ChatMessagePtr>;

// How a chatroom history is fetched: from which time, how many, in which order.
struct ChatroomHistoryOptions {
  int64_t startTime = 0;
  int32_t limit = 0;
  int32_t order = 0;
};

}  // namespace parlo
