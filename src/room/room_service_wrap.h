// IQVRoomServiceWrap: the SDK's room service: create, join, templates, history,
// cloud recordings. It is also the factory of the room wrappers: a successful join
// and getRoomContext hand script a new IQVRoomContextWrap.
#pragma once

#include <napi.h>

#include "core/wrap.h"

namespace brimo {

class IQVRoomServiceWrap : public Wrap<IQVRoomServiceWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomServiceWrap";
  static constexpr const char* kTraceName = "IQVRoomServiceWrap";
  static constexpr auto kChain =
      chain(NullReport{"IQVRoomServiceWrap"}, via<&parlo::IQVParlo::getRoomService>("roomService"));

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomServiceWrap(const Napi::CallbackInfo& info);

 private:
  Napi::Value joinRoom(const Napi::CallbackInfo& info);
  Napi::Value previewRoom(const Napi::CallbackInfo& info);
  Napi::Value getRoomContext(const Napi::CallbackInfo& info);
  Napi::Value getPreviewRoomContext(const Napi::CallbackInfo& info);
  Napi::Value joinRoomByInvite(const Napi::CallbackInfo& info);
};

}  // namespace brimo
