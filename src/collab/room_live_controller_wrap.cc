#include "collab/room_live_controller_wrap.h"

#include "collab/live_records.h"
#include "core/carrier.h"
#include "core/errors.h"

namespace brimo {
namespace {

using Live = parlo::IQVRoomLiveController;

}  // namespace

void IQVRoomLiveControllerWrap::Register(Napi::Env env, Napi::Object exports) {
  using Self = IQVRoomLiveControllerWrap;
  define(env, exports,
         {
             row<&Live::startLive, Check<Arg::Object, Arg::Function>, Convert<&live_addresses_to_js>>("startLive"),
             row<&Live::isSupported, Fail<false>>("isSupported"),
             row<&Live::getLiveInfo, Fail<Js::Null>>("getLiveInfo"),
             row<&Live::updateLive, Check<Arg::Object, Arg::Function>, As<0, &read_live_update>>("updateLive"),
             row<&Live::stopLive, Types<Arg::Function>>("stopLive"),
             InstanceMethod<&Self::checkStreamTask>("addLiveStreamTask"),
             InstanceMethod<&Self::checkStreamTask>("updateLiveStreamTask"),
             InstanceMethod<&Self::removeLiveStreamTask>("removeLiveStreamTask"),
             row<&Live::updateBackgroundInfo>("updateBackgroundInfo"),
             row<&Live::getBackgroundInfo>("getBackgroundInfo"),
         });
}

IQVRoomLiveControllerWrap::IQVRoomLiveControllerWrap(const Napi::CallbackInfo& info) : RoomBound(info) {}

// addLiveStreamTask and updateLiveStreamTask: the SDK's stream-task slots are not
// ours to call, so after their checks these two reach nothing, and their callback
// is never called.
Napi::Value IQVRoomLiveControllerWrap::checkStreamTask(const Napi::CallbackInfo& info) {
  check_args(info, {Arg::Object, Arg::Function});
  return info.Env().Undefined();
}

// The task's id is read before the checks, so an id that is not a string fails with
// the runtime's own error; then the checks decide whether the SDK is called.
Napi::Value IQVRoomLiveControllerWrap::removeLiveStreamTask(const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  std::string task_id = utf8(info[0]);
  if (!check_args(info, {Arg::String, Arg::Function})) return env.Undefined();
  Live* live = resolve(env);
  if (live == nullptr) return fail_callback(env, info[1], env.Undefined());
  live->removeLiveStreamTask(task_id, complete<>(env, info[1]));
  return env.Undefined();
}

}  // namespace brimo
