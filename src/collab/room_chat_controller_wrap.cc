#include "collab/room_chat_controller_wrap.h"

#include "collab/chat_records.h"

namespace brimo {

using Chat = parlo::IQVRoomChatController;

// Every method resolves before it reads an argument; asynchronous ones return
// undefined and answer through their callback, sends with the message as sent.
void IQVRoomChatControllerWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports,
         {
             row<&Chat::isSupported, Fail<false>>("isSupported"),
             row<&Chat::joinChatroom>("joinChatroom"),
             row<&Chat::leaveChatroom>("leaveChatroom"),
             row<&Chat::sendBroadcastTextMessage>("sendBroadcastTextMessage"),
             row<&Chat::sendDirectTextMessage>("sendDirectTextMessage"),
             row<&Chat::sendGroupTextMessage>("sendGroupTextMessage"),
             row<&Chat::fetchChatRoomMembers>("fetchChatRoomMembers"),
             row<&Chat::sendTextMessage>("sendTextMessage"),
             row<&Chat::sendFileMessage>("sendFileMessage"),
             row<&Chat::sendImageMessage>("sendImageMessage"),
             row<&Chat::cancelSendFileMessage>("cancelSendFileMessage"),
             row<&Chat::downloadAttachment>("downloadAttachment"),
             row<&Chat::cancelDownloadAttachment>("cancelDownloadAttachment"),
             row<&Chat::fetchChatroomHistoryMessages, Convert<&message_list_to_js>>("fetchChatroomHistoryMessages"),
             row<&Chat::recallChatroomMessage>("recallChatroomMessage"),
             row<&Chat::sendBroadcastCustomMessage>("sendBroadcastCustomMessage"),
         });
}

IQVRoomChatControllerWrap::IQVRoomChatControllerWrap(const Napi::CallbackInfo& info)
    : RoomBound(info), waiting_room_(boolean(info[1])) {}

}  // namespace brimo
