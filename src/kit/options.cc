#include "kit/options.h"

#include "core/record_reader.h"

namespace brimo {
namespace {

using parlo::IMServerConfig;
using parlo::ParloOptions;
using parlo::ParloServerConfig;
using parlo::RtcServerConfig;
using parlo::WhiteboardAppConfig;
using parlo::WhiteboardServerConfig;

const KeyReader<ParloOptions> kTopKeys[] = {
    key<&ParloOptions::appKey>("appKey"),
    key<&ParloOptions::logPath>("logPath"),
    key<&ParloOptions::logLevel>("logLevel"),
    key<&ParloOptions::reuseIM>("reuseIM"),
    key<&ParloOptions::useAssetServerConfig>("useAssetServerConfig"),
    key<&ParloOptions::useInternalVideoRender>("useInternalVideoRender"),
};

const KeyReader<ParloServerConfig> kParloServerKeys[] = {
    key<&ParloServerConfig::roomServer>("roomServer"),
};

const KeyReader<IMServerConfig> kImServerKeys[] = {
    key<&IMServerConfig::handShakeType>("handShakeType"),
    key<&IMServerConfig::negoKeyTarn>("negoKeyTarn"),
    key<&IMServerConfig::commTarn>("commTarn"),
    key<&IMServerConfig::lbs>("lbs"),
    key<&IMServerConfig::lbsBackupAddress>("lbsBackupAddress"),
    key<&IMServerConfig::vornLbs>("vornLbs"),
    key<&IMServerConfig::link>("link"),
    key<&IMServerConfig::linkIpv6>("linkIpv6"),
    key<&IMServerConfig::vornUploader>("vornUploader"),
    key<&IMServerConfig::vornUploaderHost>("vornUploaderHost"),
    key<&IMServerConfig::negoKeyTarnKeyParta>("negoKeyTarnKeyParta"),
    key<&IMServerConfig::negoKeyTarnKeyPartb>("negoKeyTarnKeyPartb"),
    key<&IMServerConfig::negoKeyTarnKeyVersion>("negoKeyTarnKeyVersion"),
    key<&IMServerConfig::vornDownloader>("vornDownloader"),
    key<&IMServerConfig::vornAccelerateHostList>("vornAccelerateHostList"),
    key<&IMServerConfig::vornAccelerate>("vornAccelerate"),
    key<&IMServerConfig::probeIpv4Url>("probeIpv4Url"),
    key<&IMServerConfig::probeIpv6Url>("probeIpv6Url"),
    key<&IMServerConfig::httpDnsServerInterface>("httpDnsServerInterface"),
};

const KeyReader<RtcServerConfig> kRtcServerKeys[] = {
    key<&RtcServerConfig::lbsServer>("lbsServer"),
    key<&RtcServerConfig::channelServer>("channelServer"),
    key<&RtcServerConfig::statisticsServer>("statisticsServer"),
    key<&RtcServerConfig::roomServer>("roomServer"),
    key<&RtcServerConfig::compatServer>("compatServer"),
    key<&RtcServerConfig::vornLbsServer>("vornLbsServer"),
    key<&RtcServerConfig::vornUploadSever>("vornUploadSever"),
    key<&RtcServerConfig::vornTokenServer>("vornTokenServer"),
    key<&RtcServerConfig::cloudProxyServer>("cloudProxyServer"),
    key<&RtcServerConfig::websocketProxyServer>("websocketProxyServer"),
    key<&RtcServerConfig::quicProxyServer>("quicProxyServer"),
    key<&RtcServerConfig::mediaProxyServer>("mediaProxyServer"),
    key<&RtcServerConfig::useIPv6>("useIPv6"),
};

const KeyReader<WhiteboardServerConfig> kWhiteboardServerKeys[] = {
    key<&WhiteboardServerConfig::webServer>("webServer"),
    key<&WhiteboardServerConfig::roomServer>("roomServer"),
    key<&WhiteboardServerConfig::sdkLogVornServer>("sdkLogVornServer"),
    key<&WhiteboardServerConfig::dataReportServer>("dataReportServer"),
    key<&WhiteboardServerConfig::directVornServer>("directVornServer"),
    key<&WhiteboardServerConfig::mediaUploadServer>("mediaUploadServer"),
    key<&WhiteboardServerConfig::docTransServer>("docTransServer"),
    key<&WhiteboardServerConfig::fontDownloadServer>("fontDownloadServer"),
};

const KeyReader<ParloOptions> kServerUrlKey[] = {
    key<&ParloOptions::serverUrl>("serverUrl"),
};

const KeyReader<WhiteboardAppConfig> kWhiteboardAppKeys[] = {
    key<&WhiteboardAppConfig::vornAntiLeech>("vornAntiLeech"),
    key<&WhiteboardAppConfig::vornAntiLeechExpire>("vornAntiLeechExpire"),
    key<&WhiteboardAppConfig::canvasBgColor>("canvasBgColor"),
};

// A group is read only when its value is an object; otherwise it keeps its defaults.
template <class Record, size_t N>
void read_group(const Napi::Object& parent, const char* name, const KeyReader<Record> (&keys)[N], Record& to) {
  Napi::Value group = property(parent.Env(), parent, name);
  if (is_object(group)) read_keys(group.As<Napi::Object>(), keys, to);
}

void read_extras(const Napi::Value& value, std::unordered_map<std::string, std::string>& extras) {
  if (!is_object(value)) return;
  each_property_name(value, [&](const Napi::Value& name) {
    std::string key = coerced_string(name);
    extras[key] = coerced_string(property(value.Env(), value, name));
  });
}

}  // namespace

void read_options(Napi::Env env, const Napi::Value& value, ParloOptions& options) {
  // A non-object options value is read like an object without keys would be, but
  // the presence tests on it raise the runtime's error.
  Napi::Object from = value.IsEmpty() ? Napi::Object::New(env) : Napi::Object(env, value);
  read_keys(from, kTopKeys, options);

  Napi::Value server = property(env, from, "serverConfig");
  if (is_object(server)) {
    Napi::Object groups = server.As<Napi::Object>();
    parlo::ServerConfig& config = options.serverConfig;
    read_group(groups, "parloServerConfig", kParloServerKeys, config.parloServerConfig);
    read_group(groups, "imServerConfig", kImServerKeys, config.imServerConfig);
    read_group(groups, "rtcServerConfig", kRtcServerKeys, config.rtcServerConfig);
    read_group(groups, "whiteboardServerConfig", kWhiteboardServerKeys, config.whiteboardServerConfig);
  }

  read_keys(from, kServerUrlKey, options);
  if (has(from, "extras")) read_extras(property(env, from, "extras"), options.extras);
  if (has(from, "whiteboardAppConfig")) read_group(from, "whiteboardAppConfig", kWhiteboardAppKeys, options.whiteboardAppConfig);
}

}  // namespace brimo
