#include "media/rtc_records.h"

#include <cstring>
#include <type_traits>

#include "core/from_js.h"
#include "core/record_reader.h"
#include "core/record_writer.h"
#include "core/to_js.h"

namespace parlo {

using brimo::field;
using brimo::key;
using brimo::KeyReader;
using brimo::KeyWriter;

namespace {

const KeyWriter<RtcDeviceInfo> kDeviceKeys[] = {
    field<&RtcDeviceInfo::deviceId>("deviceId"),
    field<&RtcDeviceInfo::deviceName>("deviceName"),
    field<&RtcDeviceInfo::unavailable>("unavailable"),
    field<&RtcDeviceInfo::defaultDevice>("defaultDevice"),
};

const KeyReader<LocalRecordParams> kLocalRecordKeys[] = {
    key<&LocalRecordParams::filePath>("filePath"),
    key<&LocalRecordParams::fileName>("fileName"),
    key<&LocalRecordParams::coverConfigFilePath>("coverConfigFilePath"),
    key<&LocalRecordParams::defaultCoverConfigFilePath>("defaultCoverConfigFilePath"),
    key<&LocalRecordParams::coverTitle>("coverTitle"),
    key<&LocalRecordParams::coverMeetingNumber>("coverMeetingNumber"),
    key<&LocalRecordParams::coverCreateTime>("coverCreateTime"),
    key<&LocalRecordParams::isShowTimestampCover>("isShowTimestampCover"),
    key<&LocalRecordParams::recordAudio>("recordAudio"),
    key<&LocalRecordParams::recordVideo>("recordVideo"),
};

// A layout key is read only when its value is of the field's kind; else the field
// keeps its default.
template <auto Member>
void read_if_kind(const Napi::Value& value, brimo::record_of<Member>& record) {
  using Field = typename brimo::member_traits<decltype(Member)>::type;
  bool kind = false;
  if constexpr (std::is_same_v<Field, bool>) {
    kind = value.IsBoolean();
  } else if constexpr (std::is_same_v<Field, std::string>) {
    kind = value.IsString();
  } else {
    kind = value.IsNumber();
  }
  if (kind) brimo::read_value(value, record.*Member);
}

template <auto Member>
constexpr KeyReader<brimo::record_of<Member>> kind_key(const char* name) {
  return {name, &read_if_kind<Member>};
}

const KeyReader<LocalRecordLayout> kLayoutKeys[] = {
    kind_key<&LocalRecordLayout::offsetX>("offsetX"),
    kind_key<&LocalRecordLayout::offsetY>("offsetY"),
    kind_key<&LocalRecordLayout::width>("width"),
    kind_key<&LocalRecordLayout::height>("height"),
    kind_key<&LocalRecordLayout::scalingMode>("scalingMode"),
    kind_key<&LocalRecordLayout::streamLayer>("streamLayer"),
    kind_key<&LocalRecordLayout::bgColor>("bgColor"),
    kind_key<&LocalRecordLayout::streamType>("streamType"),
    kind_key<&LocalRecordLayout::isScreenShare>("isScreenShare"),
    kind_key<&LocalRecordLayout::isShowNameCover>("isShowNameCover"),
    kind_key<&LocalRecordLayout::isShowStreamDefaultCover>("isShowStreamDefaultCover"),
    kind_key<&LocalRecordLayout::uid>("uid"),
};

const KeyReader<RecorderVideoFrame> kFrameKeys[] = {
    key<&RecorderVideoFrame::format>("format"),
    key<&RecorderVideoFrame::rotation>("rotation"),
    key<&RecorderVideoFrame::width>("width"),
    key<&RecorderVideoFrame::height>("height"),
    key<&RecorderVideoFrame::timestamp>("timestamp"),
};

const KeyReader<Rect> kRectKeys[] = {
    key<&Rect::x>("x"),
    key<&Rect::y>("y"),
    key<&Rect::width>("width"),
    key<&Rect::height>("height"),
};

const KeyReader<ScreenShareConfig> kShareConfigKeys[] = {
    key<&ScreenShareConfig::limitFrameRate>("limitFrameRate"),
    key<&ScreenShareConfig::videoProfile>("videoProfile"),
};

template <class Record, size_t N>
void read_present(const Napi::Value& value, const KeyReader<Record> (&keys)[N], Record& record) {
  Napi::Object from = value.IsEmpty() ? Napi::Object::New(value.Env()) : Napi::Object(value.Env(), value);
  brimo::read_keys(from, keys, record);
}

}  // namespace

Napi::Value to_js(Napi::Env env, const RtcDeviceInfo& device) { return brimo::write_keys(env, device, kDeviceKeys); }

void read_value(const Napi::Value& v, LocalRecordParams& out) { read_present(v, kLocalRecordKeys, out); }

// Elements from index 0 while the index is below the length, read again at every
// step (within the entry limit).
void read_value(const Napi::Value& v, LocalRecordLayoutList& out) {
  for (uint32_t i = 0; i < brimo::list_length(v); ++i) {
    LocalRecordLayout layout;
    Napi::Value element = brimo::element(v.Env(), v, i);
    if (brimo::is_object(element)) read_present(element, kLayoutKeys, layout);
    out.push_back(layout);
    if (v.Env().IsExceptionPending()) break;
  }
}

void read_value(const Napi::Value& v, Rect& out) { read_present(v, kRectKeys, out); }

void read_value(const Napi::Value& v, VideoCanvas& out) {
  out = VideoCanvas{};
  out.window = brimo::window_handle(v);
}

}  // namespace parlo

