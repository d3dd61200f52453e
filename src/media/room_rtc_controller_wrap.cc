#include "media/room_rtc_controller_wrap.h"

#include <string>
#include <utility>

#include "core/carrier.h"
#include "core/errors.h"
#include "core/trace.h"
#include "media/local_recording.h"
#include "media/rtc_methods.h"

namespace brimo {
namespace {

using Rtc = parlo::IQVRoomRtcController;

// A stream type asks for the high stream when it is not 0.
bool nonzero(const Napi::Value& value) { return int32(value) != 0; }

// The delivery of a source list: the wrapper's cache is refilled as the source
// objects are made, in order, so a source's `id` is its place in the cache.
class SourcesDelivery final : public Delivery {
 public:
  SourcesDelivery(std::shared_ptr<CapturedSources> cache, int32_t code, std::string message, CapturedSources sources)
      : cache_(std::move(cache)), code_(code), message_(std::move(message)), sources_(std::move(sources)) {}

  void deliver(Napi::Env env, Napi::Function callback) override {
    cache_->clear();
    Napi::Array array = Napi::Array::New(env, sources_.size());
    for (auto& source : sources_) {
      uint32_t index = static_cast<uint32_t>(cache_->size());
      array.Set(index, source_to_js(env, source, index));
      // The cache keeps what a share needs, not the pixels.
      source.thumbnail = {};
      source.icon = {};
      cache_->push_back(std::move(source));
    }
    callback.Call(env.Undefined(), {to_js(env, code_), to_js(env, message_), array});
  }

