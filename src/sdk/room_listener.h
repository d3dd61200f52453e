// The SDK's room listener: decoded video frames first, then the room events.
#pragma once

#include <cstdint>
#include <string>

namespace parlo {

class IQVRoomListener {
 public:
  virtual ~IQVRoomListener() = default;

  // One decoded I420 frame of a user's main or sub stream. `data` holds the planes
  // at offsets[0..2] with strides[0..2]; it is only valid during the call.
  virtual void onVideoFrame(const std::string& userUuid, bool bSubVideo, const uint8_t* data, uint32_t type,
                            uint32_t width, uint32_t height, uint32_t rotation, const int32_t* offsets,
                            const int32_t* strides, uint32_t timestamp) = 0;

  // Room events follow here, in the SDK's order.
};

}  // namespace parlo
