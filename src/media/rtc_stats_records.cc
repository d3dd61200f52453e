#include "media/rtc_stats_records.h"

#include "core/record_writer.h"

namespace parlo {
namespace {

using brimo::field;
using brimo::KeyWriter;

const KeyWriter<RtcStats> kRtcStatsKeys[] = {
    field<&RtcStats::cpuAppUsageRatio>("cpuAppUsageRatio"),
    field<&RtcStats::cpuIdleUsageRatio>("cpuIdleUsageRatio"),
    field<&RtcStats::cpuTotalUsageRatio>("cpuTotalUsageRatio"),
    field<&RtcStats::memoryAppUsageRatio>("memoryAppUsageRatio"),
    field<&RtcStats::memoryTotalUsageRatio>("memoryTotalUsageRatio"),
    field<&RtcStats::memoryAppInKBytes>("memoryAppInKBytes"),
    field<&RtcStats::totalDuration>("totalDuration"),
    field<&RtcStats::txBytes>("txBytes"),
    field<&RtcStats::rxBytes>("rxBytes"),
    field<&RtcStats::txAudioBytes>("txAudioBytes"),
    field<&RtcStats::txVideoBytes>("txVideoBytes"),
    field<&RtcStats::rxAudioBytes>("rxAudioBytes"),
    field<&RtcStats::rxVideoBytes>("rxVideoBytes"),
    field<&RtcStats::txAudioKBitRate>("txAudioKBitRate"),
    field<&RtcStats::rxAudioKBitRate>("rxAudioKBitRate"),
    field<&RtcStats::txVideoKBitRate>("txVideoKBitRate"),
    field<&RtcStats::rxVideoKBitRate>("rxVideoKBitRate"),
    field<&RtcStats::upRtt>("upRtt"),
    field<&RtcStats::downRtt>("downRtt"),
    field<&RtcStats::txAudioPacketLossRate>("txAudioPacketLossRate"),
    field<&RtcStats::txVideoPacketLossRate>("txVideoPacketLossRate"),
    field<&RtcStats::txAudioPacketLossSum>("txAudioPacketLossSum"),
    field<&RtcStats::txVideoPacketLossSum>("txVideoPacketLossSum"),
    field<&RtcStats::txAudioJitter>("txAudioJitter"),
    field<&RtcStats::txVideoJitter>("txVideoJitter"),
    field<&RtcStats::rxAudioPacketLossRate>("rxAudioPacketLossRate"),
    field<&RtcStats::rxVideoPacketLossRate>("rxVideoPacketLossRate"),
    field<&RtcStats::rxAudioPacketLossSum>("rxAudioPacketLossSum"),
    field<&RtcStats::rxVideoPacketLossSum>("rxVideoPacketLossSum"),
    field<&RtcStats::rxAudioJitter>("rxAudioJitter"),
    field<&RtcStats::rxVideoJitter>("rxVideoJitter"),
};

const KeyWriter<LocalAudioStats> kLocalAudioKeys[] = {
    field<&LocalAudioStats::streamType>("streamType"),
    field<&LocalAudioStats::numChannels>("numChannels"),
    field<&LocalAudioStats::sentSampleRate>("sentSampleRate"),
    field<&LocalAudioStats::sentBitRate>("sentBitRate"),
    field<&LocalAudioStats::audioLossRate>("audioLossRate"),
    field<&LocalAudioStats::rtt>("rtt"),
    field<&LocalAudioStats::volume>("volume"),
    field<&LocalAudioStats::capVolume>("capVolume"),
};

const KeyWriter<RemoteAudioStats> kRemoteAudioKeys[] = {
    field<&RemoteAudioStats::streamType>("streamType"),
    field<&RemoteAudioStats::receivedBitRate>("receivedBitRate"),
    field<&RemoteAudioStats::totalFrozenTime>("totalFrozenTime"),
    field<&RemoteAudioStats::frozenRate>("frozenRate"),
    field<&RemoteAudioStats::audioLossRate>("audioLossRate"),
    field<&RemoteAudioStats::volume>("volume"),
};

const KeyWriter<LocalVideoStats> kLocalVideoKeys[] = {
    field<&LocalVideoStats::layerType>("layerType"),
    field<&LocalVideoStats::width>("width"),
    field<&LocalVideoStats::height>("height"),
    field<&LocalVideoStats::captureWidth>("captureWidth"),
    field<&LocalVideoStats::captureHeight>("captureHeight"),
    field<&LocalVideoStats::captureFrameRate>("captureFrameRate"),
    field<&LocalVideoStats::renderFrameRate>("renderFrameRate"),
    field<&LocalVideoStats::encoderFrameRate>("encoderFrameRate"),
    field<&LocalVideoStats::sentFrameRate>("sentFrameRate"),
    field<&LocalVideoStats::sentBitRate>("sentBitRate"),
    field<&LocalVideoStats::targetBitRate>("targetBitRate"),
    field<&LocalVideoStats::encoderBitRate>("encoderBitRate"),
    field<&LocalVideoStats::encoderName>("encoderName"),
};

const KeyWriter<RemoteVideoStats> kRemoteVideoKeys[] = {
    field<&RemoteVideoStats::layerType>("layerType"),
    field<&RemoteVideoStats::width>("width"),
    field<&RemoteVideoStats::height>("height"),
    field<&RemoteVideoStats::receivedBitRate>("receivedBitRate"),
    field<&RemoteVideoStats::receivedFrameRate>("receivedFrameRate"),
    field<&RemoteVideoStats::decoderFrameRate>("decoderFrameRate"),
    field<&RemoteVideoStats::renderFrameRate>("renderFrameRate"),
    field<&RemoteVideoStats::packetLossRate>("packetLossRate"),
    field<&RemoteVideoStats::totalFrozenTime>("totalFrozenTime"),
    field<&RemoteVideoStats::frozenRate>("frozenRate"),
    field<&RemoteVideoStats::encoderName>("encoderName"),
};

const KeyWriter<NetworkQualityInfo> kNetworkQualityKeys[] = {
    field<&NetworkQualityInfo::userUuid>("userUuid"),
    field<&NetworkQualityInfo::upStatus>("upStatus"),
    field<&NetworkQualityInfo::downStatus>("downStatus"),
};

}  // namespace

Napi::Value to_js(Napi::Env env, const RtcStats& stats) { return brimo::write_keys(env, stats, kRtcStatsKeys); }
Napi::Value to_js(Napi::Env env, const LocalAudioStats& stats) { return brimo::write_keys(env, stats, kLocalAudioKeys); }
Napi::Value to_js(Napi::Env env, const RemoteAudioStats& stats) { return brimo::write_keys(env, stats, kRemoteAudioKeys); }
Napi::Value to_js(Napi::Env env, const LocalVideoStats& stats) { return brimo::write_keys(env, stats, kLocalVideoKeys); }
Napi::Value to_js(Napi::Env env, const RemoteVideoStats& stats) { return brimo::write_keys(env, stats, kRemoteVideoKeys); }
Napi::Value to_js(Napi::Env env, const NetworkQualityInfo& quality) {
  return brimo::write_keys(env, quality, kNetworkQualityKeys);
}

}  // namespace parlo
