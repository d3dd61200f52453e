#include "room/room_context_wrap.h"

#include "collab/room_annotation_controller_wrap.h"
#include "collab/room_app_invite_controller_wrap.h"
#include "collab/room_chat_controller_wrap.h"
#include "collab/room_live_controller_wrap.h"
#include "collab/room_sip_controller_wrap.h"
#include "collab/room_whiteboard_controller_wrap.h"
#include "collab/waiting_room_controller_wrap.h"
#include "media/room_rtc_controller_wrap.h"

namespace brimo {

void IQVRoomContextWrap::Register(Napi::Env env, Napi::Object exports) {
  IQVRoomRtcControllerWrap::Register(env, exports);
  IQVRoomLiveControllerWrap::Register(env, exports);
  IQVWaitingRoomControllerWrap::Register(env, exports);
  IQVRoomSIPControllerWrap::Register(env, exports);
  IQVRoomAppInviteControllerWrap::Register(env, exports);
  IQVRoomWhiteboardControllerWrap::Register(env, exports);
  IQVRoomAnnotationControllerWrap::Register(env, exports);
  define(env, exports, {});
}

IQVRoomContextWrap::IQVRoomContextWrap(const Napi::CallbackInfo& info)
    : Wrap(info), room_uuid_(utf8(info[0])) {
  trace("IQVRoomContextWrap %s \n", room_uuid_.c_str());
  // Controllers get our own argument 0, unconverted.
  napi_value uuid = info[0];
  napi_value no = Napi::Boolean::New(info.Env(), false);
  napi_value yes = Napi::Boolean::New(info.Env(), true);
  app_invite_ = hold(IQVRoomAppInviteControllerWrap::make({uuid}));
  annotation_ = hold(IQVRoomAnnotationControllerWrap::make({uuid}));
  live_ = hold(IQVRoomLiveControllerWrap::make({uuid}));
  chat_ = hold(IQVRoomChatControllerWrap::make({uuid, no}));
  waiting_room_ = hold(IQVWaitingRoomControllerWrap::make({uuid}));
  waiting_room_chat_ = hold(IQVRoomChatControllerWrap::make({uuid, yes}));
  sip_ = hold(IQVRoomSIPControllerWrap::make({uuid}));
  whiteboard_ = hold(IQVRoomWhiteboardControllerWrap::make({uuid}));
  rtc_ = hold(IQVRoomRtcControllerWrap::make({uuid}));
}

IQVRoomContextWrap::~IQVRoomContextWrap() {
  trace("~IQVRoomContextWrap %s \n", room_uuid_.c_str());
}

}  // namespace brimo
