// The objects the simulated SDK hands out by shared reference: members, chat
// messages of every kind and their attachments, and their JSON forms.
#include <memory>

#include "room_json.h"
#include "sim_members.h"

namespace parlo_sim {

MemberState state_of(const parlo::IQVRoomMember& m) {
  return MemberState{m.getUuid(),           m.getName(),          m.getAvatar(),          m.getRole(),
                     m.isAudioOn(),         m.isVideoOn(),        m.isInRtcChannel(),     m.isInChatroom(),
                     m.isSharingScreen(),   m.isSharingWhiteboard(), m.isInSIPInviting(), m.isInAppInviting(),
                     m.isSharingSystemAudio(), m.getProperties(), m.getClientType(),      m.isAudioConnected(),
                     m.getInviteType(),     m.getInviteState()};
}

parlo::RoomMemberPtr make_member(MemberState state) { return std::make_shared<SimMember>(std::move(state)); }

parlo::RoomMemberPtr changed(const parlo::RoomMemberPtr& member, const std::function<void(MemberState&)>& change) {
  MemberState state = state_of(*member);
  change(state);
  return make_member(std::move(state));
}

parlo::RoomMemberPtr member_from_json(const nlohmann::json& j) {
  if (j.is_null()) return nullptr;
  return make_member(j.get<MemberState>());
}

nlohmann::json member_to_json(const parlo::RoomMemberPtr& member) {
  if (!member) return nullptr;
  return state_of(*member);
}

namespace {

struct MessageState {
  int32_t kind = parlo::kChatText;
  std::string messageUuid;
  std::string fromUserUuid;
  std::string fromNick;
  std::string fromAvatar;
  std::list<std::string> toUserUuidList;
  uint64_t time = 0;
  int32_t chatroomType = 0;
  std::string text;
  std::string attachStr;
  bool hasAttachment = false;
  std::string displayName;
  std::string extension;
  std::string md5;
  std::string url;
  uint64_t size = 0;
  std::string path;
  int32_t width = 0;
  int32_t height = 0;
};

int32_t kind_of(const nlohmann::json& type) {
  if (type.is_number()) return type.get<int32_t>();
  static const std::map<std::string, int32_t> kinds = {
      {"text", parlo::kChatText},   {"custom", parlo::kChatCustom},
      {"file", parlo::kChatFile},   {"image", parlo::kChatImage},
      {"notification", parlo::kChatNotification},
  };
  auto found = kinds.find(type.get<std::string>());
  if (found == kinds.end()) throw std::invalid_argument("unknown messageType " + type.dump());
  return found->second;
}

MessageState message_state(const nlohmann::json& j) {
  MessageState s;
  s.kind = kind_of(j.value("messageType", nlohmann::json("text")));
  s.messageUuid = j.value("messageUuid", s.messageUuid);
  s.fromUserUuid = j.value("fromUserUuid", s.fromUserUuid);
  s.fromNick = j.value("fromNick", s.fromNick);
  s.fromAvatar = j.value("fromAvatar", s.fromAvatar);
  s.toUserUuidList = j.value("toUserUuidList", s.toUserUuidList);
  s.time = j.value("time", s.time);
  s.chatroomType = j.value("chatroomType", s.chatroomType);
  s.text = j.value("text", s.text);
  s.hasAttachment = j.contains("attachStr") && !j.at("attachStr").is_null();
  if (s.hasAttachment) s.attachStr = j.at("attachStr").get<std::string>();
  s.displayName = j.value("displayName", s.displayName);
  s.extension = j.value("extension", s.extension);
  s.md5 = j.value("md5", s.md5);
  s.url = j.value("url", s.url);
  s.size = j.value("size", s.size);
  s.path = j.value("path", s.path);
  s.width = j.value("width", s.width);
  s.height = j.value("height", s.height);
  return s;
}

// The base accessors, shared by every kind.
template <class Interface>
class SimMessage : public Interface {
 public:
  explicit SimMessage(MessageState state) : s_(std::move(state)) {}
  int32_t getMessageType() const override { return s_.kind; }
  std::string getFromUserUuid() const override { return s_.fromUserUuid; }
  std::string getFromNick() const override { return s_.fromNick; }
  std::string getFromAvatar() const override { return s_.fromAvatar; }
  std::list<std::string> getToUserUuidList() const override { return s_.toUserUuidList; }
  uint64_t getTime() const override { return s_.time; }
  std::string getMessageUuid() const override { return s_.messageUuid; }
  int32_t getChatroomType() const override { return s_.chatroomType; }

 protected:
  MessageState s_;
};

class SimTextMessage final : public SimMessage<parlo::IQVChatTextMessage> {
 public:
  using SimMessage::SimMessage;
  std::string getText() const override { return s_.text; }
};

class SimCustomMessage final : public SimMessage<parlo::IQVChatCustomMessage> {
 public:
  using SimMessage::SimMessage;
  std::string getAttachStr() const override { return s_.attachStr; }
};

template <class Interface>
class SimFileLike : public SimMessage<Interface> {
 public:
  using SimMessage<Interface>::SimMessage;
  std::string getDisplayName() const override { return this->s_.displayName; }
  std::string getExtension() const override { return this->s_.extension; }
  std::string getMd5() const override { return this->s_.md5; }
  std::string getUrl() const override { return this->s_.url; }
  uint64_t getSize() const override { return this->s_.size; }
  std::string getPath() const override { return this->s_.path; }
};

class SimImageMessage final : public SimFileLike<parlo::IQVChatImageMessage> {
 public:
  using SimFileLike::SimFileLike;
  int32_t getWidth() const override { return s_.width; }
  int32_t getHeight() const override { return s_.height; }
};

class SimAttachment final : public parlo::IQVChatAttachment {
 public:
  explicit SimAttachment(std::string content) : content_(std::move(content)) {}
  std::string getContent() const override { return content_; }

 private:
  std::string content_;
};

class SimNotificationMessage final : public SimMessage<parlo::IQVChatNotificationMessage> {
 public:
  using SimMessage::SimMessage;
  std::shared_ptr<parlo::IQVChatAttachment> getAttachment() const override {
    if (!s_.hasAttachment) return nullptr;
    return std::make_shared<SimAttachment>(s_.attachStr);
  }
};

// A kind the binding does not know: only the base accessors.
class SimOtherMessage final : public SimMessage<parlo::IQVChatMessage> {
 public:
  using SimMessage::SimMessage;
};

}  // namespace

parlo::ChatMessagePtr chat_message_from_json(const nlohmann::json& j) {
  if (j.is_null()) return nullptr;
  MessageState state = message_state(j);
  switch (state.kind) {
    case parlo::kChatText:
      return std::make_shared<SimTextMessage>(std::move(state));
    case parlo::kChatCustom:
      return std::make_shared<SimCustomMessage>(std::move(state));
    case parlo::kChatFile:
      return std::make_shared<SimFileLike<parlo::IQVChatFileMessage>>(std::move(state));
    case parlo::kChatImage:
      return std::make_shared<SimImageMessage>(std::move(state));
    case parlo::kChatNotification:
      return std::make_shared<SimNotificationMessage>(std::move(state));
    default:
      return std::make_shared<SimOtherMessage>(std::move(state));
  }
}

}  // namespace parlo_sim
