// IQVRoomContextWrap: a joined room, found again by its UUID on every call. It
// makes the room's nine controller wrappers when it is constructed and holds them.
#pragma once

#include <napi.h>

#include <string>

#include "core/wrap.h"

namespace brimo {

class IQVRoomContextWrap : public Wrap<IQVRoomContextWrap> {
 public:
  static constexpr const char* kClassName = "IQVRoomContextWrap";
  static constexpr const char* kTraceName = nullptr;  // its lines carry the room UUID

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVRoomContextWrap(const Napi::CallbackInfo& info);
  ~IQVRoomContextWrap() override;

  const std::string& room_uuid() const { return room_uuid_; }

 private:
  std::string room_uuid_;
  Napi::ObjectReference app_invite_;
  Napi::ObjectReference annotation_;
  Napi::ObjectReference live_;
  Napi::ObjectReference chat_;
  Napi::ObjectReference waiting_room_;
  Napi::ObjectReference waiting_room_chat_;
  Napi::ObjectReference sip_;
  Napi::ObjectReference whiteboard_;
  Napi::ObjectReference rtc_;
};

}  // namespace brimo
