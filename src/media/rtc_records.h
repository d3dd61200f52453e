// Script forms of the RTC controller's records: device-info objects, capture
// sources, snapshots; and the records read from script: canvases' window handles,
// share configs, rectangles, local recording parameters, layouts and frames.
#pragma once

#include <napi.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "sdk/rtc_controller.h"

namespace parlo {

// deviceId, deviceName, unavailable, defaultDevice.
Napi::Value to_js(Napi::Env env, const RtcDeviceInfo& device);

// Records read from script arguments, found by the binder next to the records.
void read_value(const Napi::Value& v, LocalRecordParams& out);
void read_value(const Napi::Value& v, LocalRecordLayoutList& out);
void read_value(const Napi::Value& v, Rect& out);
// A canvas for a remote stream: never mirrored.
void read_value(const Napi::Value& v, VideoCanvas& out);

}  // namespace parlo

namespace brimo {

// An enumeration's result: as many entries as the SDK listed, set only when its
// code is 0.
Napi::Value device_list_to_js(Napi::Env env, const parlo::RtcDeviceList& devices, int32_t code);
// A default-device query's result: deviceId and deviceName when the code is 0, else
// an empty object.
Napi::Value default_device_to_js(Napi::Env env, const parlo::RtcDeviceInfo& device, int32_t code);
// A snapshot reaches script as its path only.
Napi::Value snapshot_to_js(Napi::Env env, const parlo::SnapshotResult& snapshot);

// The native window handle in a typed array: its first 8 bytes, little-endian, when
// the array holds at least 8 bytes; else 0. A value that is not a typed array
// raises the runtime's error and gives 0.
uint64_t window_handle(const Napi::Value& value);
// A typed array's first 8 bytes, little-endian; false (nothing read) when the value
// is not a typed array of at least 8 bytes.
bool read_eight_bytes(const Napi::Value& value, uint64_t& out);

// A recorder frame read from script: its keys when present, and the pixels straight
// from the typed array under `buffer` (no copy, valid for the call); `bytes` is that
// array's byte length.
parlo::RecorderVideoFrame read_recorder_frame(const Napi::Value& value, size_t& bytes);
// False when the frame's format has a known size and its array is shorter.
bool recorder_frame_fits(const parlo::RecorderVideoFrame& frame, size_t bytes);

// limitFrameRate and videoProfile over the defaults, each read when present.
parlo::ScreenShareConfig read_share_config(const Napi::Value& value);

// A capture source as the completion copied it: the SDK's record (its pixel pointers
// cleared) with the thumbnail's and icon's bytes owned here.
struct CapturedSource {
  parlo::ScreenCaptureSource source;
  std::vector<uint8_t> thumbnail;
  std::vector<uint8_t> icon;
};
using CapturedSources = std::vector<CapturedSource>;

// Copies the SDK's list on the SDK thread, so nothing refers to its memory later.
CapturedSources capture_sources(const parlo::ScreenCaptureSourceList& sources);
// The source object of the source at `index`: type, id (the index), title, name,
// processPath, thumbImage, icon, primaryMonitor.
Napi::Value source_to_js(Napi::Env env, const CapturedSource& source, uint32_t index);

}  // namespace brimo
