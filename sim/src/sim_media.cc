#include "sim_media.h"

#include <set>
#include <stdexcept>

namespace parlo_sim {
namespace {

using L = parlo::IQVBaseRoomListener;

parlo::RtcDeviceInfo device(const char* name, const char* id, bool is_default) {
  return parlo::RtcDeviceInfo{name, id, false, is_default};
}

// One kind of device: its list, the device chosen of it, and the events that
// report its changes (cameras have no default event).
struct DeviceKind {
  const char* list_key;
  const char* chosen_key;
  parlo::RtcDeviceList MediaState::*list;
  std::string MediaState::*chosen;
  void (L::*changed)(const std::string&, bool);
  void (L::*default_changed)(const std::string&);
};

const DeviceKind kDeviceKinds[] = {
    {"cameras", "selectedCamera", &MediaState::cameras, &MediaState::selectedCamera, &L::onCameraDeviceChanged,
     nullptr},
    {"playouts", "selectedPlayout", &MediaState::playouts, &MediaState::selectedPlayout, &L::onPlayoutDeviceChanged,
     &L::onDefaultPlayoutDeviceChanged},
    {"records", "selectedRecord", &MediaState::records, &MediaState::selectedRecord, &L::onRecordDeviceChanged,
     &L::onDefaultRecordDeviceChanged},
};

void check_devices(const DeviceKind& kind, const parlo::RtcDeviceList& list) {
  std::set<std::string> ids;
  int defaults = 0;
  for (const auto& d : list) {
    const std::string where = std::string(kind.list_key) + ": ";
    if (d.deviceId.empty()) throw std::invalid_argument(where + "every device needs a deviceId");
    if (!ids.insert(d.deviceId).second) {
      throw std::invalid_argument(where + "device " + d.deviceId + " is listed twice");
    }
    if (d.defaultDevice && ++defaults > 1) throw std::invalid_argument(where + "more than one default device");
  }
}

void kind_changes(const DeviceKind& kind, const MediaState& before, MediaState& after, bool chosen_given,
                  MediaEvents& events) {
  const parlo::RtcDeviceList& list = after.*kind.list;
  const parlo::RtcDeviceList& old = before.*kind.list;
  check_devices(kind, list);
  std::string& chosen = after.*kind.chosen;
  if (!chosen_given && find_device(list, chosen) == nullptr) chosen = default_id(list);
  if (chosen_given && !chosen.empty() && find_device(list, chosen) == nullptr) {
    throw std::invalid_argument(std::string(kind.chosen_key) + ": no device " + chosen + " in " + kind.list_key);
  }
  for (const auto& d : old) {
    if (find_device(list, d.deviceId) == nullptr) events.push_back(media_event(kind.changed, d.deviceId, false));
  }
  for (const auto& d : list) {
    if (find_device(old, d.deviceId) == nullptr) events.push_back(media_event(kind.changed, d.deviceId, true));
  }
  std::string now_default = default_id(list);
  if (kind.default_changed != nullptr && now_default != default_id(old)) {
    events.push_back(media_event(kind.default_changed, now_default));
  }
}

}  // namespace

MediaState initial_media() {
  MediaState s;
  s.cameras = {device("Sim HD Camera", "sim-camera-1", true), device("Sim USB Camera", "sim-camera-2", false)};
  s.playouts = {device("Sim Speakers", "sim-playout-1", true), device("Sim Headphones", "sim-playout-2", false)};
  s.records = {device("Sim Microphone", "sim-record-1", true), device("Sim Headset Microphone", "sim-record-2", false)};
  s.selectedCamera = "sim-camera-1";
  s.selectedPlayout = "sim-playout-1";
  s.selectedRecord = "sim-record-1";
  s.settings = json{
      {"localVideoCanvas", nullptr},
      {"localVideoResolution", nullptr},
      {"localVideoFramerate", nullptr},
      {"audioDeviceAutoSelectType", nullptr},
      {"audioProfile", nullptr},
      {"audioEchoCancellation", nullptr},
      {"audioVolumeIndication", nullptr},
      {"audioDump", nullptr},  // the dump's type while dumping
      {"audioAINS", nullptr},
      {"audioVolumeAutoAdjust", nullptr},
      {"recordingSignalVolume", nullptr},
      {"playbackSignalVolume", nullptr},
  };
  return s;
}

const parlo::RtcDeviceInfo* find_device(const parlo::RtcDeviceList& list, const std::string& id) {
  for (const auto& d : list) {
    if (d.deviceId == id) return &d;
  }
  return nullptr;
}

std::string default_id(const parlo::RtcDeviceList& list) {
  for (const auto& d : list) {
    if (d.defaultDevice) return d.deviceId;
  }
  return "";
}

MediaEvents device_changes(const MediaState& before, MediaState& after, const json& changes) {
  MediaEvents events;
  for (const DeviceKind& kind : kDeviceKinds) {
    kind_changes(kind, before, after, changes.contains(kind.chosen_key), events);
  }
  return events;
}

std::string recording_path(const json& params) {
  const std::string dir = params.value("filePath", "");
  std::string name = params.value("fileName", "");
  if (name.empty()) name = "local-record.mp4";
  return dir.empty() ? name : dir + "/" + name;
}

}  // namespace parlo_sim
