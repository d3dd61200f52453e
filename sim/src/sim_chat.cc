// The simulated chat controllers. A joined room has two chatrooms: its own and its
// waiting room's (chatroomType 0 and 1). A message sent reaches the room's
// listeners as "onReceiveChatroomMessages" once it is sent, and stays in the
// chatroom's history (the room's own is the one the room service pages through);
// recalling takes it out again and tells the room with a notification message.
// Files go in steps, each raising "onChatroomMessageAttachmentProgress", and so do
// downloads of attachments; either can be cancelled while it runs.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "collab_json.h"
#include "room_json.h"
#include "sim_collab.h"
#include "sim_rooms.h"

namespace parlo_sim {
namespace {

using L = parlo::IQVRoomListener;
using parlo::ChatMessageList;
using parlo::ChatMessagePtr;
using parlo::ChatSendCompletion;
using parlo::QVCompletion;
using StringList = std::list<std::string>;

constexpr int32_t kNotInChatroom = 403;  // sending while out of the chatroom
constexpr int32_t kBusy = 409;           // a transfer of that message is running already
constexpr int32_t kCancelled = 499;      // the transfer was cancelled

constexpr int32_t kRoomChatroom = 0;
constexpr int32_t kWaitingRoomChatroom = 1;

Engine& engine() { return Engine::get(); }

// How the file at a path goes: its size and checksum, and the steps of its transfer.
struct FileSettings {
  uint64_t size = 256 * 1024;
  std::string md5;
  int steps = 4;
  int stepMs = 5;
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(FileSettings, size, md5, steps, stepMs)

// Set by script, by path; the rooms' lock guards it.
std::map<std::string, FileSettings>& file_settings() {
  static auto* files = new std::map<std::string, FileSettings>();
  return *files;
}

FileSettings settings_for(const std::string& path) {
  auto found = file_settings().find(path);
  FileSettings settings = found == file_settings().end() ? FileSettings{} : found->second;
  if (settings.md5.empty()) {
    char md5[33];
    std::snprintf(md5, sizeof md5, "%016llx%016llx",
                  static_cast<unsigned long long>(std::hash<std::string>{}(path)),
                  static_cast<unsigned long long>(std::hash<std::string>{}(path + "#")));
    settings.md5 = md5;
  }
  return settings;
}

std::string after_last(const std::string& text, char separator) {
  auto at = text.find_last_of(separator);
  return at == std::string::npos ? (separator == '.' ? "" : text) : text.substr(at + 1);
}

// A file being sent or an attachment being downloaded. The rooms' lock guards it.
class SimChat;

struct Transfer {
  std::string room;
  std::string messageUuid;
  bool waiting = false;   // in the waiting room's chatroom
  bool sending = false;   // a send, not a download
  uint64_t total = 0;
  int steps = 1;
  int stepMs = 0;
  int step = 0;
  bool over = false;  // finished, failed or cancelled: completed once
  // Completes the operation that started the transfer.
  std::function<void(int32_t code, const std::string& message)> complete;
  // What the chatroom does once it is through (a sent file arrives); may be empty.
  std::function<RoomEvents(SimChat&, SimRoom&)> arrive;
};
using Transfers = std::map<std::string, std::shared_ptr<Transfer>>;

// What a transfer started with `answer` completes with: its code and message unless
// it failed, on the SDK thread once it is through.
Answer outcome_of(Answer answer, int32_t code, const std::string& message) {
  answer.mode = Mode::Async;
  answer.delay_ms = 0;
  if (code != 0) {
    answer.code = code;
    answer.message = message;
  }
  return answer;
}

class SimChat final : public parlo::IQVRoomChatController {
 public:
  SimChat(std::string room, bool waiting) : room_(std::move(room)), waiting_(waiting) {}

