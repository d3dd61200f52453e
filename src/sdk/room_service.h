// The SDK's room service. Its operations are declared with the rooms.
#pragma once

#include "sdk/parlo_types.h"

namespace parlo {

class IQVRoomService {
 protected:
  virtual ~IQVRoomService() = default;
};

}  // namespace parlo
