// The SDK's preview room: reached from the room service without a room UUID, it
// gives its RTC controller and takes preview room listeners.
#pragma once

#include "sdk/preview_room_listener.h"
#include "sdk/preview_rtc_controller.h"

namespace parlo {

class IQVPreviewRoomContext {
 public:
  virtual IQVPreviewRoomRtcController* getPreviewRoomRtcController() = 0;
  virtual void addPreviewRoomListener(IQVPreviewRoomListener* listener) = 0;
  virtual void removePreviewRoomListener(IQVPreviewRoomListener* listener) = 0;

 protected:
  virtual ~IQVPreviewRoomContext() = default;
};

}  // namespace parlo