  bool isSupported() override { return call("isSupported").ret_or<bool>(true); }
  void reservedSlot1() override {}
  void joinChatroom(QVCompletion done) override { set_joined("joinChatroom", true, std::move(done)); }
  void leaveChatroom(QVCompletion done) override { set_joined("leaveChatroom", false, std::move(done)); }
  void sendBroadcastTextMessage(const std::string& text, ChatSendCompletion done) override {
    send("sendBroadcastTextMessage", json::array({text}), std::move(done), {{"text", text}});
  }
  void reservedSlot5() override {}
  void sendDirectTextMessage(const std::string& to, const std::string& text, ChatSendCompletion done) override {
    send("sendDirectTextMessage", json::array({to, text}), std::move(done),
         {{"text", text}, {"toUserUuidList", json::array({to})}});
  }
  void reservedSlot7() override {}
  void sendGroupTextMessage(const StringList& to, const std::string& text, ChatSendCompletion done) override {
    send("sendGroupTextMessage", json::array({to, text}), std::move(done), {{"text", text}, {"toUserUuidList", to}});
  }
  void reservedSlot9() override {}
  void fetchChatRoomMembers(int32_t offset, int32_t limit,
                            parlo::QVResultCompletion<parlo::ChatroomMemberList> done) override;
  void sendTextMessage(const std::string& uuid, const std::string& text, const StringList& to,
                       ChatSendCompletion done) override {
    send("sendTextMessage", json::array({uuid, text, to}), std::move(done),
         {{"messageUuid", uuid}, {"text", text}, {"toUserUuidList", to}});
  }
  void reservedSlot12() override {}
  void sendFileMessage(const std::string& uuid, const std::string& path, const StringList& to,
                       ChatSendCompletion done) override {
    send_file("sendFileMessage", json::array({uuid, path, to}), std::move(done),
              {{"messageType", "file"}, {"messageUuid", uuid}, {"path", path}, {"toUserUuidList", to}});
  }
  void reservedSlot14() override {}
  void sendImageMessage(const std::string& uuid, const std::string& path, int32_t width, int32_t height,
                        const StringList& to, ChatSendCompletion done) override {
    send_file("sendImageMessage", json::array({uuid, path, width, height, to}), std::move(done),
              {{"messageType", "image"}, {"messageUuid", uuid}, {"path", path}, {"width", width},
               {"height", height}, {"toUserUuidList", to}});
  }
  void reservedSlot16() override {}
  void cancelSendFileMessage(const std::string& uuid, QVCompletion done) override {
    cancel("cancelSendFileMessage", sends_, uuid, std::move(done));
  }
  void downloadAttachment(const std::string& uuid, const std::string& url, const std::string& path,
                          QVCompletion done) override;
  void cancelDownloadAttachment(const std::string& uuid, QVCompletion done) override {
    cancel("cancelDownloadAttachment", downloads_, uuid, std::move(done));
  }
  void fetchChatroomHistoryMessages(const parlo::ChatroomHistoryOptions& options,
                                    parlo::QVResultCompletion<ChatMessageList> done) override;
  void recallChatroomMessage(const std::string& uuid, int64_t time, QVCompletion done) override;
  void reservedSlot22() override {}
  void sendBroadcastCustomMessage(const std::string& attachStr, ChatSendCompletion done) override {
    send("sendBroadcastCustomMessage", json::array({attachStr}), std::move(done),
         {{"messageType", "custom"}, {"attachStr", attachStr}});
  }

  // --- script commands (the rooms' lock is held) ---

  // Messages of other members arrive.
  RoomEvents receive(SimRoom& room, ChatMessageList messages) { return keep(room, std::move(messages)); }

  json state(SimRoom& room) {
    json history = json::array();
    for (const auto& message : this->history(room)) history.push_back(chat_message_to_json(message));
    json sending = json::array(), downloading = json::array();
    for (const auto& entry : sends_) sending.push_back(entry.first);
    for (const auto& entry : downloads_) downloading.push_back(entry.first);
    return {{"joined", joined(room)}, {"history", history},     {"sending", sending},
            {"downloading", downloading}, {"downloaded", downloaded_}};
  }

  // One step of a transfer, on the SDK thread.
  static void step(const std::shared_ptr<Transfer>& transfer);

 private:
  // The waiting room's chat qualifies its operations with its link's name.
  Answer call(const char* op, json args = json::array()) {
    return engine().call(op, std::move(args), waiting_ ? "waitingRoomChatController" : nullptr);
  }

  ChatMessageList& history(SimRoom&) { return waiting_ ? history_ : room_registry().history[room_]; }

  bool joined(SimRoom& room) const {
    return waiting_ ? joined_ : local_member(room).value("isInChatroom", false);
  }

