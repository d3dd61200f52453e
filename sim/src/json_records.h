// SDK records as JSON, declared once per record: the journal shows what the SDK
// received, and scripted results are read back into records.
#pragma once

#include <nlohmann/json.hpp>

#include "sdk/parlo.h"

namespace parlo {

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(ParloServerConfig, roomServer)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(IMServerConfig, handShakeType, negoKeyTarn, commTarn, lbs, lbsBackupAddress,
                                   vornLbs, link, linkIpv6, vornUploader, vornUploaderHost, negoKeyTarnKeyParta,
                                   negoKeyTarnKeyPartb, negoKeyTarnKeyVersion, vornDownloader,
                                   vornAccelerateHostList, vornAccelerate, probeIpv4Url, probeIpv6Url,
                                   httpDnsServerInterface)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(RtcServerConfig, lbsServer, channelServer, statisticsServer, roomServer,
                                   compatServer, vornLbsServer, vornUploadSever, vornTokenServer, cloudProxyServer,
                                   websocketProxyServer, quicProxyServer, mediaProxyServer, reservedServer1,
                                   reservedServer2, useIPv6)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(WhiteboardServerConfig, webServer, roomServer, sdkLogVornServer,
                                   dataReportServer, directVornServer, mediaUploadServer, docTransServer,
                                   fontDownloadServer)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(ServerConfig, parloServerConfig, imServerConfig, rtcServerConfig,
                                   whiteboardServerConfig)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(WhiteboardAppConfig, vornAntiLeech, vornAntiLeechExpire, canvasBgColor)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(ParloOptions, appKey, logPath, logLevel, reuseIM, useAssetServerConfig,
                                   useInternalVideoRender, serverConfig, serverUrl, extras, whiteboardAppConfig)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SdkVersions, imVersion, rtcVersion, whiteboardVersion, parloVersion)

}  // namespace parlo