 private:
  std::shared_ptr<CapturedSources> cache_;
  int32_t code_;
  std::string message_;
  CapturedSources sources_;
};

// Reports a check that failed: "Wrong number of arguments" or "Wrong arguments".
Napi::Value wrong(Napi::Env env, const char* message, Napi::Value result) {
  raise_type_error(env, message);
  return result;
}

}  // namespace

void IQVRoomRtcControllerWrap::Register(Napi::Env env, Napi::Object exports) {
  using Self = IQVRoomRtcControllerWrap;
  define(env, exports,
         {
             // devices
             row<&Rtc::enumCameraDevices, Traced, Fail<Js::Null>, Convert<&device_list_to_js>>("enumCameraDevices"),
             row<&Rtc::getSelectedCameraDevice, Traced, Fail<Js::Null>>("getSelectedCameraDevice"),
             row<&Rtc::selectCameraDevice, Traced, Fail<-1>>("selectCameraDevice"),
             row<&Rtc::enumPlayoutDevices, Traced, Fail<Js::Null>, Convert<&device_list_to_js>>("enumPlayoutDevices"),
             row<&Rtc::getDefaultPlayoutDevice, Traced, Fail<Js::Null>, Convert<&default_device_to_js>>(
                 "getDefaultPlayoutDevice"),
             row<&Rtc::getSelectedPlayoutDevice, Traced, Fail<Js::Null>>("getSelectedPlayoutDevice"),
             row<&Rtc::selectPlayoutDevice, Traced, Fail<-1>>("selectPlayoutDevice"),
             row<&Rtc::getPlayoutDeviceVolume, Traced, Fail<-1>>("getPlayoutDeviceVolume"),
             row<&Rtc::setPlayoutDeviceVolume, Traced, Fail<-1>>("setPlayoutDeviceVolume"),
             row<&Rtc::getPlayoutDeviceMute, Traced, Fail<Js::Null>>("getPlayoutDeviceMute"),
             row<&Rtc::enumRecordDevices, Traced, Fail<Js::Null>, Convert<&device_list_to_js>>("enumRecordDevices"),
             row<&Rtc::getDefaultRecordDevice, Traced, Fail<Js::Null>, Convert<&default_device_to_js>>(
                 "getDefaultRecordDevice"),
             row<&Rtc::getSelectedRecordDevice, Traced, Fail<Js::Null>>("getSelectedRecordDevice"),
             row<&Rtc::selectRecordDevice, Traced, Fail<-1>>("selectRecordDevice"),
             row<&Rtc::getRecordDeviceVolume, Traced, Fail<-1>>("getRecordDeviceVolume"),
             row<&Rtc::setRecordDeviceVolume, Traced, Fail<-1>>("setRecordDeviceVolume"),
             row<&Rtc::setAudioDeviceAutoSelectType, Traced, Fail<-1>>("setAudioDeviceAutoSelectType"),
             row<&Rtc::isSupported, Traced, Fail<false>>("isSupported"),
             // streams and members, completing later
             InstanceMethod<&Self::joinRtcChannel>("joinRtcChannel"),
             InstanceMethod<&Self::leaveRtcChannel>("leaveRtcChannel"),
             row<&Rtc::disconnectMyAudio, Traced>("disconnectMyAudio"),
             row<&Rtc::reconnectMyAudio, Traced>("reconnectMyAudio"),
             row<&Rtc::muteMyAudio, Traced, Check<Arg::Function>>("muteMyAudio"),
             row<&Rtc::unmuteMyAudio, Traced, Count<1>, Truthy>("unmuteMyAudio"),
             row<&Rtc::muteMyVideo, Traced, Count<1>>("muteMyVideo"),
             row<&Rtc::unmuteMyVideo, Traced, Count<1>>("unmuteMyVideo"),
             row<&Rtc::muteMemberAudio, Traced, Check<Arg::String, Arg::Function>>("muteMemberAudio"),
             row<&Rtc::unmuteMemberAudio, Traced, Check<Arg::String, Arg::Function>>("unmuteMemberAudio"),
             row<&Rtc::muteMemberVideo, Traced, Check<Arg::String, Arg::Function>>("muteMemberVideo"),
             row<&Rtc::unmuteMemberVideo, Traced, Check<Arg::String, Arg::Function>>("unmuteMemberVideo"),
             row<&Rtc::stopMemberShare, Traced, Check<Arg::String, Arg::Function>>("stopMemberShare"),
             row<&Rtc::stopMemberSystemAudioShare, Check<Arg::String, Arg::Function>>("stopMemberSystemAudioShare"),
             row<&Rtc::startShareSystemAudio>("startShareSystemAudio"),
             row<&Rtc::stopShareSystemAudio>("stopShareSystemAudio"),
             row<&Rtc::takeLocalSnapshot, Traced, Count<1>, Convert<&snapshot_to_js>>("takeLocalSnapshot"),
             row<&Rtc::takeRemoteSnapshot, Traced, Count<1>, Convert<&snapshot_to_js>>("takeRemoteSnapshot"),
             // canvases, capture and audio features
             InstanceMethod<&Self::setupLocalVideoCanvas>("setupLocalVideoCanvas"),
             row<&Rtc::setupRemoteVideoCanvas, Traced, Count<2>, ChecksAfterResolve, Fail<-1>>("setupRemoteVideoCanvas"),
             row<&Rtc::setupRemoteVideoSubStreamCanvas, Traced, Count<2>, ChecksAfterResolve, Fail<-1>>(
                 "setupRemoteVideoSubStreamCanvas"),
             InstanceMethod<&Self::setupLocalVideoSubStreamCanvas>("setupLocalVideoSubStreamCanvas"),
             row<&Rtc::subscribeRemoteVideoStream, Traced, Count<2>, ChecksAfterResolve, Fail<-1>, As<1, &nonzero>>(
                 "subscribeRemoteVideoStream"),
             row<&Rtc::unsubscribeRemoteVideoStream, Traced, Check<Arg::String>, ChecksAfterResolve, Fail<-1>>(
                 "unsubscribeRemoteVideoStream"),
             row<&Rtc::subscribeRemoteVideoSubStream, Traced, Check<Arg::String>, ChecksAfterResolve, Fail<-1>>(
                 "subscribeRemoteVideoSubStream"),
             row<&Rtc::unsubscribeRemoteVideoSubStream, Traced, Check<Arg::String>, ChecksAfterResolve, Fail<-1>>(
                 "unsubscribeRemoteVideoSubStream"),
             row<&Rtc::setLocalVideoResolution, Traced, Fail<-1>>("setLocalVideoResolution"),
             row<&Rtc::setLocalVideoFramerate, Traced, Fail<-1>>("setLocalVideoFramerate"),
             row<&Rtc::enableLocalVideo, Truthy, Fail<Js::Null>>("enableLocalVideo"),
             row<&Rtc::pauseLocalVideoCapture, Traced, Fail<-1>>("pauseLocalVideoCapture"),
             row<&Rtc::setAudioProfile, Traced, Fail<-1>>("setAudioProfile"),
             row<&Rtc::enableAudioAINS, Traced, Count<1>, ChecksAfterResolve, Truthy, Fail<-1>>("enableAudioAINS"),
             row<&Rtc::enableAudioEchoCancellation, Traced, Count<1>, ChecksAfterResolve, Truthy, Fail<-1>>(
                 "enableAudioEchoCancellation"),
             row<&Rtc::enableAudioVolumeAutoAdjust, Traced, Count<1>, ChecksAfterResolve, Truthy, Fail<-1>>(
                 "enableAudioVolumeAutoAdjust"),
             InstanceMethod<&Self::enableAudioVolumeIndication>("enableAudioVolumeIndication"),
             row<&Rtc::adjustRecordingSignalVolume, Traced, Fail<-1>>("adjustRecordingSignalVolume"),
             row<&Rtc::adjustPlaybackSignalVolume, Traced, Fail<-1>>("adjustPlaybackSignalVolume"),
             row<&Rtc::adjustUserPlaybackSignalVolume, Traced, Count<2>, ChecksAfterResolve, Fail<-1>>(
                 "adjustUserPlaybackSignalVolume"),
             row<&Rtc::adjustChannelPlaybackSignalVolume, Traced, Fail<-1>>("adjustChannelPlaybackSignalVolume"),
             row<&Rtc::enableLocalAudio, Traced, Truthy, Fail<-1>>("enableLocalAudio"),
             row<&Rtc::enableMediaPub, Traced, Truthy, Fail<-1>>("enableMediaPub"),
             row<&Rtc::enableLocalAudioSubStream, Traced, Fail<-1>>("enableLocalAudioSubStream"),
             row<&Rtc::disableLocalAudioSubStream, Traced, Fail<-1>>("disableLocalAudioSubStream"),
             row<&Rtc::pauseLocalAudioRecording, Traced, Fail<-1>>("pauseLocalAudioRecording"),
             row<&Rtc::resumeLocalAudioRecording, Traced, Fail<-1>>("resumeLocalAudioRecording"),
             row<&Rtc::startAudioDump, Traced, Fail<-1>>("startAudioDump"),
             row<&Rtc::stopAudioDump, Traced, Fail<-1>>("stopAudioDump"),
             row<&Rtc::enableCaption, Traced, Truthy, Fail<-1>>("enableCaption"),
             row<&Rtc::setCaptionTranslationLanguage, Fail<Js::Null>>("setCaptionTranslationLanguage"),
             row<&Rtc::enableEncryption, Traced, Count<1>, ChecksAfterResolve, Fail<Js::Null>>("enableEncryption"),
             row<&Rtc::getVirtualBackgroundSupportedType, Fail<-1>>("getVirtualBackgroundSupportedType"),
             row<&Rtc::setCloudProxy, Fail<Js::Null>>("setCloudProxy"),
             row<&Rtc::getScreenSharingUserUuid, Traced, Fail<Js::Null>>("getScreenSharingUserUuid"),
             // screen sharing
             InstanceMethod<&Self::getScreenCaptureSourceList>("getScreenCaptureSourceList"),
             InstanceMethod<&Self::startScreenShare>("startScreenShare"),
             InstanceMethod<&Self::startAppShare>("startAppShare"),
             row<&Rtc::startRectShare, Skip<2>>("startRectShare"),
             InstanceMethod<&Self::setExcludeWindowList>("setExcludeWindowList"),
             InstanceMethod<&Self::stopShare>("stopShare"),
             row<&Rtc::startSystemAudioLoopbackCapture, Traced, Fail<-1>>("startSystemAudioLoopbackCapture"),
             row<&Rtc::stopSystemAudioLoopbackCapture, Traced, Fail<-1>>("stopSystemAudioLoopbackCapture"),
             // local recording
             row<&Rtc::startLocalRecord, Count<1>, ChecksAfterResolve, Fail<Js::Null>>("startLocalRecord"),
             row<&Rtc::stopLocalRecord, Fail<Js::Null>>("stopLocalRecord"),
             row<&Rtc::updateLocalRecordLayouts, Fail<Js::Null>>("updateLocalRecordLayouts"),
             InstanceMethod<&Self::pushLocalRecorderVideoFrame>("pushLocalRecorderVideoFrame"),
             row<&Rtc::stopLocalRecorderRemux, Fail<Js::Null>>("stopLocalRecorderRemux"),
         });
}

IQVRoomRtcControllerWrap::IQVRoomRtcControllerWrap(const Napi::CallbackInfo& info) : RoomBound(info) {}

Napi::Value IQVRoomRtcControllerWrap::setupLocalVideoCanvas(const Napi::CallbackInfo& info) {
  trace("setupLocalVideoCanvas\n");
  return setup_local_canvas(*this, info);
}

// The SDK takes no local sub-stream canvas: the call checks and answers 0.
Napi::Value IQVRoomRtcControllerWrap::setupLocalVideoSubStreamCanvas(const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  trace("setupLocalVideoSubStreamCanvas\n");
  if (resolve(env) == nullptr) return to_js(env, -1);
  if (info.Length() < 1) return wrong(env, "Wrong number of arguments", to_js(env, -1));
  return to_js(env, 0);
}

Napi::Value IQVRoomRtcControllerWrap::enableAudioVolumeIndication(const Napi::CallbackInfo& info) {
  trace("enableAudioVolumeIndication\n");
  return enable_volume_indication(*this, info);
}

// (callback) or (param, callback), checked once the controller is found.
Napi::Value IQVRoomRtcControllerWrap::joinRtcChannel(const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  trace("joinRtcChannel\n");
  const bool alone = info.Length() == 1;
  Napi::Value callback = alone ? info[0] : info[1];
  Rtc* rtc = resolve(env);
  if (rtc == nullptr) return fail_callback(env, callback, env.Undefined());
  if (info.Length() == 0) return wrong(env, "Wrong number of arguments", env.Undefined());
  if (alone && !info[0].IsFunction()) return wrong(env, "Wrong arguments", env.Undefined());
  if (alone) {
    rtc->joinRtcChannel(complete(env, callback));
  } else {
    std::string param = utf8(info[0]);
    rtc->joinRtcChannel(param, complete(env, callback));
  }
  return env.Undefined();
}

// As joinRtcChannel; with three or more arguments nothing is called.
Napi::Value IQVRoomRtcControllerWrap::leaveRtcChannel(const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  trace("leaveRtcChannel\n");
  Napi::Value callback = info.Length() == 2 ? info[1] : info[0];
  Rtc* rtc = resolve(env);
  if (rtc == nullptr) return fail_callback(env, callback, env.Undefined());
  if (info.Length() == 0) return wrong(env, "Wrong number of arguments", env.Undefined());
  if (info.Length() == 1 && !info[0].IsFunction()) return wrong(env, "Wrong arguments", env.Undefined());
  if (info.Length() == 1) {
    rtc->leaveRtcChannel(complete(env, callback));
  } else if (info.Length() == 2) {
    std::string param = utf8(info[0]);
    rtc->leaveRtcChannel(param, complete(env, callback));
  }
  return env.Undefined();
}

// Thumbnails 320 x 200 and icons 60 x 60. The completion copies every source and
// its pixels on the SDK thread; the delivery refills this wrapper's cache.
Napi::Value IQVRoomRtcControllerWrap::getScreenCaptureSourceList(const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  trace("getScreenCaptureSourceList\n");
  Rtc* rtc = resolve(env);
  if (rtc == nullptr) return fail_callback(env, info[0], env.Undefined());
  rtc->getScreenCaptureSourceList(
      320, 200, 60, 60, true,
      complete_with<parlo::ScreenCaptureSourceList>(
          env, info[0],
          [cache = sources_](int32_t code, const std::string& message, const parlo::ScreenCaptureSourceList& list) {
            return std::make_unique<SourcesDelivery>(cache, code, message, capture_sources(list));
          }));
  return env.Undefined();
}

namespace {

// The SDK identifier of source `id` of the last delivered list; a number outside it
// is refused rather than read.
bool source_id(Napi::Env env, const CapturedSources& sources, int32_t id, int64_t& out) {
  if (id < 0 || static_cast<size_t>(id) >= sources.size()) {
    raise_type_error(env, "Wrong arguments");
    return false;
  }
  out = sources[static_cast<size_t>(id)].source.id;
  return true;
}

}  // namespace

Napi::Value IQVRoomRtcControllerWrap::startScreenShare(const Napi::CallbackInfo& info) {
  trace("startScreenShare\n");
  return share(info, Share::Screen);
}

Napi::Value IQVRoomRtcControllerWrap::startAppShare(const Napi::CallbackInfo& info) { return share(info, Share::App); }

// (id, config, callback): source `id` of the last delivered list, with the config's overrides.
Napi::Value IQVRoomRtcControllerWrap::share(const Napi::CallbackInfo& info, Share what) {
  Napi::Env env = info.Env();
  if (resolve(env) == nullptr) return fail_callback(env, info[2], env.Undefined());
  int32_t id = int32(info[0]);
  parlo::ScreenShareConfig config = read_share_config(info[1]);
  // Getters inside the config may have taken the controller away.
  Rtc* rtc = resolve_again(env);
  if (rtc == nullptr) return fail_callback(env, info[2], env.Undefined());
  int64_t source = 0;
  if (!source_id(env, *sources_, id, source)) return env.Undefined();
  if (what == Share::Screen) {
    rtc->startScreenShare(source, config, parlo::WindowIdList{}, complete(env, info[2]));
  } else {
    rtc->startAppShare(source, config, complete(env, info[2]));
  }
  return env.Undefined();
}

// Numbers sign-extended to 64 bits, or (asHandles) the first 8 bytes of typed
// arrays. A handle array shorter than 8 bytes is refused, not read.
Napi::Value IQVRoomRtcControllerWrap::setExcludeWindowList(const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  trace("setExcludeWindowList\n");
  if (resolve(env) == nullptr) return to_js(env, -1);
  const bool handles = boolean(info[1]);
  Napi::Value list = info[0];
  parlo::WindowIdList windows;
  for (uint32_t i = 0; i < list_length(list); ++i) {
    Napi::Value entry = element(env, list, i);
    if (!handles) {
      windows.push_back(static_cast<int64_t>(int32(entry)));
      continue;
    }
    uint64_t handle = 0;
    if (!read_eight_bytes(entry, handle)) return wrong(env, "Wrong arguments", to_js(env, -1));
    windows.push_back(static_cast<int64_t>(handle));
  }
  // Element getters may have taken the controller away.
  Rtc* rtc = resolve_again(env);
  if (rtc == nullptr) return to_js(env, -1);
  return to_js(env, rtc->setExcludeWindowList(windows));
}

// The SDK's answer is traced where it arrives, then delivered.
Napi::Value IQVRoomRtcControllerWrap::stopShare(const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  trace("stopShare\n");
  Rtc* rtc = resolve(env);
  if (rtc == nullptr) return fail_callback(env, info[0], env.Undefined());
  rtc->stopShare(complete_with<>(env, info[0], [](int32_t code, const std::string& message) {
    trace_text("stopShare cb code:" + std::to_string(code) + " msg:" + message + "\n");
    return std::make_unique<CompletionDelivery<DefaultToJs>>(DefaultToJs{}, code, message);
  }));
  return env.Undefined();
}

Napi::Value IQVRoomRtcControllerWrap::pushLocalRecorderVideoFrame(const Napi::CallbackInfo& info) {
  return push_recorder_frame(*this, info);
}

}  // namespace brimo
