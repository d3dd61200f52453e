// The records of the preview room's controller as JSON, declared once per record:
// the journal shows what the SDK received; script's device lists and scripted
// results read back into records, each field with its default when absent.
#pragma once

#include <nlohmann/json.hpp>

#include "sdk/preview_rtc_controller.h"

namespace parlo {

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(RtcDeviceInfo, deviceName, deviceId, unavailable, defaultDevice)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(VideoCanvas, enabled, window, scalingMode, mirrorMode)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(LocalRecordParams, isShowTimestampCover, recordAudio, recordVideo,
                                                filePath, fileName, coverConfigFilePath, defaultCoverConfigFilePath,
                                                coverTitle, coverMeetingNumber, coverCreateTime)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(LocalRecordLayout, streamType, isShowNameCover,
                                                isShowStreamDefaultCover, isScreenShare, streamLayer, offsetX,
                                                offsetY, width, height, scalingMode, bgColor, uid)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(VirtualBackgroundSource, backgroundSourceType, color, source)

// A pushed frame shows its numbers and whether it carried pixels: the pixels belong
// to script, and nothing says how many there are to read.
inline void to_json(nlohmann::json& j, const RecorderVideoFrame& f) {
  j = nlohmann::json{{"format", f.format}, {"timestamp", f.timestamp}, {"width", f.width},
                     {"height", f.height}, {"rotation", f.rotation},  {"data", f.data != nullptr}};
}

}  // namespace parlo
