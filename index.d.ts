// TypeScript declarations of brimo, the parlo meeting SDK for Node.js.

/** Completion of an asynchronous call: the SDK's result code (0 is success) and message. */
export type Callback = (code: number, message: string) => void;
/** Completion that also carries a result. */
export type ResultCallback<R> = (code: number, message: string, result: R) => void;

export interface ServerConfigOptions {
  parloServerConfig?: { roomServer?: string };
  imServerConfig?: {
    handShakeType?: number;
    negoKeyTarn?: number;
    commTarn?: number;
    lbs?: string;
    lbsBackupAddress?: string[];
    vornLbs?: string;
    link?: string;
    linkIpv6?: string;
    vornUploader?: string;
    vornUploaderHost?: string;
    negoKeyTarnKeyParta?: string;
    /** Default "10001". */
    negoKeyTarnKeyPartb?: string;
    negoKeyTarnKeyVersion?: number;
    vornDownloader?: string;
    vornAccelerateHostList?: string[];
    vornAccelerate?: string;
    probeIpv4Url?: string;
    probeIpv6Url?: string;
    httpDnsServerInterface?: string[];
  };
  rtcServerConfig?: {
    lbsServer?: string;
    channelServer?: string;
    statisticsServer?: string;
    roomServer?: string;
    compatServer?: string;
    vornLbsServer?: string;
    /** Spelled as the SDK spells it. */
    vornUploadSever?: string;
    vornTokenServer?: string;
    cloudProxyServer?: string;
    websocketProxyServer?: string;
    quicProxyServer?: string;
    mediaProxyServer?: string;
    useIPv6?: boolean;
  };
  whiteboardServerConfig?: {
    webServer?: string;
    roomServer?: string;
    sdkLogVornServer?: string;
    dataReportServer?: string;
    directVornServer?: string;
    mediaUploadServer?: string;
    docTransServer?: string;
    fontDownloadServer?: string;
  };
}

/** Start-up settings of the SDK; every key is optional and keeps the SDK's default when absent. */
export interface ParloOptions {
  appKey?: string;
  logPath?: string;
  /** Default 2. */
  logLevel?: number;
  reuseIM?: boolean;
  useAssetServerConfig?: boolean;
  useInternalVideoRender?: boolean;
  serverConfig?: ServerConfigOptions;
  serverUrl?: string;
  /** Free-form settings; every value is passed on as text. */
  extras?: Record<string, unknown>;
  whiteboardAppConfig?: {
    vornAntiLeech?: boolean;
    /** Seconds, default 7200. */
    vornAntiLeechExpire?: number;
    /** Default "rgba(255, 255, 255, 255)". */
    canvasBgColor?: string;
  };
}

export interface SdkVersions {
  imVersion: string;
  parloVersion: string;
  rtcVersion: string;
  whiteboardVersion: string;
}

/** A listener id: unique in the process, never reused. -1 when the SDK object to register with is missing. */
export type ListenerId = number;

/** Events of an auth listener: the SDK's event code. */
export type AuthEvent = ['onAuthEvent', number];
export type AuthListener = (...event: AuthEvent) => void;

/** Events of a global event listener: three SDK engine events share one name. */
export type GlobalEvent = ['Node_commonRtcEngineEvent', string];
export type GlobalEventListener = (...event: GlobalEvent) => void;

/**
 * One request of getVideoFrame: script owns it and the arrays in it; the call
 * writes the results into it.
 */
export interface VideoFrameRequest {
  frame: {
    /** Read: whose frame. */
    userUuid: string;
    /** Read (any value, by truthiness): the sub stream (screen share). Written on delivery. */
    bSubVideo: unknown;
    /** Written: the SDK's frame type code and geometry. */
    type?: number;
    width?: number;
    height?: number;
    buffer: {
      /** Read: receives the I420 planes. Its capacity counts in bytes; 64-bit integer arrays hold none. */
      bytes: Uint8Array | Uint8ClampedArray | Int8Array | Uint16Array | Int16Array | Uint32Array | Int32Array | Float32Array | Float64Array;
      /** Written: row strides of the Y, U and V planes. */
      yStride?: number;
      uStride?: number;
      vStride?: number;
      /** Written: where the Y plane ends in bytes (the U plane starts). */
      yOffset?: number;
      /** Written: where the U plane ends (the V plane starts). */
      uOffset?: number;
      /** Written: where the V plane ends: the frame's size in bytes. */
      vOffset?: number;
    };
  };
  /** Written: 0 delivered, 1 bytes too small (the layout is still written), 2 no new frame. */
  code?: 0 | 1 | 2;
  /** Written when the key has counters: frames received, and replaced before they were fetched. */
  total?: number;
  drop?: number;
  /** Written on delivery: milliseconds between storing and delivering the frame. */
  delay?: number;
}

