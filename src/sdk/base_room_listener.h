// The SDK's listener operations that the room listener and the preview room listener
// share, first in both interfaces: decoded video frames, device changes, the local
// volume, the virtual background and the local recorder.
#pragma once

#include <cstdint>
#include <string>

namespace parlo {

class IQVBaseRoomListener {
 public:
  virtual ~IQVBaseRoomListener() = default;

  // One decoded I420 frame of a user's main or sub stream. `data` holds the planes
  // at offsets[0..2] with strides[0..2]; it is only valid during the call.
  virtual void onVideoFrame(const std::string& userUuid, bool bSubVideo, const uint8_t* data, uint32_t type,
                            uint32_t width, uint32_t height, uint32_t rotation, const int32_t* offsets,
                            const int32_t* strides, uint32_t timestamp) = 0;

  virtual void onCameraDeviceChanged(const std::string& deviceId, bool added) = 0;
  virtual void onPlayoutDeviceChanged(const std::string& deviceId, bool added) = 0;
  virtual void onRecordDeviceChanged(const std::string& deviceId, bool added) = 0;
  virtual void onDefaultPlayoutDeviceChanged(const std::string& deviceId) = 0;
  virtual void onDefaultRecordDeviceChanged(const std::string& deviceId) = 0;
  virtual void onLocalAudioVolumeIndication(int32_t volume, bool vad) = 0;
  virtual void onLocalAudioVolumeIndication(int32_t volume) = 0;
  virtual void onRtcVirtualBackgroundSourceEnabled(bool enabled, int32_t reason) = 0;
  virtual void onLocalRecorderStatus(int32_t status, const std::string& path) = 0;
  virtual void onLocalRecorderError(int32_t error, const std::string& message) = 0;
};

}  // namespace parlo
