// RTC controller records as JSON, declared once per record: the journal shows what
// the SDK received, scripted results and script's device and capture source lists
// read back into records. Every record reads with defaults, so script may give only
// the fields it cares about.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "sdk/rtc_controller.h"

namespace parlo {

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(RtcDeviceInfo, deviceName, deviceId, unavailable, defaultDevice)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(VideoCanvas, enabled, window, scalingMode, mirrorMode)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(ScreenShareConfig, captureCursor, highlightBorder, borderWidth,
                                                borderColor, monitorIndex, limitFrameRate, videoProfile)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Rect, x, y, width, height)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SnapshotResult, path, timestamp)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(LocalRecordParams, isShowTimestampCover, recordAudio, recordVideo,
                                                filePath, fileName, coverConfigFilePath, defaultCoverConfigFilePath,
                                                coverTitle, coverMeetingNumber, coverCreateTime)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(LocalRecordLayout, streamType, isShowNameCover,
                                                isShowStreamDefaultCover, isScreenShare, streamLayer, offsetX,
                                                offsetY, width, height, scalingMode, bgColor, uid)

// A pushed frame shows its numbers and whether it carried pixels: the pixels belong
// to script, and nothing says how many there are to read.
inline void to_json(nlohmann::json& j, const RecorderVideoFrame& f) {
  j = nlohmann::json{{"format", f.format}, {"timestamp", f.timestamp}, {"width", f.width},
                     {"height", f.height}, {"rotation", f.rotation},  {"data", f.data != nullptr}};
}

}  // namespace parlo

namespace parlo_sim {

// A capture source's thumbnail or icon as the simulation keeps it: the bytes it owns
// and the length the SDK reports, which is their count when there are bytes. As JSON:
// { width, height, length, bytes }, bytes as base64 (or, read from script, an array
// of numbers 0 to 255); without bytes, a length alone hands the SDK a null pointer.
struct ImageState {
  int32_t width = 0;
  int32_t height = 0;
  uint32_t length = 0;
  std::vector<uint8_t> bytes;

  // The SDK's record, pointing into `bytes`: valid while this image is.
  parlo::CaptureImage record() const {
    return parlo::CaptureImage{bytes.empty() ? nullptr : bytes.data(), length, width, height};
  }
};
void to_json(nlohmann::json& j, const ImageState& image);
void from_json(const nlohmann::json& j, ImageState& image);

// A screen or window that can be shared, with the SDK source record's field names.
struct SourceState {
  int32_t type = 0;
  int64_t id = 0;
  std::string title;
  std::string name;
  std::string processPath;
  ImageState thumbnail;
  ImageState icon;
  bool primaryMonitor = false;

  // The SDK's record, pointing into this source's images.
  parlo::ScreenCaptureSource record() const {
    return parlo::ScreenCaptureSource{type, id, title, name, processPath, thumbnail.record(), icon.record(),
                                      primaryMonitor};
  }
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SourceState, type, id, title, name, processPath, thumbnail, icon,
                                                primaryMonitor)

}  // namespace parlo_sim
