// The SDK's preview room listener: exactly the operations it shares with the room
// listener (decoded video frames of the local preview, device changes, the local
// volume, the virtual background and the local recorder).
#pragma once

#include "sdk/base_room_listener.h"

namespace parlo {

class IQVPreviewRoomListener : public IQVBaseRoomListener {};

}  // namespace parlo
