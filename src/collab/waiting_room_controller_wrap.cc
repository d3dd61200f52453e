#include "collab/waiting_room_controller_wrap.h"

#include "collab/waiting_room_listener_adapter.h"
#include "collab/waiting_room_records.h"

namespace brimo {

using Waiting = parlo::IQVWaitingRoomController;

// Arguments are read before the controller is found; people are named by coerced
// strings, and most flags count by script's own boolean conversion.
void IQVWaitingRoomControllerWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports,
         {
             row<&Waiting::getWaitingRoomInfo, Fail<Js::Null>>("getWaitingRoomInfo"),
             row<&Waiting::isWaitingRoomEnabledOnEntry, Fail<false>>("isWaitingRoomEnabledOnEntry"),
             row<&Waiting::getMemberList, ConvertFirst>("getMemberList"),
             listen<WaitingRoomListeners>("addListener"),
             unlisten<WaitingRoomListeners>("removeListener"),
             row<&Waiting::changeMemberName, ConvertFirst>("changeMemberName"),
             row<&Waiting::enableWaitingRoomOnEntry>("enableWaitingRoomOnEntry"),
             row<&Waiting::disableWaitingRoomOnEntry, ConvertFirst, Coerced<0>>("disableWaitingRoomOnEntry"),
             row<&Waiting::admitMember, ConvertFirst, Coerced<0>>("admitMember"),
             row<&Waiting::expelMember, ConvertFirst, Coerced<0, 1>>("expelMember"),
             row<&Waiting::putInWaitingRoom, ConvertFirst, Coerced<0>>("putInWaitingRoom"),
             row<&Waiting::expelAllMembers, ConvertFirst, Coerced<0>>("expelAllMembers"),
             row<&Waiting::admitAllMembers>("admitAllMembers"),
             row<&Waiting::getWaitingRoomManagerList, Convert<&managers_to_js>>("getWaitingRoomManagerList"),
         });
}

IQVWaitingRoomControllerWrap::IQVWaitingRoomControllerWrap(const Napi::CallbackInfo& info) : RoomBound(info) {}

}  // namespace brimo
