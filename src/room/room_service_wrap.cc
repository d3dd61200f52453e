#include "room/room_service_wrap.h"

#include <list>
#include <memory>
#include <optional>
#include <string>

#include "collab/chat_records.h"
#include "core/carrier.h"
#include "core/trace.h"
#include "room/preview_room_context_wrap.h"
#include "room/room_context_wrap.h"
#include "room/room_params.h"
#include "room/room_records.h"

namespace brimo {
namespace {

using JoinOperation = void (parlo::IQVRoomService::*)(const parlo::JoinRoomParams&, const parlo::JoinRoomOptions&,
                                                      parlo::QVResultCompletion<parlo::IQVRoomContext*>);

// A join's result: with a room context, callback(code, message, a new room context
// wrapper for its UUID); without one, callback(code, message) alone.
class JoinDelivery final : public Delivery {
 public:
  JoinDelivery(const char* trace_line, int32_t code, std::string message, std::optional<std::string> room_uuid)
      : trace_line_(trace_line), code_(code), message_(std::move(message)), room_uuid_(std::move(room_uuid)) {}

  void deliver(Napi::Env env, Napi::Function callback) override {
    Napi::Value code = to_js(env, code_);
    Napi::Value message = to_js(env, message_);
    if (!room_uuid_) {
      callback.Call(env.Undefined(), {code, message});
      return;
    }
    trace("%s", trace_line_);
    Napi::Object wrapper = IQVRoomContextWrap::make({to_js(env, *room_uuid_)});
    callback.Call(env.Undefined(), {code, message, wrapper});
  }

 private:
  const char* trace_line_;
  int32_t code_;
  std::string message_;
  std::optional<std::string> room_uuid_;
};

// The SDK completion of a join: what it hands script depends on whether a room came
// back. The room context is the SDK's and valid only during its completion, so its
// UUID is read there and only the UUID travels to the script thread.
auto join_completion(Napi::Env env, Napi::Value callback, const char* trace_line) {
  return complete_with<parlo::IQVRoomContext*>(
      env, callback, [trace_line](int32_t code, const std::string& message, parlo::IQVRoomContext* const& room) {
        std::optional<std::string> room_uuid;
        if (room) room_uuid = room->getRoomUuid();
        return std::make_unique<JoinDelivery>(trace_line, code, message, std::move(room_uuid));
      });
}

Napi::Value join(const Napi::CallbackInfo& info, const IQVRoomServiceWrap& self, JoinOperation operation,
                 const char* trace_line) {
  Napi::Env env = info.Env();
  if (self.resolve(env) == nullptr) return fail_callback(env, info[2], to_js(env, false));
  parlo::JoinRoomParams params = read_join_params(env, info[0]);
  parlo::JoinRoomOptions options = read_join_options(env, info[1]);
  // Getters inside the parameters may have taken the service away.
  parlo::IQVRoomService* rooms = self.resolve_again(env);
  if (rooms == nullptr) return fail_callback(env, info[2], to_js(env, false));
  (rooms->*operation)(params, options, join_completion(env, info[2], trace_line));
  return to_js(env, true);
}

}  // namespace

using Rooms = parlo::IQVRoomService;

void IQVRoomServiceWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports,
         {
             row<&Rooms::createRoom, Fail<false>, Returns<true>>("createRoom"),
             row<&Rooms::fetchRoomTemplate, Fail<false>, Returns<true>>("fetchRoomTemplate"),
             InstanceMethod<&IQVRoomServiceWrap::joinRoom>("joinRoom"),
             InstanceMethod<&IQVRoomServiceWrap::previewRoom>("previewRoom"),
             InstanceMethod<&IQVRoomServiceWrap::getRoomContext>("getRoomContext"),
             InstanceMethod<&IQVRoomServiceWrap::getPreviewRoomContext>("getPreviewRoomContext"),
             row<&Rooms::getRoomCloudRecordList>("getRoomCloudRecordList"),
             row<&Rooms::fetchChatroomHistoryMessages, Convert<&message_list_to_js>>("fetchChatroomHistoryMessages"),
             row<&Rooms::exportChatroomHistoryMessages>("exportChatroomHistoryMessages"),
             InstanceMethod<&IQVRoomServiceWrap::joinRoomByInvite>("joinRoomByInvite"),
             row<&Rooms::rejectInvite>("rejectInvite"),
         });
  IQVRoomContextWrap::Register(env, exports);
  IQVPreviewRoomContextWrap::Register(env, exports);
}

IQVRoomServiceWrap::IQVRoomServiceWrap(const Napi::CallbackInfo& info) : Wrap(info) {}

Napi::Value IQVRoomServiceWrap::joinRoom(const Napi::CallbackInfo& info) {
  return join(info, *this, &parlo::IQVRoomService::joinRoom, "joinRoom roomContext \n");
}

Napi::Value IQVRoomServiceWrap::joinRoomByInvite(const Napi::CallbackInfo& info) {
  return join(info, *this, &parlo::IQVRoomService::joinRoomByInvite,
              "joinRoomByInvite roomContext \n");
}

// Nothing to preview through the room service itself: the preview room has its own context.
Napi::Value IQVRoomServiceWrap::previewRoom(const Napi::CallbackInfo& info) {
  Napi::Value callback = info[2];
  (void)callback;
  return to_js(info.Env(), true);
}

// Never checks that the room exists: the wrapper finds out on its first call.
Napi::Value IQVRoomServiceWrap::getRoomContext(const Napi::CallbackInfo& info) {
  trace("IQVRoomServiceWrap getRoomContext \n");
  return IQVRoomContextWrap::make({info[0]});
}

Napi::Value IQVRoomServiceWrap::getPreviewRoomContext(const Napi::CallbackInfo&) {
  return IQVPreviewRoomContextWrap::make();
}

}  // namespace brimo
