// The listener operations that the room listener and the preview room listener
// share, forwarded once for both: decoded video frames go to the frame hub on the
// SDK's thread; device changes, the local volume, the virtual background and the
// local recorder reach the script listener as (eventName, payload...).
#pragma once

#include <cstdint>
#include <string>

#include "core/listeners.h"
#include "sdk/base_room_listener.h"
#include "video/frame_hub.h"

namespace brimo {

template <class Interface>
class MediaEventsAdapter : public ListenerAdapter<Interface> {
 public:
  using ListenerAdapter<Interface>::ListenerAdapter;

  void onVideoFrame(const std::string& userUuid, bool bSubVideo, const uint8_t* data, uint32_t type, uint32_t width,
                    uint32_t height, uint32_t rotation, const int32_t* offsets, const int32_t* strides,
                    uint32_t timestamp) override {
    on_video_frame(userUuid, bSubVideo, data, type, width, height, rotation, offsets, strides, timestamp);
  }

  void onCameraDeviceChanged(const std::string& id, bool added) override {
    this->emit("onCameraDeviceChanged", id, added);
  }
  void onPlayoutDeviceChanged(const std::string& id, bool added) override {
    this->emit("onPlayoutDeviceChanged", id, added);
  }
  void onRecordDeviceChanged(const std::string& id, bool added) override {
    this->emit("onRecordDeviceChanged", id, added);
  }
  void onDefaultPlayoutDeviceChanged(const std::string& id) override {
    this->emit("onDefaultPlayoutDeviceChanged", id);
  }
  void onDefaultRecordDeviceChanged(const std::string& id) override { this->emit("onDefaultRecordDeviceChanged", id); }
  void onLocalAudioVolumeIndication(int32_t volume, bool vad) override {
    this->emit("onLocalAudioVolumeIndication", volume, vad);
  }
  void onLocalAudioVolumeIndication(int32_t volume) override { this->emit("onLocalAudioVolumeIndication", volume); }
  void onRtcVirtualBackgroundSourceEnabled(bool enabled, int32_t reason) override {
    this->emit("onRtcVirtualBackgroundSourceEnabled", enabled, reason);
  }
  void onLocalRecorderStatus(int32_t status, const std::string& path) override {
    this->emit("onLocalRecorderStatus", status, path);
  }
  void onLocalRecorderError(int32_t error, const std::string& message) override {
    this->emit("onLocalRecorderError", error, message);
  }
};

}  // namespace brimo
