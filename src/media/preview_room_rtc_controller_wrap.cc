#include "media/preview_room_rtc_controller_wrap.h"

#include <string>

#include "core/trace.h"
#include "media/local_recording.h"
#include "media/rtc_methods.h"
#include "media/rtc_records.h"

namespace brimo {

using Preview = parlo::IQVPreviewRoomRtcController;

// No method writes a trace line of its own (the chain announces every call); lists
// fail with [], device IDs with "", default devices and local recording with null,
// everything else with -1.
void IQVPreviewRoomRtcControllerWrap::Register(Napi::Env env, Napi::Object exports) {
  using Self = IQVPreviewRoomRtcControllerWrap;
  define(env, exports,
         {
             row<&Preview::startVideoPreview, Fail<-1>>("startVideoPreview"),
             row<&Preview::stopVideoPreview, Fail<-1>>("stopVideoPreview"),
             InstanceMethod<&Self::setupLocalVideoCanvas>("setupLocalVideoCanvas"),
             row<&Preview::enumCameraDevices, Fail<Js::EmptyArray>, Convert<&device_list_to_js>>("enumCameraDevices"),
             row<&Preview::getSelectedCameraDevice, Fail<Js::Empty>>("getSelectedCameraDevice"),
             row<&Preview::selectCameraDevice, Fail<-1>>("selectCameraDevice"),
             row<&Preview::enumPlayoutDevices, Fail<Js::EmptyArray>, Convert<&device_list_to_js>>("enumPlayoutDevices"),
             row<&Preview::getDefaultPlayoutDevice, Fail<Js::Null>, Convert<&default_device_to_js>>(
                 "getDefaultPlayoutDevice"),
             row<&Preview::getSelectedPlayoutDevice, Fail<Js::Empty>>("getSelectedPlayoutDevice"),
             row<&Preview::selectPlayoutDevice, Fail<-1>>("selectPlayoutDevice"),
             row<&Preview::getPlayoutDeviceVolume, Fail<-1>>("getPlayoutDeviceVolume"),
             row<&Preview::setPlayoutDeviceVolume, Fail<-1>>("setPlayoutDeviceVolume"),
             row<&Preview::startPlayoutDeviceTest, Fail<-1>>("startPlayoutDeviceTest"),
             row<&Preview::stopPlayoutDeviceTest, Fail<-1>>("stopPlayoutDeviceTest"),
             row<&Preview::enumRecordDevices, Fail<Js::EmptyArray>, Convert<&device_list_to_js>>("enumRecordDevices"),
             row<&Preview::getDefaultRecordDevice, Fail<Js::Null>, Convert<&default_device_to_js>>(
                 "getDefaultRecordDevice"),
             row<&Preview::getSelectedRecordDevice, Fail<Js::Empty>>("getSelectedRecordDevice"),
             row<&Preview::selectRecordDevice, Fail<-1>>("selectRecordDevice"),
             row<&Preview::getRecordDeviceVolume, Fail<-1>>("getRecordDeviceVolume"),
             InstanceMethod<&Self::setRecordDeviceVolume>("setRecordDeviceVolume"),
             row<&Preview::startRecordDeviceTest, Fail<-1>>("startRecordDeviceTest"),
             row<&Preview::stopRecordDeviceTest, Fail<-1>>("stopRecordDeviceTest"),
             row<&Preview::setLocalVideoResolution, Fail<-1>>("setLocalVideoResolution"),
             row<&Preview::setAudioDeviceAutoSelectType, Fail<-1>>("setAudioDeviceAutoSelectType"),
             row<&Preview::setAudioProfile, Fail<-1>>("setAudioProfile"),
             row<&Preview::startAudioDump, Fail<-1>>("startAudioDump"),
             row<&Preview::stopAudioDump, Fail<-1>>("stopAudioDump"),
             row<&Preview::enableAudioVolumeAutoAdjust, Fail<-1>>("enableAudioVolumeAutoAdjust"),
             row<&Preview::enableAudioAINS, Fail<-1>>("enableAudioAINS"),
             InstanceMethod<&Self::enableAudioVolumeIndication>("enableAudioVolumeIndication"),
             row<&Preview::adjustRecordingSignalVolume, Fail<-1>>("adjustRecordingSignalVolume"),
             row<&Preview::adjustPlaybackSignalVolume, Fail<-1>>("adjustPlaybackSignalVolume"),
             row<&Preview::setLocalVoicePitch, Fail<-1>>("setLocalVoicePitch"),
             row<&Preview::setRecordDeviceMute, Fail<-1>>("setRecordDeviceMute"),
             row<&Preview::setPlayoutDeviceMute, Count<1>, ChecksAfterResolve, Fail<-1>>("setPlayoutDeviceMute"),
             row<&Preview::installAudioCaptureDriver, Fail<-1>>("installAudioCaptureDriver"),
             row<&Preview::getVirtualBackgroundSupportedType, Fail<-1>>("getVirtualBackgroundSupportedType"),
             InstanceMethod<&Self::enableVirtualBackground>("enableVirtualBackground"),
             row<&Preview::startBeauty, Fail<-1>>("startBeauty"),
             row<&Preview::stopBeauty, Fail<-1>>("stopBeauty"),
             row<&Preview::enableBeauty, Fail<-1>>("enableBeauty"),
             row<&Preview::setBeautyEffect, Fail<-1>>("setBeautyEffect"),
             // local recording
             row<&Preview::startLocalRecord, Count<1>, ChecksAfterResolve, Fail<Js::Null>>("startLocalRecord"),
             row<&Preview::stopLocalRecord, Fail<Js::Null>>("stopLocalRecord"),
             row<&Preview::updateLocalRecordLayouts, Fail<Js::Null>>("updateLocalRecordLayouts"),
             InstanceMethod<&Self::pushLocalRecorderVideoFrame>("pushLocalRecorderVideoFrame"),
             row<&Preview::stopLocalRecorderRemux, Fail<Js::Null>>("stopLocalRecorderRemux"),
         });
}

IQVPreviewRoomRtcControllerWrap::IQVPreviewRoomRtcControllerWrap(const Napi::CallbackInfo& info) : Wrap(info) {}

Napi::Value IQVPreviewRoomRtcControllerWrap::setupLocalVideoCanvas(const Napi::CallbackInfo& info) {
  return setup_local_canvas(*this, info);
}

Napi::Value IQVPreviewRoomRtcControllerWrap::pushLocalRecorderVideoFrame(const Napi::CallbackInfo& info) {
  return push_recorder_frame(*this, info);
}

Napi::Value IQVPreviewRoomRtcControllerWrap::enableAudioVolumeIndication(const Napi::CallbackInfo& info) {
  return enable_volume_indication(*this, info);
}

// The one method with lines of its own, written once the controller is found, just
// before the SDK hears of the volume.
Napi::Value IQVPreviewRoomRtcControllerWrap::setRecordDeviceVolume(const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  Preview* rtc = resolve(env);
  if (rtc == nullptr) return to_js(env, -1);
  uint32_t volume = uint32(info[0]);
  trace("setRecordDeviceVolume result ====== \n");
  trace("setRecordDeviceVolume result \n");
  return to_js(env, rtc->setRecordDeviceVolume(volume));
}

// (enable, source, flag, kind): the record takes the source from the second argument
// and the kind from the fourth, when there is one (else the SDK's 1); its colour is
// always the SDK's 0xFFFFFF.
Napi::Value IQVPreviewRoomRtcControllerWrap::enableVirtualBackground(const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  Preview* rtc = resolve(env);
  if (rtc == nullptr) return to_js(env, -1);
  bool enable = boolean(info[0]);
  parlo::VirtualBackgroundSource source;
  source.source = utf8(info[1]);
  bool flag = boolean(info[2]);
  if (info.Length() > 3) source.backgroundSourceType = uint32(info[3]);
  return to_js(env, rtc->enableVirtualBackground(enable, source, flag));
}

}  // namespace brimo
