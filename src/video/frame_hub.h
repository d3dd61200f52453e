// The process-wide frame hub as the listener adapters see it: every decoded frame
// is handed here, on the SDK's thread.
#pragma once

#include <cstdint>
#include <string>

#include "video/frame_store.h"

namespace brimo {

inline void on_video_frame(const std::string& user_uuid, bool sub, const uint8_t* data, uint32_t type,
                           uint32_t width, uint32_t height, uint32_t rotation, const int32_t* offsets,
                           const int32_t* strides, uint32_t timestamp) {
  video::FrameStore& store = video::FrameStore::instance();
  if (!store.listening() || offsets == nullptr || strides == nullptr) return;
  video::FrameDescription d;
  d.type = type;
  d.width = width;
  d.height = height;
  d.extra = rotation;
  for (int i = 0; i < 4; ++i) {
    d.offsets[i] = offsets[i];
    d.strides[i] = strides[i];
  }
  d.extra2 = timestamp;
  store.store(user_uuid, sub, data, d);
}

}  // namespace brimo
