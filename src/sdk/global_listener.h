// The kit's global event listener. Only the three string events are of interest to
// script; the SDK also reports engine lifecycle through the first three.
#pragma once

#include <cstdint>
#include <string>

namespace parlo {

class IQVGlobalEventListener {
 public:
  virtual ~IQVGlobalEventListener() = default;
  virtual void onBeforeRtcEngineInitialize(const std::string& roomUuid) = 0;
  virtual void onAfterRtcEngineInitialize(const std::string& roomUuid) = 0;
  virtual void onBeforeRtcEngineRelease(const std::string& roomUuid) = 0;
  virtual void onRtcEngineEvent(const std::string& event) = 0;
  virtual void onRtcEngineMessage(const std::string& message) = 0;
  virtual void onRtcEngineWarning(const std::string& warning) = 0;
};

}  // namespace parlo
