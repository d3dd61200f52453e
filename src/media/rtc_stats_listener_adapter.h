// RtcStatsListenerAdapter: the statistics listener the module registers for
// addRtcStatsListener. Each report reaches the script listener as (eventName,
// payload); reports queue without blocking.
#pragma once

#include <list>

#include "core/bind.h"
#include "core/listeners.h"
#include "sdk/room_context.h"
#include "media/rtc_stats_records.h"
#include "sdk/rtc_stats_listener.h"

namespace brimo {

class RtcStatsListenerAdapter final : public ListenerAdapter<parlo::IQVRtcStatsListener> {
 public:
  using ListenerAdapter::ListenerAdapter;
  void onRtcStats(const parlo::RtcStats& stats) override { emit("onRtcStats", stats); }
  void onLocalAudioStats(const std::list<parlo::LocalAudioStats>& stats) override { emit("onLocalAudioStats", stats); }
  void onRemoteAudioStats(const parlo::RemoteAudioStatsMap& stats) override { emit("onRemoteAudioStats", stats); }
  void onLocalVideoStats(const std::list<parlo::LocalVideoStats>& stats) override { emit("onLocalVideoStats", stats); }
  void onRemoteVideoStats(const parlo::RemoteVideoStatsMap& stats) override { emit("onRemoteVideoStats", stats); }
  void onNetworkQuality(const std::list<parlo::NetworkQualityInfo>& quality) override {
    emit("onNetworkQuality", quality);
  }
};

using RtcStatsListeners = ListenerKind<RtcStatsListenerAdapter, &parlo::IQVRoomContext::addRtcStatsListener,
                                       &parlo::IQVRoomContext::removeRtcStatsListener, &ListenerRegistry::rtc_stats>;

}  // namespace brimo
