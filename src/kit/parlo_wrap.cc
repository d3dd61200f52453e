#include "kit/parlo_wrap.h"

#include <memory>
#include <thread>

#include "collab/message_channel_service_wrap.h"
#include "collab/room_chat_controller_wrap.h"
#include "core/carrier.h"
#include "core/lifetime.h"
#include "core/resolve.h"
#include "core/trace.h"
#include "kit/auth_service_wrap.h"
#include "kit/kit_listeners.h"
#include "kit/kit_records.h"
#include "kit/options.h"
#include "kit/vorn_service_wrap.h"
#include "room/room_service_wrap.h"
#include "sdk/parlo.h"
#include "video/frame_requests.h"

namespace brimo {

using Kit = parlo::IQVParlo;

void IQVParloWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports,
         {
             listen<GlobalEventListeners>("addGlobalEventListener"),
             InstanceMethod<&IQVParloWrap::getAuthService>("getAuthService"),
             InstanceMethod<&IQVParloWrap::getMessageChannelService>("getMessageChannelService"),
             InstanceMethod<&IQVParloWrap::getVornService>("getVornService"),
             InstanceMethod<&IQVParloWrap::getRoomService>("getRoomService"),
             row<&Kit::getSdkVersions>("getSdkVersions"),
             InstanceMethod<&IQVParloWrap::initialize>("initialize"),
             row<&Kit::isInitialized>("isInitialized"),
             row<&Kit::release, Returns<1>>("release"),
             unlisten<GlobalEventListeners>("removeGlobalEventListener"),
             row<&Kit::switchLanguage>("switchLanguage"),
             row<&Kit::uploadLog, Returns<0>>("uploadLog"),
             row<&Kit::getDeviceId>("getDeviceId"),
             row<&Kit::getCurrentLogPath>("getCurrentLogPath"),
             row<&Kit::getNetworkType>("getNetworkType"),
             InstanceMethod<&IQVParloWrap::getVideoFrame>("getVideoFrame"),
             InstanceMethod<&IQVParloWrap::startListenVideoFrame>("startListenVideoFrame"),
             InstanceMethod<&IQVParloWrap::stopListenVideoFrame>("stopListenVideoFrame"),
         });
  IQVAuthServiceWrap::Register(env, exports);
  IQVRoomServiceWrap::Register(env, exports);
  IQVVornServiceWrap::Register(env, exports);
  IQVMessageChannelServiceWrap::Register(env, exports);
  IQVRoomChatControllerWrap::Register(env, exports);
}

IQVParloWrap::IQVParloWrap(const Napi::CallbackInfo& info)
    : Wrap(info),
      auth_(hold(IQVAuthServiceWrap::make())),
      message_channel_(hold(IQVMessageChannelServiceWrap::make())),
      vorn_(hold(IQVVornServiceWrap::make())),
      room_service_(hold(IQVRoomServiceWrap::make())),
      generation_(module_generation()) {}

IQVParloWrap::~IQVParloWrap() {
  // The services may outlive us in script; only our hold on them ends here.
  auth_.Reset();
  message_channel_.Reset();
  vorn_.Reset();
  room_service_.Reset();
  destroy_kit_of(generation_, [] { destroyQVParlo(); });
}

Napi::Value IQVParloWrap::getAuthService(const Napi::CallbackInfo&) { return auth_.Value(); }
Napi::Value IQVParloWrap::getMessageChannelService(const Napi::CallbackInfo&) { return message_channel_.Value(); }
Napi::Value IQVParloWrap::getVornService(const Napi::CallbackInfo&) { return vorn_.Value(); }
Napi::Value IQVParloWrap::getRoomService(const Napi::CallbackInfo&) { return room_service_.Value(); }

Napi::Value IQVParloWrap::initialize(const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  parlo::IQVParlo* sdk = resolve(env);
  if (!sdk) return env.Undefined();
  parlo::ParloOptions options;
  read_options(env, info[0], options);
  trace_text("initialize options:appKey:" + options.appKey + "\n");
  // Half-read options would start the SDK with settings script never meant.
  if (env.IsExceptionPending()) return env.Undefined();
  // The SDK completes initialize inside the call, on this thread, so the callback is
  // called directly, without a carrier. A completion arriving any other way is
  // dropped: the script values it would touch belong to this call alone.
  Napi::Value callback = info[1];
  auto inside = std::make_shared<bool>(true);
  const std::thread::id script_thread = std::this_thread::get_id();
  sdk->initialize(options, [env, callback, inside, script_thread](int32_t code, const std::string& message) {
    // The thread first: `inside` belongs to the script thread.
    if (std::this_thread::get_id() != script_thread || !*inside) return;
    callback.As<Napi::Function>().Call(env.Undefined(), {to_js(env, code), to_js(env, message)});
  });
  *inside = false;
  return Napi::Number::New(env, 1);
}

Napi::Value IQVParloWrap::getVideoFrame(const Napi::CallbackInfo& info) { return get_video_frame(info); }
Napi::Value IQVParloWrap::startListenVideoFrame(const Napi::CallbackInfo& info) { return start_listen_video_frame(info); }
Napi::Value IQVParloWrap::stopListenVideoFrame(const Napi::CallbackInfo& info) { return stop_listen_video_frame(info); }

}  // namespace brimo