  // Messages kept in the chatroom's history and raised on the room's listeners.
  RoomEvents keep(SimRoom& room, ChatMessageList messages) {
    if (!waiting_) return room.chat(messages);
    history_.insert(history_.end(), messages.begin(), messages.end());
    return {event(&L::onReceiveChatroomMessages, messages)};
  }

  // The UUID of a message: the one the send gave, or a new one.
  std::string uuid_for(const json& draft) {
    std::string uuid = draft.value("messageUuid", "");
    return uuid.empty() ? room_ + (waiting_ ? "-wmsg-" : "-msg-") + std::to_string(++sent_) : uuid;
  }

  // A message from the local member to this chatroom, from what the send gave.
  ChatMessagePtr compose(SimRoom& room, json draft) {
    json me = local_member(room);
    draft["messageUuid"] = uuid_for(draft);
    draft["fromUserUuid"] = me.value("uuid", "");
    draft["fromNick"] = me.value("name", "");
    draft["fromAvatar"] = me.value("avatar", "");
    draft["time"] = now_ms();
    draft["chatroomType"] = waiting_ ? kWaitingRoomChatroom : kRoomChatroom;
    return chat_message_from_json(draft);
  }

  bool refuse_if_out(SimRoom& room, Answer& answer) {
    if (joined(room)) return false;
    answer.code = kNotInChatroom;
    answer.message = "not in the chatroom";
    return true;
  }

  void set_joined(const char* op, bool in, QVCompletion done);
  void send(const char* op, json args, ChatSendCompletion done, json draft);
  void send_file(const char* op, json args, ChatSendCompletion done, json draft);
  void cancel(const char* op, Transfers& transfers, const std::string& uuid, QVCompletion done);
  // Enters `transfer` (the rooms' lock is held), unless one of that message runs.
  std::shared_ptr<Transfer> enter(Transfers& transfers, std::shared_ptr<Transfer> transfer, Answer& answer);
  // Starts an entered transfer as the answer says (later, now or once released), or
  // completes the operation at once with the answer's failure.
  template <class... R>
  static void start(const std::shared_ptr<Transfer>& transfer, const Answer& answer, R... failed);

