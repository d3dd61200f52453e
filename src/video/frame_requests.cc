#include "video/frame_requests.h"

#include <cstdint>
#include <string>

#include "core/from_js.h"
#include "core/lifetime.h"
#include "core/to_js.h"
#include "video/frame_store.h"

namespace brimo {
namespace {

// Reading a request can run script (getters, setters). A poll or stop started from
// there would release the frames the poll in progress has yet to hand out, so the
// video frame methods refuse until the poll ends. Only touched on the script thread.
bool g_fetching = false;

bool refuse_reentry(Napi::Env env) {
  if (!g_fetching) return false;
  Napi::Error::New(env, "the video frame methods cannot be called while getVideoFrame reads its requests")
      .ThrowAsJavaScriptException();
  return true;
}

size_t element_size(napi_typedarray_type type) {
  switch (type) {
    case napi_int8_array:
    case napi_uint8_array:
    case napi_uint8_clamped_array:
      return 1;
    case napi_int16_array:
    case napi_uint16_array:
      return 2;
    case napi_int32_array:
    case napi_uint32_array:
    case napi_float32_array:
      return 4;
    case napi_float64_array:
      return 8;
    default:
      return 0;  // the 64-bit integer kinds receive no pixels
  }
}

// The destination of one request: its bytes, valid for this call only.
struct Destination {
  uint8_t* data = nullptr;
  size_t capacity = 0;
};

Destination destination(Napi::Env env, const Napi::Value& bytes) {
  if (bytes.IsEmpty()) return {};  // the read that should have found it raised already
  napi_typedarray_type type;
  size_t length = 0;
  void* data = nullptr;
  if (napi_get_typedarray_info(env, bytes, &type, &length, &data, nullptr, nullptr) != napi_ok) {
    Napi::Error::New(env).ThrowAsJavaScriptException();
    return {};
  }
  return {static_cast<uint8_t*>(data), length * element_size(type)};
}

void write_result(Napi::Env env, Napi::Object request, Napi::Object frame, Napi::Object buffer,
                  const video::FetchResult& r) {
  if (r.has_counters) {
    request.Set("total", to_js(env, r.total));
    request.Set("drop", to_js(env, r.drop));
  }
  if (r.has_meta) {
    frame.Set("bSubVideo", to_js(env, r.sub));
    frame.Set("type", to_js(env, r.type));
    frame.Set("width", to_js(env, r.width));
    frame.Set("height", to_js(env, r.height));
    buffer.Set("yStride", to_js(env, r.y_stride));
    buffer.Set("uStride", to_js(env, r.u_stride));
    buffer.Set("vStride", to_js(env, r.v_stride));
    buffer.Set("yOffset", to_js(env, r.y_offset));
    buffer.Set("uOffset", to_js(env, r.u_offset));
    buffer.Set("vOffset", to_js(env, r.v_offset));
  }
  request.Set("code", to_js(env, r.code));
  if (r.has_delay) request.Set("delay", to_js(env, r.delay_ms));
}

}  // namespace

Napi::Value start_listen_video_frame(const Napi::CallbackInfo& info) {
  // Frames are stored only once script has listened: from then on the environment's
  // teardown empties the hub for the next one.
  static const bool reset_at_teardown = (at_teardown([] { video::FrameStore::instance().reset(); }), true);
  (void)reset_at_teardown;
  video::FrameStore::instance().start();
  return info.Env().Undefined();
}

Napi::Value stop_listen_video_frame(const Napi::CallbackInfo& info) {
  if (!refuse_reentry(info.Env())) video::FrameStore::instance().stop();
  return info.Env().Undefined();
}

Napi::Value get_video_frame(const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  if (refuse_reentry(env)) return env.Undefined();
  Napi::Value requests = info[0];
  if (array_length(requests) == 0) return env.Undefined();

  g_fetching = true;
  {
    video::FetchBatch batch = video::FrameStore::instance().begin_fetch();
    for (uint32_t i = 0; i < array_length(requests); ++i) {
      Napi::HandleScope scope(env);
      Napi::Value request = element(env, requests, i);
      Napi::Value frame = property(env, request, "frame");
      Napi::Value buffer = property(env, frame, "buffer");
      Napi::Value bytes = property(env, buffer, "bytes");
      Destination dest = destination(env, bytes);
      std::string user_uuid = utf8(property(env, frame, "userUuid"));
      bool sub = truthy(property(env, frame, "bSubVideo"));
      // The reads above can run getters, and a getter can detach or shrink the
      // array: take its memory again now that no script runs before the copy.
      if (dest.data) dest = destination(env, bytes);
      video::FetchResult result = batch.fetch(user_uuid, sub, dest.data, dest.capacity);
      // After a failed read the runtime refuses every further read and write.
      if (env.IsExceptionPending()) break;
      write_result(env, Napi::Object(env, request), Napi::Object(env, frame), Napi::Object(env, buffer), result);
    }
  }
  g_fetching = false;
  return env.Undefined();
}

}  // namespace brimo
