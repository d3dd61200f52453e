// ParloOptions: the SDK's start-up settings, passed to IQVParlo::initialize.
// Field names are the SDK's configuration vocabulary; defaults are the SDK's.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>
#include <vector>

namespace parlo {

struct ParloServerConfig {
  std::string roomServer;
};

struct IMServerConfig {
  uint32_t handShakeType = 0;
  uint32_t negoKeyTarn = 1;
  uint32_t commTarn = 1;
  std::string lbs;
  std::list<std::string> lbsBackupAddress;
  std::string vornLbs;
  std::string link;
  std::string linkIpv6;
  std::string vornUploader;
  std::string vornUploaderHost;
  std::string negoKeyTarnKeyParta;
  std::string negoKeyTarnKeyPartb = "10001";  // the RSA public exponent 65537, in hex
  uint32_t negoKeyTarnKeyVersion = 0;
  std::string vornDownloader;
  std::vector<std::string> vornAccelerateHostList;
  std::string vornAccelerate;
  std::string probeIpv4Url;
  std::string probeIpv6Url;
  std::list<std::string> httpDnsServerInterface;
};

struct RtcServerConfig {
  std::string lbsServer;
  std::string channelServer;
  std::string statisticsServer;
  std::string roomServer;
  std::string compatServer;
  std::string vornLbsServer;
  std::string vornUploadSever;  // sic: the SDK spells it this way
  std::string vornTokenServer;
  std::string cloudProxyServer;
  std::string websocketProxyServer;
  std::string quicProxyServer;
  std::string mediaProxyServer;
  std::string reservedServer1;  // not settable from script
  std::string reservedServer2;  // not settable from script
  bool useIPv6 = false;
};

struct WhiteboardServerConfig {
  std::string webServer;
  std::string roomServer;
  std::string sdkLogVornServer;
  std::string dataReportServer;
  std::string directVornServer;
  std::string mediaUploadServer;
  std::string docTransServer;
  std::string fontDownloadServer;
};

struct ServerConfig {
  ParloServerConfig parloServerConfig;
  IMServerConfig imServerConfig;
  RtcServerConfig rtcServerConfig;
  WhiteboardServerConfig whiteboardServerConfig;
};

struct WhiteboardAppConfig {
  bool vornAntiLeech = false;
  uint32_t vornAntiLeechExpire = 7200;  // seconds
  std::string canvasBgColor = "rgba(255, 255, 255, 255)";
};

struct ParloOptions {
  std::string appKey;
  std::string logPath;
  uint32_t logLevel = 2;
  bool reuseIM = false;
  bool useAssetServerConfig = false;
  bool useInternalVideoRender = false;
  ServerConfig serverConfig;
  std::string serverUrl;
  std::unordered_map<std::string, std::string> extras;
  WhiteboardAppConfig whiteboardAppConfig;
};

struct SdkVersions {
  std::string imVersion;
  std::string rtcVersion;
  std::string whiteboardVersion;
  std::string parloVersion;
};

}  // namespace parlo