  const std::string room_;
  const bool waiting_;
  // The rooms' lock guards what follows.
  bool joined_ = true;        // the waiting room's chatroom; the room's follows its local member
  ChatMessageList history_;   // the waiting room's; the room's own is kept with the room
  Transfers sends_;
  Transfers downloads_;
  json downloaded_ = json::array();
  int64_t sent_ = 0;
};

ControllersByRoom<SimChat>& chats(bool waiting) {
  static auto* room = new ControllersByRoom<SimChat>();
  static auto* waiting_room = new ControllersByRoom<SimChat>();
  return waiting ? *waiting_room : *room;
}

// The room's chatroom follows its local member, whose joining and leaving the room's
// listeners hear; the waiting room's is a flag of its own.
void SimChat::set_joined(const char* op, bool in, QVCompletion done) {
  Answer answer = call(op);
  RoomEvents events = on_room<RoomEvents>(room_, answer, [&](SimRoom& room) -> RoomEvents {
    if (waiting_) {
      joined_ = in;
      return {};
    }
    json me = local_member(room);
    if (me.empty() || joined(room) == in) return {};
    return room.update_member(me.value("uuid", ""), {{"isInChatroom", in}}, "");
  });
  finish_then_raise(room_, answer, std::move(done), std::move(events));
}

void SimChat::send(const char* op, json args, ChatSendCompletion done, json draft) {
  Answer answer = call(op, std::move(args));
  ChatMessagePtr message;
  RoomEvents events = on_room<RoomEvents>(room_, answer, [&](SimRoom& room) -> RoomEvents {
    if (refuse_if_out(room, answer)) return {};
    message = compose(room, std::move(draft));
    return keep(room, {message});
  });
  finish_then_raise(room_, answer, std::move(done), std::move(events), answer.result_or<ChatMessagePtr>(message));
}

// A file or image goes in steps; its send completes when it is through, with the
// message as it arrives, or with kCancelled and no message when cancelled.
void SimChat::send_file(const char* op, json args, ChatSendCompletion done, json draft) {
  Answer answer = call(op, std::move(args));
  auto transfer = on_room<std::shared_ptr<Transfer>>(room_, answer, [&](SimRoom& room) -> std::shared_ptr<Transfer> {
    if (refuse_if_out(room, answer)) return nullptr;
    std::string path = draft.value("path", "");
    std::string name = after_last(path, '/');
    FileSettings file = settings_for(path);
    draft["messageUuid"] = uuid_for(draft);
    draft["displayName"] = name;
    draft["extension"] = after_last(name, '.');
    draft["md5"] = file.md5;
    draft["url"] = "https://files.parlo.sim/" + room_ + "/" + draft["messageUuid"].get<std::string>() + "/" + name;
    draft["size"] = file.size;
    ChatMessagePtr message = compose(room, std::move(draft));
    auto t = std::make_shared<Transfer>();
    t->room = room_;
    t->messageUuid = message->getMessageUuid();
    t->waiting = waiting_;
    t->sending = true;
    t->total = file.size;
    t->steps = file.steps;
    t->stepMs = file.stepMs;
    t->complete = [answer, done, message](int32_t code, const std::string& text) {
      Answer outcome = outcome_of(answer, code, text);
      engine().finish(outcome, done, code == 0 ? outcome.result_or<ChatMessagePtr>(message) : ChatMessagePtr());
    };
    t->arrive = [message](SimChat& chat, SimRoom& room) { return chat.keep(room, {message}); };
    return enter(sends_, t, answer);
  });
  start(transfer, answer, std::move(done), ChatMessagePtr());
}

std::shared_ptr<Transfer> SimChat::enter(Transfers& transfers, std::shared_ptr<Transfer> transfer, Answer& answer) {
  if (transfers.count(transfer->messageUuid) != 0) {
    answer.code = kBusy;
    answer.message = "message " + transfer->messageUuid + " is being transferred already";
    return nullptr;
  }
  transfers[transfer->messageUuid] = transfer;
  return transfer;
}

template <class... R>
void SimChat::start(const std::shared_ptr<Transfer>& transfer, const Answer& answer, R... failed) {
  if (transfer) {
    engine().settle(answer, [transfer] { step(transfer); });
  } else {
    engine().finish(answer, std::move(failed)...);
  }
}

void SimChat::step(const std::shared_ptr<Transfer>& t) {
  RoomEvents progress, after;
  int32_t code = 0;
  std::string message;
  {
    std::lock_guard<std::mutex> lock(room_registry().mutex);
    if (t->over) return;
    std::shared_ptr<SimChat> chat = chats(t->waiting).find(t->room);
    auto room = room_registry().joined.find(t->room);
    if (!chat || room == room_registry().joined.end()) {
      t->over = true;
      code = kNotFound;
      message = "room " + t->room + " is not joined";
    } else {
      t->step = std::min(t->step + 1, std::max(t->steps, 1));
      const int steps = std::max(t->steps, 1);
      const auto done = static_cast<int64_t>(t->total * static_cast<uint64_t>(t->step) / steps);
      progress.push_back(event(&L::onChatroomMessageAttachmentProgress, t->messageUuid, done,
                               static_cast<int64_t>(t->total), static_cast<int32_t>(100 * t->step / steps)));
      if (t->step == steps) {
        t->over = true;
        (t->sending ? chat->sends_ : chat->downloads_).erase(t->messageUuid);
        if (t->arrive) after = t->arrive(*chat, *room->second);
      }
    }
  }
  raise_later(t->room, std::move(progress));
  if (!t->over) {
    engine().post([t] { step(t); }, t->stepMs);
    return;
  }
  t->complete(code, message);
  raise_later(t->room, std::move(after));
}

void SimChat::cancel(const char* op, Transfers& transfers, const std::string& uuid, QVCompletion done) {
  Answer answer = call(op, json::array({uuid}));
  std::shared_ptr<Transfer> cancelled = on_room<std::shared_ptr<Transfer>>(room_, answer, [&](SimRoom&) {
    auto found = transfers.find(uuid);
    if (found == transfers.end()) {
      answer.code = kNotFound;
      answer.message = "no transfer of message " + uuid;
      return std::shared_ptr<Transfer>();
    }
    std::shared_ptr<Transfer> transfer = found->second;
    transfers.erase(found);
    transfer->over = true;
    return transfer;
  });
  if (cancelled) cancelled->complete(kCancelled, "cancelled");
  engine().finish(answer, std::move(done));
}

// An attachment of a file or image message of this chatroom comes down in steps.
void SimChat::downloadAttachment(const std::string& uuid, const std::string& url, const std::string& path,
                                 QVCompletion done) {
  Answer answer = call("downloadAttachment", json::array({uuid, url, path}));
  auto transfer = on_room<std::shared_ptr<Transfer>>(room_, answer, [&](SimRoom& room) -> std::shared_ptr<Transfer> {
    ChatMessagePtr found;
    for (const auto& message : history(room)) {
      if (message && message->getMessageUuid() == uuid) found = message;
    }
    const int32_t kind = found ? found->getMessageType() : -1;
    if (kind != parlo::kChatFile && kind != parlo::kChatImage) {
      answer.code = kNotFound;
      answer.message = "no attachment of message " + uuid;
      return nullptr;
    }
    auto file = std::static_pointer_cast<parlo::IQVChatFileMessage>(found);
    FileSettings settings = settings_for(file->getPath());
    auto t = std::make_shared<Transfer>();
    t->room = room_;
    t->messageUuid = uuid;
    t->waiting = waiting_;
    t->total = file->getSize();
    t->steps = settings.steps;
    t->stepMs = settings.stepMs;
    t->complete = [answer, done](int32_t code, const std::string& text) {
      engine().finish(outcome_of(answer, code, text), done);
    };
    t->arrive = [uuid, path](SimChat& chat, SimRoom&) -> RoomEvents {
      chat.downloaded_.push_back({{"messageUuid", uuid}, {"path", path}});
      return {};
    };
    return enter(downloads_, t, answer);
  });
  start(transfer, answer, std::move(done));
}

void SimChat::fetchChatRoomMembers(int32_t offset, int32_t limit,
                                   parlo::QVResultCompletion<parlo::ChatroomMemberList> done) {
  Answer answer = call("fetchChatRoomMembers", json::array({offset, limit}));
  auto members = on_room<parlo::ChatroomMemberList>(room_, answer, [&](SimRoom& room) {
    parlo::ChatroomMemberList all;
    json state = room.state();
    json me = state.value("localMember", json());
    if (me.is_object() && joined(room)) all.push_back({me.value("name", ""), me.value("avatar", "")});
    if (waiting_) {
      for (const auto& person : waiting_people(room_)) all.push_back({person->getName(), person->getAvatar()});
    } else {
      for (const auto& member : state.value("remoteMembers", json::array())) {
        if (member.is_object() && member.value("isInChatroom", false)) {
          all.push_back({member.value("name", ""), member.value("avatar", "")});
        }
      }
    }
    parlo::ChatroomMemberList page;
    int32_t index = 0;
    for (const auto& member : all) {
      if (index++ < offset) continue;
      if (limit > 0 && static_cast<int32_t>(page.size()) >= limit) break;
      page.push_back(member);
    }
    return page;
  });
  finish_then_raise(room_, answer, std::move(done), {}, answer.result_or(members));
}

void SimChat::fetchChatroomHistoryMessages(const parlo::ChatroomHistoryOptions& options,
                                           parlo::QVResultCompletion<ChatMessageList> done) {
  Answer answer = call("fetchChatroomHistoryMessages", json::array({options}));
  auto page = on_room<ChatMessageList>(room_, answer,
                                       [&](SimRoom& room) { return history_page(history(room), options); });
  finish_then_raise(room_, answer, std::move(done), {}, answer.result_or(page));
}

// A recalled message leaves the history; the room hears of it as a notification
// whose attachment names the message.
void SimChat::recallChatroomMessage(const std::string& uuid, int64_t time, QVCompletion done) {
  Answer answer = call("recallChatroomMessage", json::array({uuid, time}));
  RoomEvents events = on_room<RoomEvents>(room_, answer, [&](SimRoom& room) -> RoomEvents {
    ChatMessageList& kept = history(room);
    auto found = std::find_if(kept.begin(), kept.end(), [&](const ChatMessagePtr& m) {
      return m && m->getMessageUuid() == uuid;
    });
    if (found == kept.end()) {
      answer.code = kNotFound;
      answer.message = "no message " + uuid;
      return {};
    }
    kept.erase(found);
    ChatMessagePtr notice = compose(room, {{"messageType", "notification"},
                                           {"attachStr", json{{"recalled", uuid}}.dump()}});
    return {event(&L::onReceiveChatroomMessages, ChatMessageList{notice})};
  });
  finish_then_raise(room_, answer, std::move(done), std::move(events));
}

// Messages of others arriving, by script: { room, messages, waitingRoom }. A
// waiting-room message without a chatroomType gets the waiting room's.
json receive(const json& args) {
  bool waiting = args.value("waitingRoom", false);
  ChatMessageList messages;
  for (json message : args.at("messages")) {
    if (waiting && message.is_object() && !message.contains("chatroomType")) {
      message["chatroomType"] = kWaitingRoomChatroom;
    }
    messages.push_back(message.get<ChatMessagePtr>());
  }
  RoomEvents events = with_controller(chats(waiting), args, [&](SimRoom& room, SimChat& chat) {
    return chat.receive(room, messages);
  });
  raise_later(args.at("room").get<std::string>(), std::move(events));
  return true;
}

const bool registered =
    add_room_controller("chatController",
                        [](const std::string& room) {
                          return chats(false).make<parlo::IQVRoomChatController>(room, false);
                        }) &&
    add_room_controller("waitingRoomChatController",
                        [](const std::string& room) {
                          return chats(true).make<parlo::IQVRoomChatController>(room, true);
                        }) &&
    add_command("chat.receive", receive) &&
    add_command("chat.get",
                [](const json& args) {
                  return with_controller(chats(args.value("waitingRoom", false)), args,
                                         [](SimRoom& room, SimChat& chat) { return chat.state(room); });
                }) &&
    add_command("chat.setFile", [](const json& args) {
      FileSettings settings = args.get<FileSettings>();
      if (settings.steps < 1 || settings.steps > 1000) throw std::invalid_argument("steps must be 1 to 1000");
      if (settings.stepMs < 0 || settings.stepMs > 60000) throw std::invalid_argument("stepMs must be 0 to a minute");
      std::lock_guard<std::mutex> lock(room_registry().mutex);
      file_settings()[args.at("path").get<std::string>()] = settings;
      return json(true);
    });

}  // namespace

json chat_message_to_json(const ChatMessagePtr& message) {
  if (!message) return nullptr;
  static const char* const kinds[] = {"text", "custom", "file", "image", "notification"};
  const int32_t kind = message->getMessageType();
  json j{{"messageUuid", message->getMessageUuid()},   {"fromUserUuid", message->getFromUserUuid()},
         {"fromNick", message->getFromNick()},         {"fromAvatar", message->getFromAvatar()},
         {"time", message->getTime()},                 {"chatroomType", message->getChatroomType()},
         {"toUserUuidList", message->getToUserUuidList()}};
  j["messageType"] = kind >= 0 && kind <= 4 ? json(kinds[kind]) : json(kind);
  if (kind == parlo::kChatText) j["text"] = std::static_pointer_cast<parlo::IQVChatTextMessage>(message)->getText();
  if (kind == parlo::kChatCustom) {
    j["attachStr"] = std::static_pointer_cast<parlo::IQVChatCustomMessage>(message)->getAttachStr();
  }
  if (kind == parlo::kChatFile || kind == parlo::kChatImage) {
    auto file = std::static_pointer_cast<parlo::IQVChatFileMessage>(message);
    j.update({{"displayName", file->getDisplayName()}, {"extension", file->getExtension()}, {"md5", file->getMd5()},
              {"url", file->getUrl()}, {"size", file->getSize()}, {"path", file->getPath()}});
  }
  if (kind == parlo::kChatImage) {
    auto image = std::static_pointer_cast<parlo::IQVChatImageMessage>(message);
    j.update({{"width", image->getWidth()}, {"height", image->getHeight()}});
  }
  if (kind == parlo::kChatNotification) {
    auto attachment = std::static_pointer_cast<parlo::IQVChatNotificationMessage>(message)->getAttachment();
    if (attachment) j["attachStr"] = attachment->getContent();
  }
  return j;
}

}  // namespace parlo_sim