namespace brimo {

Napi::Value device_list_to_js(Napi::Env env, const parlo::RtcDeviceList& devices, int32_t code) {
  Napi::Array array = Napi::Array::New(env, devices.size());
  if (code != 0) return array;
  uint32_t i = 0;
  for (const auto& device : devices) array.Set(i++, parlo::to_js(env, device));
  return array;
}

Napi::Value default_device_to_js(Napi::Env env, const parlo::RtcDeviceInfo& device, int32_t code) {
  Napi::Object object = Napi::Object::New(env);
  if (code != 0) return object;
  object.Set("deviceId", to_js(env, device.deviceId));
  object.Set("deviceName", to_js(env, device.deviceName));
  return object;
}

Napi::Value snapshot_to_js(Napi::Env env, const parlo::SnapshotResult& snapshot) { return to_js(env, snapshot.path); }

namespace {

size_t element_size(napi_typedarray_type type) {
  switch (type) {
    case napi_int8_array:
    case napi_uint8_array:
    case napi_uint8_clamped_array: return 1;
    case napi_int16_array:
    case napi_uint16_array: return 2;
    case napi_int32_array:
    case napi_uint32_array:
    case napi_float32_array: return 4;
    case napi_float64_array: return 8;
    default: return 0;  // kinds whose bytes never make a handle
  }
}

// The array's data and its byte length by element kind; false when not a typed array.
bool typed_bytes(const Napi::Value& value, const uint8_t*& data, size_t& bytes) {
  napi_typedarray_type type;
  size_t length = 0;
  void* raw = nullptr;
  if (value.IsEmpty() ||
      napi_get_typedarray_info(value.Env(), value, &type, &length, &raw, nullptr, nullptr) != napi_ok) {
    return false;
  }
  data = static_cast<const uint8_t*>(raw);
  bytes = data == nullptr ? 0 : length * element_size(type);
  return true;
}

uint64_t little_endian(const uint8_t* data) {
  uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = (value << 8) | data[i];
  return value;
}

}  // namespace

uint64_t window_handle(const Napi::Value& value) {
  const uint8_t* data = nullptr;
  size_t bytes = 0;
  if (!typed_bytes(value, data, bytes)) {
    if (!value.IsEmpty()) raise_failed(value.Env());
    return 0;
  }
  return bytes >= 8 ? little_endian(data) : 0;
}

bool read_eight_bytes(const Napi::Value& value, uint64_t& out) {
  const uint8_t* data = nullptr;
  size_t bytes = 0;
  if (!typed_bytes(value, data, bytes) || bytes < 8) return false;
  out = little_endian(data);
  return true;
}

parlo::RecorderVideoFrame read_recorder_frame(const Napi::Value& value, size_t& bytes) {
  parlo::RecorderVideoFrame frame;
  bytes = 0;
  parlo::read_present(value, parlo::kFrameKeys, frame);
  // The buffer is read last: no script runs between taking its memory and the call.
  if (!has(value, "buffer")) return frame;
  Napi::Value buffer = property(value.Env(), value, "buffer");
  napi_typedarray_type type;
  size_t length = 0;
  void* data = nullptr;
  if (buffer.IsEmpty() ||
      napi_get_typedarray_info(value.Env(), buffer, &type, &length, &data, nullptr, nullptr) != napi_ok) {
    raise_failed(value.Env());
    return frame;
  }
  frame.data = static_cast<const uint8_t*>(data);
  bytes = data == nullptr ? 0 : length * element_size(type);
  return frame;
}

bool recorder_frame_fits(const parlo::RecorderVideoFrame& frame, size_t bytes) {
  const uint64_t pixels = uint64_t{frame.width} * frame.height;
  switch (frame.format) {
    case parlo::kRecorderFrameI420: return bytes >= pixels + 2 * ((uint64_t{frame.width} + 1) / 2) * ((uint64_t{frame.height} + 1) / 2);
    case parlo::kRecorderFrameRGBA: return bytes >= pixels * 4;
    default: return true;
  }
}

parlo::ScreenShareConfig read_share_config(const Napi::Value& value) {
  parlo::ScreenShareConfig config;
  parlo::read_present(value, parlo::kShareConfigKeys, config);
  return config;
}

CapturedSources capture_sources(const parlo::ScreenCaptureSourceList& sources) {
  CapturedSources copies;
  copies.reserve(sources.size());
  for (const auto& source : sources) {
    // The pixels are those of the first source listed under the same id.
    const parlo::ScreenCaptureSource* first = &source;
    for (const auto& other : sources) {
      if (other.id == source.id) {
        first = &other;
        break;
      }
    }
    CapturedSource copy{source, {}, {}};
    const auto own = [](const parlo::CaptureImage& image) {
      if (image.length == 0 || image.data == nullptr) return std::vector<uint8_t>{};
      return std::vector<uint8_t>(image.data, image.data + image.length);
    };
    copy.thumbnail = own(first->thumbnail);
    copy.icon = own(first->icon);
    copy.source.thumbnail.data = nullptr;
    copy.source.icon.data = nullptr;
    copies.push_back(std::move(copy));
  }
  return copies;
}

namespace {

Napi::Value image_to_js(Napi::Env env, const parlo::CaptureImage& image, const std::vector<uint8_t>& bytes) {
  Napi::Object size = Napi::Object::New(env);
  size.Set("width", to_js(env, image.width));
  size.Set("height", to_js(env, image.height));
  Napi::Object object = Napi::Object::New(env);
  object.Set("size", size);
  object.Set("length", to_js(env, image.length));
  if (image.length != 0 && !bytes.empty()) {
    Napi::ArrayBuffer buffer = Napi::ArrayBuffer::New(env, bytes.size());
    std::memcpy(buffer.Data(), bytes.data(), bytes.size());
    object.Set("data", Napi::Uint8Array::New(env, bytes.size(), buffer, 0));
  }
  return object;
}

}  // namespace

Napi::Value source_to_js(Napi::Env env, const CapturedSource& captured, uint32_t index) {
  const parlo::ScreenCaptureSource& source = captured.source;
  Napi::Object object = Napi::Object::New(env);
  object.Set("type", to_js(env, source.type));
  object.Set("id", to_js(env, index));
  object.Set("title", to_js(env, source.title));
  object.Set("name", to_js(env, source.name));
  object.Set("processPath", to_js(env, source.processPath));
  object.Set("thumbImage", image_to_js(env, source.thumbnail, captured.thumbnail));
  object.Set("icon", image_to_js(env, source.icon, captured.icon));
  object.Set("primaryMonitor", to_js(env, source.primaryMonitor));
  return object;
}

}  // namespace brimo
