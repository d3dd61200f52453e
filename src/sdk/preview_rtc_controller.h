// The SDK's RTC controller of the preview room, used before joining: the operations
// it shares with a room's controller, then its own device tests and effects.
#pragma once

#include <cstdint>
#include <string>

#include "sdk/rtc_controller.h"

namespace parlo {

// A virtual background: what kind of source, the SDK's fill colour, and the source
// (an image or video path).
struct VirtualBackgroundSource {
  uint32_t backgroundSourceType = 1;
  uint32_t color = 0xFFFFFF;
  std::string source;
};

class IQVPreviewRoomRtcController : public IQVBaseRtcController {
 public:
  virtual int32_t startVideoPreview() = 0;
  virtual int32_t stopVideoPreview() = 0;
  // Plays the file through the selected playout device.
  virtual int32_t startPlayoutDeviceTest(const std::string& filePath) = 0;
  virtual int32_t stopPlayoutDeviceTest() = 0;
  // Reports the selected microphone's volume every `interval` milliseconds.
  virtual int32_t startRecordDeviceTest(uint32_t interval) = 0;
  virtual int32_t stopRecordDeviceTest() = 0;
  virtual int32_t enableVirtualBackground(bool enable, const VirtualBackgroundSource& source, bool flag) = 0;
  virtual int32_t startBeauty(const std::string& path) = 0;
  virtual int32_t stopBeauty() = 0;
  virtual int32_t enableBeauty(bool enable) = 0;
  virtual int32_t setBeautyEffect(int32_t type, float level) = 0;
  virtual int32_t setLocalVoicePitch(double pitch) = 0;
  virtual int32_t setRecordDeviceMute(bool mute) = 0;
  virtual int32_t setPlayoutDeviceMute(bool mute) = 0;
  virtual int32_t installAudioCaptureDriver() = 0;

 protected:
  virtual ~IQVPreviewRoomRtcController() = default;
};

}  // namespace parlo