/** The kit: start and stop the SDK and reach its services. Collecting it destroys the SDK. */
export class IQVParloWrap {
  constructor();
  addGlobalEventListener(listener: GlobalEventListener): ListenerId;
  /** Throws "Index out of bounds" for an id this table never issued. */
  removeGlobalEventListener(id: ListenerId): boolean;
  getAuthService(): IQVAuthServiceWrap;
  getMessageChannelService(): IQVMessageChannelServiceWrap;
  getVornService(): IQVVornServiceWrap;
  getRoomService(): IQVRoomServiceWrap;
  getSdkVersions(): SdkVersions;
  /** Calls back inside the call, before it returns 1. */
  initialize(options: ParloOptions, callback: Callback): 1;
  isInitialized(): boolean;
  release(): 1;
  switchLanguage(language: number): number;
  /** Returns 0 at once; the callback receives the SDK's text answer of the upload. */
  uploadLog(callback: ResultCallback<string>): 0;
  getDeviceId(): string;
  getCurrentLogPath(): string;
  getNetworkType(): number;
  /** Copies the newest frame of every requested user and stream into the request's own array. */
  getVideoFrame(requests: VideoFrameRequest[]): void;
  /** From now on the hub keeps the newest frame of every user and stream. */
  startListenVideoFrame(): void;
  /** Stops keeping frames and releases the stored ones; counters continue after a restart. */
  stopListenVideoFrame(): void;
}

/** The account service. Methods throw a TypeError ending in "Null pointer exception" when the SDK has no auth service. */
export class IQVAuthServiceWrap {
  constructor();
  /** -1, without an exception, when the SDK has no auth service. */
  addAuthListener(listener: AuthListener): ListenerId;
  /** Throws "Index out of bounds" for an id this table never issued; false while the auth service is missing. */
  removeAuthListener(id: ListenerId): boolean;
  isLoggedIn(): boolean;
  login(account: string, token: string, callback: Callback): boolean;
  loginByDynamicToken(account: string, token: string, authType: string, callback: Callback): boolean;
  logout(callback: Callback): boolean;
}

/** Object storage: uploads and the download folder. */
export class IQVVornServiceWrap {
  constructor();
  setVornDownloadFilePath(path: string): null;
  /** Returns null at once; the callback receives the SDK's text answer of the upload. */
  uploadResource(localPath: string, callback: ResultCallback<string>): null;
}

export class IQVRoomServiceWrap {
  constructor();
}
export class IQVRoomContextWrap {
  constructor(roomUuid: string);
}
export class IQVPreviewRoomContextWrap {
  constructor();
}
export class IQVRoomRtcControllerWrap {
  constructor(roomUuid: string);
}
export class IQVPreviewRoomRtcController {
  constructor();
}
export class IQVRoomLiveControllerWrap {
  constructor(roomUuid: string);
}
export class IQVWaitingRoomControllerWrap {
  constructor(roomUuid: string);
}
export class IQVRoomSIPControllerWrap {
  constructor(roomUuid: string);
}
export class IQVRoomAppInviteControllerWrap {
  constructor(roomUuid: string);
}
export class IQVRoomWhiteboardControllerWrap {
  constructor(roomUuid: string);
}
export class IQVRoomAnnotationControllerWrap {
  constructor(roomUuid: string);
}
export class IQVMessageChannelServiceWrap {
  constructor();
}
export class IQVRoomChatControllerWrap {
  constructor(roomUuid: string, waitingRoom?: boolean);
}
