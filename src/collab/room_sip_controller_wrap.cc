#include "collab/room_sip_controller_wrap.h"

#include "collab/sip_records.h"

namespace brimo {

using Sip = parlo::IQVRoomSIPController;

// Every method converts its arguments before it finds the controller.
void IQVRoomSIPControllerWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports,
         {
             row<&Sip::callByNumber, ConvertFirst>("callByNumber"),
             row<&Sip::callByUserUuids, ConvertFirst>("callByUserUuids"),
             row<&Sip::callByUserUuid, ConvertFirst>("callByUserUuid"),
             row<&Sip::removeCall, ConvertFirst>("removeCall"),
             row<&Sip::cancelCall, ConvertFirst>("cancelCall"),
             row<&Sip::hangUpCall, ConvertFirst>("hangUpCall"),
             row<&Sip::callOutRoomSystem, ConvertFirst>("callOutRoomSystem"),
         });
}

IQVRoomSIPControllerWrap::IQVRoomSIPControllerWrap(const Napi::CallbackInfo& info) : RoomBound(info) {}

}  // namespace brimo
