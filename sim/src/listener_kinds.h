// The listener kinds of the simulated SDK that more than one part of the
// simulation reaches (the frame source feeds room and preview room listeners, the
// rooms and the preview room raise events on them), and the event table of the
// operations the room and preview room listeners share.
#pragma once

#include <list>

#include "events.h"
#include "room_json.h"
#include "sdk/base_room_listener.h"
#include "sdk/preview_room_listener.h"
#include "sdk/room_listener.h"
#include "sdk/rtc_stats_listener.h"

namespace parlo_sim {

// Room listeners, scoped by room UUID.
Kind<parlo::IQVRoomListener>& room_listeners();

// RTC statistics listeners, scoped by room UUID.
Kind<parlo::IQVRtcStatsListener>& rtc_stats_listeners();

// Preview room listeners: one preview room, no scope.
Kind<parlo::IQVPreviewRoomListener>& preview_room_listeners();

// Both forms of an overloaded event go by one name: the arguments given pick the
// form (the first form whose parameters they read as).
template <class L>
EventHandler<L> either(EventHandler<L> first, EventHandler<L> second) {
  return [first, second](const json& args) -> PreparedEvent<L> {
    try {
      return first(args);
    } catch (const std::exception&) {
      return second(args);
    }
  };
}

template <class L, class... P>
EventHandler<L> form(void (L::*operation)(P...)) {
  return op(operation);
}

// `own` with the events every listener of a room or of the preview room has: device
// changes, the local volume, the virtual background and the local recorder.
template <class L>
EventTable<L> with_media_events(EventTable<L> own) {
  using B = parlo::IQVBaseRoomListener;
  const EventTable<B> shared = {
      {"onCameraDeviceChanged", op(&B::onCameraDeviceChanged)},
      {"onPlayoutDeviceChanged", op(&B::onPlayoutDeviceChanged)},
      {"onRecordDeviceChanged", op(&B::onRecordDeviceChanged)},
      {"onDefaultPlayoutDeviceChanged", op(&B::onDefaultPlayoutDeviceChanged)},
      {"onDefaultRecordDeviceChanged", op(&B::onDefaultRecordDeviceChanged)},
      {"onLocalAudioVolumeIndication",
       either<B>(form<B, int32_t, bool>(&B::onLocalAudioVolumeIndication),
                 form<B, int32_t>(&B::onLocalAudioVolumeIndication))},
      {"onRtcVirtualBackgroundSourceEnabled", op(&B::onRtcVirtualBackgroundSourceEnabled)},
      {"onLocalRecorderStatus", op(&B::onLocalRecorderStatus)},
      {"onLocalRecorderError", op(&B::onLocalRecorderError)},
  };
  for (const auto& [name, handler] : shared) own.emplace(name, handler);
  return own;
}

}  // namespace parlo_sim
