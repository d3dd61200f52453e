#include "collab/chat_records.h"

#include <memory>

#include "core/record_reader.h"
#include "core/record_writer.h"
#include "core/to_js.h"
#include "room/room_params.h"

namespace parlo {

using brimo::getter;
using brimo::KeyWriter;
using brimo::to_js;

namespace {

// The keys every message has, whatever its kind.
const KeyWriter<IQVChatMessage> kMessageKeys[] = {
    getter<&IQVChatMessage::getMessageUuid>("messageUuid"),
    getter<&IQVChatMessage::getFromUserUuid>("fromUserUuid"),
    getter<&IQVChatMessage::getFromNick>("fromNick"),
    getter<&IQVChatMessage::getFromAvatar>("fromAvatar"),
    getter<&IQVChatMessage::getTime>("time"),
    getter<&IQVChatMessage::getChatroomType>("chatroomType"),
    getter<&IQVChatMessage::getToUserUuidList>("toUserUuidList"),
};

// The file keys an image shares; a file lists its size before its path, an image after.
enum class SizeAt { BeforePath, AfterPath };

void set_file_keys(Napi::Env env, Napi::Object& record, const IQVChatFileMessage& file, SizeAt size_at) {
  record.Set("displayName", to_js(env, file.getDisplayName()));
  record.Set("extension", to_js(env, file.getExtension()));
  record.Set("md5", to_js(env, file.getMd5()));
  record.Set("url", to_js(env, file.getUrl()));
  if (size_at == SizeAt::BeforePath) record.Set("size", to_js(env, file.getSize()));
  record.Set("path", to_js(env, file.getPath()));
  if (size_at == SizeAt::AfterPath) record.Set("size", to_js(env, file.getSize()));
}

// The kind decides which interface the message offers; each step holds its own share.
template <class Kind>
std::shared_ptr<const Kind> as(const ChatMessagePtr& message) {
  return std::static_pointer_cast<const Kind>(message);
}

const KeyWriter<ChatroomMember> kChatroomMemberKeys[] = {
    brimo::field<&ChatroomMember::nick>("nick"),
    brimo::field<&ChatroomMember::avatar>("avatar"),
};

}  // namespace

Napi::Value to_js(Napi::Env env, const ChatroomMember& member) {
  return brimo::write_keys(env, member, kChatroomMemberKeys);
}

Napi::Value to_js(Napi::Env env, const ChatMessagePtr& message) {
  Napi::Object record = Napi::Object::New(env);
  if (!message) return record;
  brimo::write_keys_into(env, record, *message, kMessageKeys);

  const int32_t kind = message->getMessageType();
  if (kind == kChatText) {
    record.Set("messageType", "text");
    record.Set("text", to_js(env, as<IQVChatTextMessage>(message)->getText()));
  } else if (kind == kChatFile) {
    record.Set("messageType", "file");
    set_file_keys(env, record, *as<IQVChatFileMessage>(message), SizeAt::BeforePath);
  } else if (kind == kChatImage) {
    auto image = as<IQVChatImageMessage>(message);
    record.Set("messageType", "image");
    set_file_keys(env, record, *image, SizeAt::AfterPath);
    record.Set("width", to_js(env, image->getWidth()));
    record.Set("height", to_js(env, image->getHeight()));
  } else if (kind == kChatCustom) {
    record.Set("messageType", "custom");
    record.Set("attachStr", to_js(env, as<IQVChatCustomMessage>(message)->getAttachStr()));
  } else if (kind == kChatNotification) {
    record.Set("messageType", "notification");
    std::shared_ptr<IQVChatAttachment> attachment = as<IQVChatNotificationMessage>(message)->getAttachment();
    if (attachment) record.Set("attachStr", to_js(env, attachment->getContent()));
  }
  return record;
}

}  // namespace parlo

namespace brimo {

namespace {

const KeyReader<parlo::ChatroomHistoryOptions> kHistoryKeys[] = {
    key<&parlo::ChatroomHistoryOptions::startTime>("startTime"),
    key<&parlo::ChatroomHistoryOptions::limit>("limit"),
    key<&parlo::ChatroomHistoryOptions::order>("order"),
};

}  // namespace

Napi::Value message_list_to_js(Napi::Env env, const parlo::ChatMessageList& messages) {
  Napi::Array array = Napi::Array::New(env, messages.size());
  uint32_t next = 0;
  for (const auto& message : messages) {
    if (message) array.Set(next++, parlo::to_js(env, message));
  }
  return array;
}

parlo::ChatroomHistoryOptions read_history_options(Napi::Env env, const Napi::Value& value) {
  parlo::ChatroomHistoryOptions options;
  read_record(env, value, kHistoryKeys, options);
  return options;
}

}  // namespace brimo
