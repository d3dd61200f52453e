#include "kit/parlo_wrap.h"

#include <iostream>
#include <memory>
#include <thread>

#include "collab/message_channel_service_wrap.h"
#include "collab/room_chat_controller_wrap.h"
#include "core/carrier.h"
#include "core/resolve.h"
#include "kit/auth_service_wrap.h"
#include "kit/kit_listeners.h"
#include "kit/kit_records.h"
#include "kit/options.h"
#include "kit/vorn_service_wrap.h"
#include "room/room_service_wrap.h"
#include "sdk/parlo.h"
#include "video/frame_requests.h"

namespace brimo {
namespace {

// The kit is always there: createQVParlo hands out the same kit until it is destroyed.
parlo::IQVParlo* kit() { return createQVParlo(); }

// The SDK always has a kit; the simulated SDK can be told to have none, and the
// kit's own methods then raise "parlo Null pointer exception" rather than reach it.
const NullReport kNull{""};

}  // namespace

void IQVParloWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports,
         {
             InstanceMethod<&IQVParloWrap::addGlobalEventListener>("addGlobalEventListener"),
             InstanceMethod<&IQVParloWrap::getAuthService>("getAuthService"),
             InstanceMethod<&IQVParloWrap::getMessageChannelService>("getMessageChannelService"),
             InstanceMethod<&IQVParloWrap::getVornService>("getVornService"),
             InstanceMethod<&IQVParloWrap::getRoomService>("getRoomService"),
             InstanceMethod<&IQVParloWrap::getSdkVersions>("getSdkVersions"),
             InstanceMethod<&IQVParloWrap::initialize>("initialize"),
             InstanceMethod<&IQVParloWrap::isInitialized>("isInitialized"),
             InstanceMethod<&IQVParloWrap::release>("release"),
             InstanceMethod<&IQVParloWrap::removeGlobalEventListener>("removeGlobalEventListener"),
             InstanceMethod<&IQVParloWrap::switchLanguage>("switchLanguage"),
             InstanceMethod<&IQVParloWrap::uploadLog>("uploadLog"),
             InstanceMethod<&IQVParloWrap::getDeviceId>("getDeviceId"),
             InstanceMethod<&IQVParloWrap::getCurrentLogPath>("getCurrentLogPath"),
             InstanceMethod<&IQVParloWrap::getNetworkType>("getNetworkType"),
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
      room_service_(hold(IQVRoomServiceWrap::make())) {}

IQVParloWrap::~IQVParloWrap() {
  // The services may outlive us in script; only our hold on them ends here.
  auth_.Reset();
  message_channel_.Reset();
  vorn_.Reset();
  room_service_.Reset();
  destroyQVParlo();
}

Napi::Value IQVParloWrap::addGlobalEventListener(const Napi::CallbackInfo& info) {
  return add_listener<GlobalEventListenerAdapter>(info.Env(), info[0], ListenerRegistry::get().global, kit(),
                                                  &parlo::IQVParlo::addGlobalEventListener);
}

Napi::Value IQVParloWrap::removeGlobalEventListener(const Napi::CallbackInfo& info) {
  return remove_listener<GlobalEventListenerAdapter>(info.Env(), info[0], ListenerRegistry::get().global, kit,
                                                     &parlo::IQVParlo::removeGlobalEventListener);
}

Napi::Value IQVParloWrap::getAuthService(const Napi::CallbackInfo&) { return auth_.Value(); }
Napi::Value IQVParloWrap::getMessageChannelService(const Napi::CallbackInfo&) { return message_channel_.Value(); }
Napi::Value IQVParloWrap::getVornService(const Napi::CallbackInfo&) { return vorn_.Value(); }
Napi::Value IQVParloWrap::getRoomService(const Napi::CallbackInfo&) { return room_service_.Value(); }

Napi::Value IQVParloWrap::getSdkVersions(const Napi::CallbackInfo& info) {
  parlo::IQVParlo* sdk = resolve_kit(info.Env(), kNull);
  if (!sdk) return info.Env().Undefined();
  parlo::SdkVersions versions;
  sdk->getSdkVersions(versions);
  return to_js(info.Env(), versions);
}

Napi::Value IQVParloWrap::initialize(const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  parlo::IQVParlo* sdk = resolve_kit(env, kNull);
  if (!sdk) return env.Undefined();
  parlo::ParloOptions options;
  read_options(env, info[0], options);
  std::cout << "initialize options:" << "appKey:" << options.appKey << std::endl;
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

Napi::Value IQVParloWrap::isInitialized(const Napi::CallbackInfo& info) {
  parlo::IQVParlo* sdk = resolve_kit(info.Env(), kNull);
  return sdk ? to_js(info.Env(), sdk->isInitialized()) : info.Env().Undefined();
}

Napi::Value IQVParloWrap::release(const Napi::CallbackInfo& info) {
  parlo::IQVParlo* sdk = resolve_kit(info.Env(), kNull);
  if (!sdk) return info.Env().Undefined();
  sdk->release();
  return Napi::Number::New(info.Env(), 1);
}

Napi::Value IQVParloWrap::switchLanguage(const Napi::CallbackInfo& info) {
  parlo::IQVParlo* sdk = resolve_kit(info.Env(), kNull);
  return sdk ? to_js(info.Env(), sdk->switchLanguage(int32(info[0]))) : info.Env().Undefined();
}

Napi::Value IQVParloWrap::uploadLog(const Napi::CallbackInfo& info) {
  parlo::IQVParlo* sdk = resolve_kit(info.Env(), kNull);
  if (!sdk) return info.Env().Undefined();
  sdk->uploadLog(complete<std::string>(info.Env(), info[0]));
  return Napi::Number::New(info.Env(), 0);
}

Napi::Value IQVParloWrap::getDeviceId(const Napi::CallbackInfo& info) {
  parlo::IQVParlo* sdk = resolve_kit(info.Env(), kNull);
  if (!sdk) return info.Env().Undefined();
  std::string id;
  sdk->getDeviceId(id);
  return to_js(info.Env(), id);
}

Napi::Value IQVParloWrap::getCurrentLogPath(const Napi::CallbackInfo& info) {
  parlo::IQVParlo* sdk = resolve_kit(info.Env(), kNull);
  if (!sdk) return info.Env().Undefined();
  std::string path;
  sdk->getCurrentLogPath(path);
  return to_js(info.Env(), path);
}

Napi::Value IQVParloWrap::getNetworkType(const Napi::CallbackInfo& info) {
  parlo::IQVParlo* sdk = resolve_kit(info.Env(), kNull);
  return sdk ? to_js(info.Env(), sdk->getNetworkType()) : info.Env().Undefined();
}

Napi::Value IQVParloWrap::getVideoFrame(const Napi::CallbackInfo& info) { return get_video_frame(info); }
Napi::Value IQVParloWrap::startListenVideoFrame(const Napi::CallbackInfo& info) { return start_listen_video_frame(info); }
Napi::Value IQVParloWrap::stopListenVideoFrame(const Napi::CallbackInfo& info) { return stop_listen_video_frame(info); }

}  // namespace brimo
