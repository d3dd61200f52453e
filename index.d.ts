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

// --- listener events ---
//
// Each listener kind has one event map: event name -> the payload its listener receives
// after the name (a union where an event comes in two forms). A listener is called as
// (name, ...payload) and may declare any number of parameters: (name) => …,
// (name, a) => … and (name, a, b) => … narrow each parameter by comparing the name;
// (...event) => … narrows the whole event by comparing event[0]; (name, ...payload)
// compiles too, with the payload's elements typed as every event's. brimo/events
// emits the same maps' events under their names.

/** The events of map M as a listener receives them: the name, then the payload. */
export type EventOf<M> = {
  [K in keyof M & string]: M[K] extends infer P ? (P extends unknown[] ? [K, ...P] : never) : never;
}[keyof M & string];
type Leading<T extends unknown[], N extends number, A extends unknown[] = []> = A['length'] extends N
  ? A
  : T extends [infer H, ...infer R]
    ? Leading<R, N, [...A, H]>
    : Leading<[], N, [...A, undefined]>;
/** Every event of map M cut or filled up (with undefined) to N arguments, the name first. */
export type LeadingArgs<M, N extends number> = EventOf<M> extends infer E ? (E extends unknown[] ? Leading<E, N> : never) : never;
/** A listener of map M that reads every argument. */
export type ListenerOf<M> = (...event: EventOf<M>) => void;
/** A listener of map M that declares N parameters, the name included. */
export type ListenerWith<M, N extends number> = (...event: LeadingArgs<M, N>) => void;

/** Events of an auth listener: the SDK's event code. */
export interface AuthEvents {
  onAuthEvent: [code: number];
}
export type AuthEvent = EventOf<AuthEvents>;
export type AuthListener = ListenerOf<AuthEvents>;

/** Events of a global event listener: three SDK engine events share one name. */
export interface GlobalEvents {
  Node_commonRtcEngineEvent: [text: string];
}
export type GlobalEvent = EventOf<GlobalEvents>;
export type GlobalEventListener = ListenerOf<GlobalEvents>;

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
  addGlobalEventListener(listener: ListenerWith<GlobalEvents, 1>): ListenerId;
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
  addAuthListener(listener: ListenerWith<AuthEvents, 1>): ListenerId;
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

// --- rooms ---

/** A role as script sees it. The screen preferences are the numbers 0 and 1. */
export interface RoomRole {
  name: string;
  limit: number;
  params: {
    video: { width: number; height: number; fps: number };
    audio: { profile: string; scenario: string };
    screen: { videoProfile: string; preferMotionFPS: number; preferDetailsFPS: number };
  };
}

/** A room member. Where the SDK has no member (a null entry), script gets an empty object. */
export interface RoomMember {
  uuid: string;
  role: RoomRole;
  name: string;
  isAudioConnected: boolean;
  isAudioOn: boolean;
  isVideoOn: boolean;
  isInRtcChannel: boolean;
  isInChatroom: boolean;
  isSharingScreen: boolean;
  isSharingWhiteboard: boolean;
  inviteState: number;
  inviteType: number;
  isInAppInviting: boolean;
  isInSipInviting: boolean;
  isSharingSystemAudio: boolean;
  /** In key order. */
  properties: Record<string, string>;
  clientType: number;
  avatar: string;
}
/** A member, or `{}` where the SDK handed none. */
export type MaybeRoomMember = RoomMember | Record<string, never>;

/** A room template: fetched templates list `roles` first, a joined room's template `permissions` first. */
export interface RoomTemplate {
  roles: RoomRole[];
  permissions: {
    member: {
      properties: { whiteboard: string[]; screenShare: string[] };
      streams: { video: { roles: string[] }; audio: { roles: string[] }; subVideo: { roles: string[] } };
    };
    room: { properties: Array<{ name: string; roles: string[] }> };
  };
}

export interface CaptionMessage {
  content: string;
  timestamp: number;
  fromUserUuid: string;
  isFinal: boolean;
  translationContent: string;
  translationLanguage: number;
}

/** The keys every chat message has. A message of a kind the module does not know has only these. */
export interface ChatMessageBase {
  messageUuid: string;
  fromUserUuid: string;
  fromNick: string;
  fromAvatar: string;
  /** Unsigned milliseconds; exact up to 2^53. */
  time: number;
  chatroomType: number;
  toUserUuidList: string[];
}
export interface ChatFileKeys {
  displayName: string;
  extension: string;
  md5: string;
  url: string;
  size: number;
  path: string;
}
export type ChatMessage =
  | (ChatMessageBase & { messageType: 'text'; text: string })
  | (ChatMessageBase & { messageType: 'custom'; attachStr: string })
  | (ChatMessageBase & ChatFileKeys & { messageType: 'file' })
  | (ChatMessageBase & ChatFileKeys & { messageType: 'image'; width: number; height: number })
  /** `attachStr` only when the notification carries an attachment. */
  | (ChatMessageBase & { messageType: 'notification'; attachStr?: string })
  | (ChatMessageBase & { messageType?: undefined });

export interface CloudRecordFile {
  mixing: boolean;
  fileName: string;
  md5: string;
  size: number;
  url: string;
  videoId: number;
  pieceIndex: number;
  nickname: string;
}
export interface CloudRecord {
  recordId: string;
  startTime: number;
  endTime: number;
  infoList: CloudRecordFile[];
}

/** Every key is optional; an absent key keeps the SDK's default. */
export interface CreateRoomParams {
  roomUuid?: string;
  roomName?: string;
  password?: string;
  /** Read as an unsigned 32-bit integer (12.7 is 12). */
  templateId?: number;
  initialProperties?: Record<string, string>;
}
export interface CreateRoomOptions {
  enableRecord?: boolean;
  enableLive?: boolean;
  /** Default true. */
  enableRtc?: boolean;
  enableChatroom?: boolean;
  enableWhiteboard?: boolean;
}
export interface JoinRoomParams {
  roomUuid?: string;
  userName?: string;
  avatar?: string;
  /** A role name of the room's template. */
  role?: string;
  password?: string;
  initialProperties?: Record<string, string>;
}
export interface JoinRoomOptions {
  enableMyAudioDeviceOnJoinRtc?: boolean;
}
export interface ChatroomHistoryOptions {
  /** Truncated to an integer. */
  startTime?: number;
  limit?: number;
  order?: number;
}
export interface CloudRecordConfig {
  rtcRecordType?: number;
  /** Elements that are not objects are skipped; an object without a numeric mode counts as mode 0. */
  modeList?: Array<{ mode?: number }>;
}

export interface RtcAudioVolume {
  userUuid: string;
  volume: number;
}
export interface RtcVideoStatsEntry {
  userUuid: string;
  layerType: number;
  width: number;
  height: number;
  frameRate: number;
  bitRate: number;
}

/**
 * The events the room listener and the preview room listener share: device changes
 * (deviceId, flag), a new default device, the local volume, the virtual background
 * and the local recorder.
 */
export interface MediaEvents {
  onCameraDeviceChanged: [deviceId: string, added: boolean];
  onPlayoutDeviceChanged: [deviceId: string, added: boolean];
  onRecordDeviceChanged: [deviceId: string, added: boolean];
  onDefaultPlayoutDeviceChanged: [deviceId: string];
  onDefaultRecordDeviceChanged: [deviceId: string];
  /** Two forms: (volume, vad) and (volume). */
  onLocalAudioVolumeIndication: [volume: number, vad: boolean] | [volume: number];
  onRtcVirtualBackgroundSourceEnabled: [enabled: boolean, reason: number];
  onLocalRecorderStatus: [status: number, text: string];
  onLocalRecorderError: [error: number, text: string];
}
export type MediaEvent = EventOf<MediaEvents>;

type MemberListEvent = [members: MaybeRoomMember[]];
/** (member, on, the member who made the change) */
type MemberStateEvent = [member: MaybeRoomMember, on: boolean, operator: MaybeRoomMember];

/** Room events: each name with the payload the listener receives after it. */
export interface RoomEvents extends MediaEvents {
  onMemberRoleChanged: [userUuid: string, before: RoomRole, after: RoomRole];
  onMemberJoinRoom: MemberListEvent;
  onMemberLeaveRoom: MemberListEvent;
  onMemberJoinRtcChannel: MemberListEvent;
  onMemberLeaveRtcChannel: MemberListEvent;
  onMemberJoinChatroom: MemberListEvent;
  onMemberLeaveChatroom: MemberListEvent;
  onRoomEnded: [reason: number];
  onRoomLiveStateChanged: [state: number];
  onRoomConnectStateChanged: [state: number];
  onRtcScreenCaptureStatus: [status: number];
  onRoomLockStateChanged: [locked: boolean];
  onRoomAnnotationEnableChanged: [enabled: boolean];
  onRoomBlacklistStateChanged: [enabled: boolean];
  onAudioHowling: [howling: boolean];
  onRoomRemainingSecondsRenewed: [seconds: number];
  onRoomLiveBackgroundInfoChanged: [sequence: number];
  onRoomMaxMembersChanged: [maxMembers: number];
  onMemberAudioMuteChanged: MemberStateEvent;
  onMemberVideoMuteChanged: MemberStateEvent;
  onMemberScreenShareStateChanged: MemberStateEvent;
  onMemberSystemAudioShareStateChanged: MemberStateEvent;
  onMemberWhiteboardStateChanged: MemberStateEvent;
  onRtcScreenCaptureSourceDataUpdate: [rect: { x: number; y: number; width: number; height: number }];
  onMemberSIPInviteStateChanged: [member: MaybeRoomMember, operator: MaybeRoomMember];
  onMemberAppInviteStateChanged: [member: MaybeRoomMember, operator: MaybeRoomMember];
  onReceiveChatroomMessages: [messages: Array<ChatMessage | Record<string, never>>];
  onChatroomMessageAttachmentProgress: [messageUuid: string, transferred: number, total: number, progress: number];
  /** Two forms: (channel, code) and (code, message). */
  onRtcChannelError: [channel: string, code: number] | [code: number, message: string];
  /** Each changed key maps to `{ value }`. */
  onRoomPropertiesChanged: [properties: Record<string, { value: string }>];
  /** Each deleted key maps to its last value. */
  onRoomPropertiesDeleted: [properties: Record<string, string>];
  onMemberPropertiesChanged: [userUuid: string, properties: Record<string, string>];
  onMemberPropertiesDeleted: [userUuid: string, properties: Record<string, string>];
  onMemberNameChanged: [member: MaybeRoomMember, name: string];
  onMemberAudioConnectStateChanged: [member: MaybeRoomMember, connected: boolean];
  onRtcVideoStats: [stats: RtcVideoStatsEntry[]];
  /** Two forms: (volumes, channel) and (volumes). */
  onRtcRemoteAudioVolumeIndication: [volumes: RtcAudioVolume[], channel: string] | [volumes: RtcAudioVolume[]];
  onRtcDisconnect: [];
  onRtcUserVideoStart: [userUuid: string];
  onRtcUserVideoStop: [userUuid: string];
  onRtcUserAudioSubStreamStart: [userUuid: string];
  onRtcUserAudioSubStreamStop: [userUuid: string];
  onRtcRecvSEIMsg: [userUuid: string, data: string];
  onRoomCloudRecordStateChanged: [state: number, operator: MaybeRoomMember];
  onRtcLocalAudioVolumeIndication: [volume: number, vad: boolean, channel: string];
  onRtcChannelDisconnect: [channel: string, reason: number];
  onCaptionStateChanged: [state: number, code: number, message: string];
  onReceiveCaptionMessages: [messages: Array<CaptionMessage | Record<string, never>>, channel: string];
}
/** Room events as the listener receives them: the event name, then its payload. */
export type RoomEvent = EventOf<RoomEvents>;
export type RoomListener = ListenerOf<RoomEvents>;

/**
 * Call-wide totals. The ratios and memoryAppInKBytes are unsigned 32-bit, the six byte
 * counters unsigned 64-bit (exact below 2^53), the rest signed 32-bit.
 */
export interface RtcStats {
  cpuAppUsageRatio: number; cpuIdleUsageRatio: number; cpuTotalUsageRatio: number; memoryAppUsageRatio: number;
  memoryTotalUsageRatio: number; memoryAppInKBytes: number; totalDuration: number; txBytes: number; rxBytes: number;
  txAudioBytes: number; txVideoBytes: number; rxAudioBytes: number; rxVideoBytes: number; txAudioKBitRate: number;
  rxAudioKBitRate: number; txVideoKBitRate: number; rxVideoKBitRate: number; upRtt: number; downRtt: number;
  txAudioPacketLossRate: number; txVideoPacketLossRate: number; txAudioPacketLossSum: number;
  txVideoPacketLossSum: number; txAudioJitter: number; txVideoJitter: number; rxAudioPacketLossRate: number;
  rxVideoPacketLossRate: number; rxAudioPacketLossSum: number; rxVideoPacketLossSum: number; rxAudioJitter: number;
  rxVideoJitter: number;
}
/** One local audio stream; rtt is signed 64-bit, volume and capVolume unsigned 32-bit. */
export interface LocalAudioStats {
  streamType: number; numChannels: number; sentSampleRate: number; sentBitRate: number; audioLossRate: number;
  rtt: number; volume: number; capVolume: number;
}
/** One remote audio stream; volume is unsigned 32-bit. */
export interface RemoteAudioStats {
  streamType: number; receivedBitRate: number; totalFrozenTime: number; frozenRate: number; audioLossRate: number;
  volume: number;
}
/** One layer (main or sub) of the local video. */
export interface LocalVideoStats {
  layerType: number; width: number; height: number; captureWidth: number; captureHeight: number;
  captureFrameRate: number; renderFrameRate: number; encoderFrameRate: number; sentFrameRate: number;
  sentBitRate: number; targetBitRate: number; encoderBitRate: number; encoderName: string;
}
/** One layer (main or sub) of a remote user's video. */
export interface RemoteVideoStats {
  layerType: number; width: number; height: number; receivedBitRate: number; receivedFrameRate: number;
  decoderFrameRate: number; renderFrameRate: number; packetLossRate: number; totalFrozenTime: number;
  frozenRate: number; encoderName: string;
}
export interface NetworkQuality {
  userUuid: string;
  upStatus: number;
  downStatus: number;
}
/**
 * Statistics reports: the name, then one payload. Per-user reports are objects keyed
 * by user UUID (in ascending order), each holding that user's streams; empty lists
 * and maps arrive as [] and {}.
 */
export interface RtcStatsEvents {
  onRtcStats: [stats: RtcStats];
  onLocalAudioStats: [stats: LocalAudioStats[]];
  onRemoteAudioStats: [stats: Record<string, RemoteAudioStats[]>];
  onLocalVideoStats: [stats: LocalVideoStats[]];
  onRemoteVideoStats: [stats: Record<string, RemoteVideoStats[]>];
  onNetworkQuality: [quality: NetworkQuality[]];
}
export type RtcStatsEvent = EventOf<RtcStatsEvents>;
export type RtcStatsListener = ListenerOf<RtcStatsEvents>;

/**
 * The room service, reached through IQVParloWrap.getRoomService(). Methods that reach the
 * SDK throw a TypeError ("IQVRoomServiceWrap roomService Null pointer exception") when it is missing.
 */
export class IQVRoomServiceWrap {
  constructor();
  createRoom(params: CreateRoomParams, options: CreateRoomOptions, callback: Callback): boolean;
  fetchRoomTemplate(templateKey: string, callback: ResultCallback<RoomTemplate>): boolean;
  /** The callback gets the joined room's context, or only (code, message) when no room came back. */
  joinRoom(params: JoinRoomParams, options: JoinRoomOptions,
    callback: (code: number, message: string, room?: IQVRoomContextWrap) => void): boolean;
  previewRoom(params?: unknown, options?: unknown, callback?: unknown): true;
  /** A new wrapper for that UUID, whether or not the room is joined yet. */
  getRoomContext(roomUuid: string): IQVRoomContextWrap;
  getPreviewRoomContext(): IQVPreviewRoomContextWrap;
  getRoomCloudRecordList(roomUuid: string, callback: ResultCallback<CloudRecord[]>): void;
  /** Null entries of the SDK's page are skipped: the array then ends in holes. */
  fetchChatroomHistoryMessages(roomUuid: string, options: ChatroomHistoryOptions, callback: ResultCallback<ChatMessage[]>): void;
  exportChatroomHistoryMessages(roomUuid: string, callback: ResultCallback<string>): void;
  joinRoomByInvite(params: JoinRoomParams, options: JoinRoomOptions,
    callback: (code: number, message: string, room?: IQVRoomContextWrap) => void): boolean;
  rejectInvite(roomUuid: string, callback: ResultCallback<string>): void;
}

/**
 * A joined room, found again by its UUID on every call. When the room cannot be found, methods
 * throw a TypeError "IQVRoomContextWrap Null pointer exception"; listener methods answer -1 or
 * false instead, and the controller getters always answer.
 */
export class IQVRoomContextWrap {
  constructor(roomUuid: string);
  getRoomUuid(): string;
  getRoomName(): string;
  getPassword(): string;
  getSipCid(): string;
  getRtcStartTime(): number;
  getRemainingSeconds(): number;
  getMaxMembers(): number;
  getRoomTemplate(): RoomTemplate;
  getRoomProperties(): Record<string, string>;
  getLocalMember(): MaybeRoomMember;
  getRemoteMembers(): MaybeRoomMember[];
  getInSIPInvitingMembers(): MaybeRoomMember[];
  getInAppInvitingMembers(): MaybeRoomMember[];
  getChatController(): IQVRoomChatControllerWrap;
  getWaitingRoomChatController(): IQVRoomChatControllerWrap;
  getRtcController(): IQVRoomRtcControllerWrap;
  getWhiteboardController(): IQVRoomWhiteboardControllerWrap;
  getAnnotationController(): IQVRoomAnnotationControllerWrap;
  getLiveController(): IQVRoomLiveControllerWrap;
  changeMyName(name: string, callback: Callback): void;
  changeMemberName(userUuid: string, name: string, callback: Callback): void;
  changeMemberRole(userUuid: string, role: string, callback: Callback): void;
  /** User UUID to role name. */
  changeMembersRole(roles: Record<string, string>, callback: Callback): void;
  handOverMyRole(userUuid: string, flag: boolean, callback: Callback): void;
  kickMemberOut(userUuid: string, flag: boolean, callback: Callback): void;
  addRoomListener(listener: RoomListener): ListenerId;
  addRoomListener(listener: ListenerWith<RoomEvents, 1>): ListenerId;
  addRoomListener(listener: ListenerWith<RoomEvents, 2>): ListenerId;
  addRoomListener(listener: ListenerWith<RoomEvents, 3>): ListenerId;
  addRoomListener(listener: ListenerWith<RoomEvents, 4>): ListenerId;
  addRoomListener(listener: ListenerWith<RoomEvents, 5>): ListenerId;
  /** False, without an exception, for an id not registered through this room or while the room cannot be found. */
  removeRoomListener(id: ListenerId): boolean;
  addRtcStatsListener(listener: RtcStatsListener): ListenerId;
  addRtcStatsListener(listener: ListenerWith<RtcStatsEvents, 1>): ListenerId;
  removeRtcStatsListener(id: ListenerId): boolean;
  leaveRoom(callback: Callback): void;
  endRoom(callback: Callback): void;
  lockRoom(callback: Callback): void;
  unlockRoom(callback: Callback): void;
  isRoomLocked(): boolean;
  isCloudRecording(): boolean;
  updateRoomProperty(key: string, value: string, associatedUuid: string, callback: Callback): void;
  deleteRoomProperty(key: string, callback: Callback): void;
  updateMemberProperty(userUuid: string, key: string, value: string, callback: Callback): void;
  deleteMemberProperty(userUuid: string, key: string, callback: Callback): void;
  startCloudRecord(config: CloudRecordConfig, callback: Callback): void;
  stopCloudRecord(callback: Callback): void;
  getWaitingRoomController(): IQVWaitingRoomControllerWrap;
  getSIPController(): IQVRoomSIPControllerWrap;
  getAppInviteController(): IQVRoomAppInviteControllerWrap;
  isInWaitingRoom(): boolean;
  isRoomBlacklistEnabled(): boolean;
  rejoinAfterAdmittedToRoom(callback: Callback): void;
  enableRoomBlacklist(enable: boolean, callback: Callback): void;
}
/** Preview room events as the listener receives them: the events it shares with the room listener. */
export interface PreviewRoomEvents extends MediaEvents {}
export type PreviewRoomEvent = EventOf<PreviewRoomEvents>;
export type PreviewRoomListener = ListenerOf<PreviewRoomEvents>;

/**
 * The preview room, used before joining; IQVRoomServiceWrap.getPreviewRoomContext() makes one.
 * When a link is missing, getPreviewRoomRtcController throws a TypeError
 * "IQVPreviewRoomContextWrap Null pointer exception" (no kit), "... roomService ..." or
 * "... previewRoomContext ..."; the listener methods answer -1 or false instead.
 */
export class IQVPreviewRoomContextWrap {
  constructor();
  /** The same controller on every call; null when the preview room cannot be reached. */
  getPreviewRoomRtcController(): IQVPreviewRoomRtcController | null;
  addPreviewRoomListener(listener: PreviewRoomListener): ListenerId;
  addPreviewRoomListener(listener: ListenerWith<PreviewRoomEvents, 1>): ListenerId;
  addPreviewRoomListener(listener: ListenerWith<PreviewRoomEvents, 2>): ListenerId;
  addPreviewRoomListener(listener: ListenerWith<PreviewRoomEvents, 3>): ListenerId;
  /** Throws "Index out of bounds" (and answers false) for an id it never gave or gave up already. */
  removePreviewRoomListener(id: ListenerId): boolean;
}
/** A camera, speaker or microphone. The default-device queries answer only deviceId and deviceName. */
export interface DeviceInfo {
  deviceId: string;
  deviceName: string;
  unavailable: boolean;
  defaultDevice: boolean;
}
/** Empty when the SDK answered a non-zero code. */
export type DefaultDevice = Pick<DeviceInfo, 'deviceId' | 'deviceName'> | Record<string, never>;

/** A native window handle: its first 8 bytes, little-endian (shorter arrays give handle 0). */
export type WindowHandle = ArrayBufferView;

export interface CaptureImage {
  size: { width: number; height: number };
  length: number;
  /** A copy of the pixels; absent when there are none. */
  data?: Uint8Array;
}
/** A screen or window that can be shared; `id` is its place in the last list, valid until the next. */
export interface ScreenCaptureSource {
  type: number;
  id: number;
  title: string;
  name: string;
  processPath: string;
  thumbImage: CaptureImage;
  icon: CaptureImage;
  primaryMonitor: boolean;
}
/** Only these two keys override the SDK's defaults (30 fps, no profile). */
export interface ScreenShareConfig {
  limitFrameRate?: number;
  videoProfile?: string;
}
export interface ShareRect {
  x?: number;
  y?: number;
  width?: number;
  height?: number;
}
export interface LocalRecordParams {
  filePath?: string;
  fileName?: string;
  coverConfigFilePath?: string;
  defaultCoverConfigFilePath?: string;
  coverTitle?: string;
  coverMeetingNumber?: string;
  coverCreateTime?: string;
  isShowTimestampCover?: boolean;
  recordAudio?: boolean;
  recordVideo?: boolean;
}
/** A key of another kind than its field's is skipped. */
export interface LocalRecordLayout {
  offsetX?: number;
  offsetY?: number;
  width?: number;
  height?: number;
  scalingMode?: number;
  streamLayer?: number;
  bgColor?: number;
  streamType?: number;
  isScreenShare?: boolean;
  isShowNameCover?: boolean;
  isShowStreamDefaultCover?: boolean;
  uid?: string;
}
/** The pixels are read from `buffer` during the call, without a copy. */
export interface RecorderVideoFrame {
  format?: number;
  rotation?: number;
  width?: number;
  height?: number;
  timestamp?: number;
  buffer?: ArrayBufferView;
}

/**
 * The RTC controller of a joined room, reached through IQVRoomContextWrap.getRtcController().
 * When a link is missing, methods throw a TypeError "IQVRoomRtcControllerWrap <link> Null pointer
 * exception" (parlo, roomService, roomContext or rtcController). Synchronous setters answer the
 * SDK's code. Booleans marked as flags count by their truthiness.
 */
export class IQVRoomRtcControllerWrap {
  constructor(roomUuid: string);
  /** Set only when the SDK answers 0; otherwise an array of that length with no entries. */
  enumCameraDevices(): DeviceInfo[];
  getSelectedCameraDevice(): string;
  selectCameraDevice(deviceId: string): number;
  enumPlayoutDevices(): DeviceInfo[];
  getDefaultPlayoutDevice(): DefaultDevice;
  getSelectedPlayoutDevice(): string;
  selectPlayoutDevice(deviceId: string): number;
  /** Unsigned: values above 2^31 stay positive. */
  getPlayoutDeviceVolume(): number;
  setPlayoutDeviceVolume(volume: number): number;
  getPlayoutDeviceMute(): boolean;
  enumRecordDevices(): DeviceInfo[];
  getDefaultRecordDevice(): DefaultDevice;
  getSelectedRecordDevice(): string;
  selectRecordDevice(deviceId: string): number;
  getRecordDeviceVolume(): number;
  setRecordDeviceVolume(volume: number): number;
  setAudioDeviceAutoSelectType(type: number): number;
  isSupported(): boolean;
  /** Throws "Wrong number of arguments" without arguments, "Wrong arguments" for a lone non-function. */
  joinRtcChannel(callback: Callback): void;
  joinRtcChannel(param: string, callback: Callback): void;
  /** With three or more arguments nothing is called. */
  leaveRtcChannel(callback: Callback): void;
  leaveRtcChannel(param: string, callback: Callback): void;
  disconnectMyAudio(callback: Callback): void;
  reconnectMyAudio(callback: Callback): void;
  muteMyAudio(callback: Callback): void;
  unmuteMyAudio(flag: unknown, callback: Callback): void;
  muteMyVideo(callback: Callback): void;
  unmuteMyVideo(callback: Callback): void;
  muteMemberAudio(userUuid: string, callback: Callback): void;
  unmuteMemberAudio(userUuid: string, callback: Callback): void;
  muteMemberVideo(userUuid: string, callback: Callback): void;
  unmuteMemberVideo(userUuid: string, callback: Callback): void;
  stopMemberShare(userUuid: string, callback: Callback): void;
  stopMemberSystemAudioShare(userUuid: string, callback: Callback): void;
  startShareSystemAudio(callback: Callback): void;
  stopShareSystemAudio(callback: Callback): void;
  /** The result is the snapshot's path. */
  takeLocalSnapshot(streamType: number, callback: ResultCallback<string>): void;
  takeRemoteSnapshot(userUuid: string, streamType: number, callback: ResultCallback<string>): void;
  setupLocalVideoCanvas(windowHandle: WindowHandle, mirror: unknown): number;
  setupRemoteVideoCanvas(userUuid: string, windowHandle: WindowHandle): number;
  setupRemoteVideoSubStreamCanvas(userUuid: string, windowHandle: WindowHandle): number;
  setupLocalVideoSubStreamCanvas(windowHandle: WindowHandle): number;
  /** A stream type other than 0 asks for the high stream. */
  subscribeRemoteVideoStream(userUuid: string, streamType: number): number;
  unsubscribeRemoteVideoStream(userUuid: string): number;
  subscribeRemoteVideoSubStream(userUuid: string): number;
  unsubscribeRemoteVideoSubStream(userUuid: string): number;
  setLocalVideoResolution(resolution: number): number;
  setLocalVideoFramerate(framerate: number): number;
  /** Null when the controller cannot be found. */
  enableLocalVideo(enable: unknown): number;
  pauseLocalVideoCapture(): number;
  setAudioProfile(profile: number, scenario: number): number;
  enableAudioAINS(enable: unknown): number;
  enableAudioEchoCancellation(enable: unknown): number;
  enableAudioVolumeAutoAdjust(enable: unknown): number;
  enableAudioVolumeIndication(enable: unknown, interval: number): number;
  enableAudioVolumeIndication(id: string, enable: unknown, interval: number, flag: unknown): number;
  adjustRecordingSignalVolume(volume: number): number;
  adjustPlaybackSignalVolume(volume: number): number;
  adjustUserPlaybackSignalVolume(userUuid: string, volume: number): number;
  adjustChannelPlaybackSignalVolume(channel: string, volume: number): number;
  enableLocalAudio(channel: string, enable: unknown): number;
  enableMediaPub(channel: string, mediaType: number, enable: unknown): number;
  enableLocalAudioSubStream(): number;
  disableLocalAudioSubStream(): number;
  pauseLocalAudioRecording(): number;
  resumeLocalAudioRecording(): number;
  startAudioDump(type: number): number;
  stopAudioDump(): number;
  enableCaption(enable: unknown): number;
  setCaptionTranslationLanguage(language: number): number;
  enableEncryption(key: string, mode: number): number;
  getVirtualBackgroundSupportedType(): number;
  setCloudProxy(proxyType: number): number;
  getScreenSharingUserUuid(): string;
  /** Refills the numbering that the share methods take. */
  getScreenCaptureSourceList(callback: ResultCallback<ScreenCaptureSource[]>): void;
  /** `id` from the last source list; another number throws "Wrong arguments". */
  startScreenShare(id: number, config: ScreenShareConfig, callback: Callback): void;
  startAppShare(id: number, config: ScreenShareConfig, callback: Callback): void;
  startRectShare(screenRect: ShareRect, regionRect: ShareRect, flag: boolean, callback: Callback): void;
  /** Window numbers, or (asHandles) typed arrays of at least 8 bytes: shorter ones throw "Wrong arguments". */
  setExcludeWindowList(windows: number[] | ArrayBufferView[], asHandles: boolean): number;
  stopShare(callback: Callback): void;
  startSystemAudioLoopbackCapture(): number;
  stopSystemAudioLoopbackCapture(): number;
  startLocalRecord(params: LocalRecordParams): number;
  stopLocalRecord(): number;
  updateLocalRecordLayouts(layouts: LocalRecordLayout[]): number;
  pushLocalRecorderVideoFrame(id: string, streamType: number, frame: RecorderVideoFrame): number;
  stopLocalRecorderRemux(): number;
}
/**
 * The preview room's RTC controller, reached through IQVPreviewRoomContextWrap.getPreviewRoomRtcController().
 * Every call first writes "checkIfPreviewRoomControllerIsNotNull before"; when a link is
 * missing it throws a TypeError "IQVPreviewRoomRtcControllerWrap Null pointer exception" (no
 * kit) or "IQVPreviewRoomRtcControllerWrap <link> Null pointer exception" (roomService,
 * previewRoomContext, previewRoomRtcController). Setters answer the SDK's code; booleans are
 * read without coercion, except the canvas's mirror flag and the volume indication's flags.
 */
export class IQVPreviewRoomRtcController {
  constructor();
  startVideoPreview(): number;
  stopVideoPreview(): number;
  setupLocalVideoCanvas(windowHandle: WindowHandle, mirror: unknown): number;
  /** [] when the controller cannot be found. */
  enumCameraDevices(): DeviceInfo[];
  /** '' when the controller cannot be found. */
  getSelectedCameraDevice(): string;
  selectCameraDevice(deviceId: string): number;
  enumPlayoutDevices(): DeviceInfo[];
  getDefaultPlayoutDevice(): DefaultDevice;
  getSelectedPlayoutDevice(): string;
  selectPlayoutDevice(deviceId: string): number;
  /** Unsigned: values above 2^31 stay positive. */
  getPlayoutDeviceVolume(): number;
  setPlayoutDeviceVolume(volume: number): number;
  /** Plays the file through the chosen playout device. */
  startPlayoutDeviceTest(filePath: string): number;
  stopPlayoutDeviceTest(): number;
  enumRecordDevices(): DeviceInfo[];
  getDefaultRecordDevice(): DefaultDevice;
  getSelectedRecordDevice(): string;
  selectRecordDevice(deviceId: string): number;
  getRecordDeviceVolume(): number;
  setRecordDeviceVolume(volume: number): number;
  /** The microphone's volume then arrives as onLocalAudioVolumeIndication every `interval` ms. */
  startRecordDeviceTest(interval: number): number;
  stopRecordDeviceTest(): number;
  setLocalVideoResolution(resolution: number): number;
  setAudioDeviceAutoSelectType(type: number): number;
  setAudioProfile(profile: number, scenario: number): number;
  startAudioDump(type: number): number;
  stopAudioDump(): number;
  enableAudioVolumeAutoAdjust(enable: boolean): number;
  enableAudioAINS(enable: boolean): number;
  enableAudioVolumeIndication(enable: unknown, interval: number): number;
  enableAudioVolumeIndication(id: string, enable: unknown, interval: number, flag: unknown): number;
  adjustRecordingSignalVolume(volume: number): number;
  adjustPlaybackSignalVolume(volume: number): number;
  setLocalVoicePitch(pitch: number): number;
  setRecordDeviceMute(mute: boolean): number;
  /** Throws "Wrong number of arguments" without arguments. */
  setPlayoutDeviceMute(mute: boolean): number;
  installAudioCaptureDriver(): number;
  getVirtualBackgroundSupportedType(): number;
  /** The kind defaults to 1; the SDK's colour is always 0xFFFFFF. The outcome arrives as onRtcVirtualBackgroundSourceEnabled. */
  enableVirtualBackground(enable: boolean, source: string, flag: boolean, kind?: number): number;
  startBeauty(path: string): number;
  stopBeauty(): number;
  enableBeauty(enable: boolean): number;
  /** The level reaches the SDK as a 32-bit float. */
  setBeautyEffect(type: number, level: number): number;
  /** Null when the controller cannot be found. */
  startLocalRecord(params: LocalRecordParams): number | null;
  stopLocalRecord(): number | null;
  updateLocalRecordLayouts(layouts: LocalRecordLayout[]): number | null;
  pushLocalRecorderVideoFrame(id: string, streamType: number, frame: RecorderVideoFrame): number | null;
  stopLocalRecorderRemux(): number | null;
}

// --- live streams ---

/**
 * What a live stream is started or updated with. Every key is optional and coerced as script
 * would (a layout of "3" is 3); a userUuidList that is not an array is an empty list.
 */
export interface LiveParams {
  title?: unknown;
  password?: unknown;
  /** Read by startLive only. */
  enableThirdParties?: unknown;
  extensionConfig?: unknown;
  liveLayout?: unknown;
  userUuidList?: unknown[];
}
/** Where a started live stream is pushed to and pulled from. */
export interface LiveAddresses {
  taskId: string;
  pushUrl: string;
  pullHlsUrl: string;
  pullHttpUrl: string;
  pullRtmpUrl: string;
  pullRtsUrl: string;
}
/** The live stream as the SDK reports it (the enable-third-parties flag is not shown). */
export interface LiveInfo extends LiveAddresses {
  title: string;
  password: string;
  state: number;
  extensionConfig: string;
  liveLayout: number;
  userUuidList: string[];
}
/** The live page's images; each key is optional and coerced to a string. */
export interface LiveBackgroundParams {
  backgroundUrl?: unknown;
  coverUrl?: unknown;
  thumbnailBackgroundUrl?: unknown;
  thumbnailCoverUrl?: unknown;
}
export interface LiveBackground {
  backgroundUrl: string;
  coverUrl: string;
  thumbnailBackgroundUrl: string;
  thumbnailCoverUrl: string;
  /** Counts the updates. */
  backgroundUpdatedSequence: number;
}

/**
 * The live-stream controller of a joined room, reached through IQVRoomContextWrap.getLiveController().
 * Methods with a parameters object throw "Wrong number of arguments" with fewer than two
 * arguments and "Wrong arguments" unless they get an object (or function) and a function. When a
 * link is missing nothing is thrown: "IQVRoomLiveControllerWrap <link> is null" is written to
 * standard output (parlo, roomService, roomContext or liveController) and the callback is called
 * with (-1, '') before the method returns.
 */
export class IQVRoomLiveControllerWrap {
  constructor(roomUuid: string);
  startLive(params: LiveParams, callback: ResultCallback<LiveAddresses>): void;
  isSupported(): boolean;
  /** Null when the controller cannot be found. */
  getLiveInfo(): LiveInfo | null;
  /** enableThirdParties is not read. */
  updateLive(params: LiveParams, callback: Callback): void;
  /** Throws "Wrong arguments" unless given a function. */
  stopLive(callback: Callback): void;
  /** Checks its arguments and does nothing else: the callback is never called. */
  addLiveStreamTask(task: object, callback: Callback): void;
  /** Checks its arguments and does nothing else: the callback is never called. */
  updateLiveStreamTask(task: object, callback: Callback): void;
  removeLiveStreamTask(taskId: string, callback: Callback): void;
  /** The result is the images' new sequence. */
  updateBackgroundInfo(background: LiveBackgroundParams, callback: ResultCallback<number>): void;
  getBackgroundInfo(callback: ResultCallback<LiveBackground>): void;
}

// --- the waiting room ---

/** The waiting room's state as getWaitingRoomInfo answers it. */
export interface WaitingRoomInfo {
  roomUuid: string;
  logo: string;
  backgroundImageUrl: string;
  memberCount: number;
  /** Unsigned 64-bit: exact up to 2^53. */
  chatroomID: number;
  isEnabledOnEntry: boolean;
}
/** The same state as onWaitingRoomInfoUpdated carries it: other key names, another order. */
export interface WaitingRoomInfoUpdate {
  roomUuid: string;
  memberCount: number;
  isEnabledOnEntry: boolean;
  chatroomID: number;
  backgroundImage: string;
  logo: string;
}
/** A person waiting to be let in. */
export interface WaitingEntrant {
  uuid: string;
  joinTime: number;
  status: number;
  avatar: string;
  name: string;
}
/** A room member in the waiting room's shorter form (managers). */
export interface WaitingRoomMember {
  uuid: string;
  role: RoomRole;
  avatar: string;
  name: string;
}
/** Waiting-room events as the listener receives them: the event name, then its payload. */
export interface WaitingRoomEvents {
  onWaitingRoomInfoUpdated: [info: WaitingRoomInfoUpdate];
  /** (person, the SDK's reason) */
  onMemberJoin: [person: WaitingEntrant | Record<string, never>, reason: number];
  /** (uuid, the SDK's reason) */
  onMemberLeave: [userUuid: string, reason: number];
  onMemberAdmitted: [userUuid: string];
  onAllMembersKicked: [];
  onManagersUpdated: [managers: Array<WaitingRoomMember | Record<string, never>>];
  onMemberNameChanged: [userUuid: string, name: string];
  onMyWaitingRoomStatusChanged: [status: number, reason: number];
}
export type WaitingRoomEvent = EventOf<WaitingRoomEvents>;
export type WaitingRoomListener = ListenerOf<WaitingRoomEvents>;

/**
 * The waiting room of a joined room, reached through IQVRoomContextWrap.getWaitingRoomController().
 * When a link is missing methods throw a TypeError "Null pointer exception"; the listener methods
 * answer -1 or false instead. People are named by strings coerced as script would; flags marked
 * `unknown` count by their truthiness. Its chat is IQVRoomContextWrap.getWaitingRoomChatController().
 */
export class IQVWaitingRoomControllerWrap {
  constructor(roomUuid: string);
  /** Null when the controller cannot be found. */
  getWaitingRoomInfo(): WaitingRoomInfo | null;
  isWaitingRoomEnabledOnEntry(): boolean;
  getMemberList(fromJoinTime: number, limit: number, order: number, callback: ResultCallback<Array<WaitingEntrant | Record<string, never>>>): void;
  addListener(listener: WaitingRoomListener): ListenerId;
  addListener(listener: ListenerWith<WaitingRoomEvents, 1>): ListenerId;
  addListener(listener: ListenerWith<WaitingRoomEvents, 2>): ListenerId;
  addListener(listener: ListenerWith<WaitingRoomEvents, 3>): ListenerId;
  /** False, without an exception, for an id not registered through this room or while the room cannot be found. */
  removeListener(id: ListenerId): boolean;
  changeMemberName(userUuid: string, name: string, callback: Callback): void;
  enableWaitingRoomOnEntry(callback: Callback): void;
  disableWaitingRoomOnEntry(admitWaiting: unknown, callback: Callback): void;
  admitMember(userUuid: unknown, autoAdmit: boolean, callback: Callback): void;
  expelMember(userUuid: unknown, notAllowRejoin: unknown, callback: Callback): void;
  putInWaitingRoom(userUuid: unknown, callback: Callback): void;
  expelAllMembers(notAllowRejoin: unknown, callback: Callback): void;
  admitAllMembers(callback: Callback): void;
  getWaitingRoomManagerList(callback: ResultCallback<Array<WaitingRoomMember | Record<string, never>>>): void;
}

// --- whiteboard and annotation ---

/**
 * What the SDK pushes to the drawing page through a canvas view: the event name, then the
 * SDK's string, passed on whole (NUL characters and all).
 */
export interface DrawingViewEvents {
  onAuth: [text: string];
  onLogout: [text: string];
  onDrawEnableChanged: [text: string];
  onToolConfigChanged: [text: string];
  onLogin: [text: string];
}
export type DrawingViewEvent = EventOf<DrawingViewEvents>;
/** Every drawing-view event has the same payload: any listener form reads it. */
export type DrawingViewListener = (name: keyof DrawingViewEvents, text: string) => void;

/**
 * The whiteboard of a joined room, reached through IQVRoomContextWrap.getWhiteboardController().
 * When the room or its controller cannot be found, every method throws a TypeError
 * "Null pointer exception" and calls back nothing.
 */
export class IQVRoomWhiteboardControllerWrap {
  constructor(roomUuid: string);
  /** Relays the page's authentication step to the SDK. */
  auth(): void;
  getWhiteboardSharingUserUuid(): string;
  getWhiteboardUrl(): string;
  /** Relays the page's login step to the SDK. */
  login(): void;
  /** Relays the page's logout step to the SDK. */
  logout(): void;
  /** A new view around `listener` for the page; the SDK stops calling the previous one. */
  resetWhiteboardCanvas(listener: DrawingViewListener): void;
  /** Reads a boolean: another type throws, and the SDK is handed false. */
  setEnableDraw(enable: boolean): void;
  /** A new view around `listener` for the page; the SDK stops calling the previous one. */
  setupWhiteboardCanvas(listener: DrawingViewListener): void;
  startWhiteboardShare(callback: Callback): void;
  stopMemberWhiteboardShare(userUuid: string, callback: Callback): void;
  stopWhiteboardShare(callback: Callback): void;
}

/**
 * Annotation over shared content in a joined room, reached through
 * IQVRoomContextWrap.getAnnotationController(); the whiteboard's view protocol. When the room
 * or its controller cannot be found, every method throws a TypeError "Null pointer exception".
 */
export class IQVRoomAnnotationControllerWrap {
  constructor(roomUuid: string);
  getAnnotationUrl(): string;
  getIsAnnotationEnabled(): boolean;
  login(): void;
  logout(): void;
  auth(): void;
  setEnableDraw(enable: boolean): void;
  setupAnnotationCanvas(listener: DrawingViewListener): void;
  resetAnnotationCanvas(listener: DrawingViewListener): void;
  startAnnotationShare(callback: Callback): void;
  stopAnnotationShare(callback: Callback): void;
}

// --- message channel ---

/**
 * Session types as script numbers them: 0 is one of the SDK's two types, any other number the
 * other. In records the other type reads -1, and a type the SDK does not know leaves the key out.
 */
export type SessionType = number;

export interface CustomMessage {
  roomUuid: string;
  senderUuid: string;
  data: string;
  commandId: number;
}
export interface SessionMessage {
  sessionId: string;
  messageId: string;
  data: string;
  time: number;
  sessionType?: 0 | -1;
}
export interface RecentSession {
  sessionId: string;
  fromAccount: string;
  fromNick: string;
  recentMessageId: string;
  content: string;
  unreadCount: number;
  time: number;
  sessionType?: 0 | -1;
}
/** Every key is optional: sessionId '', sessionType the SDK's 0, fromTime and toTime 0, limit 10, order 1. */
export interface SessionHistoryQuery {
  sessionId?: string;
  sessionType?: SessionType;
  fromTime?: number;
  toTime?: number;
  limit?: number;
  order?: number;
}

export interface MessageChannelEvents {
  onCustomMessageReceived: [message: CustomMessage];
  onSessionMessageReceived: [message: SessionMessage];
  onSessionMessageDeleted: [message: SessionMessage];
  onSessionMessageRecentChanged: [sessions: RecentSession[]];
}
export type MessageChannelEvent = EventOf<MessageChannelEvents>;
export type MessageChannelListener = ListenerOf<MessageChannelEvents>;

/**
 * The message channel, reached through IQVParloWrap.getMessageChannelService(). Methods answer
 * true once the SDK has the call; when the SDK has no message channel service they throw a
 * TypeError "Null pointer exception" (the listener methods answer -1 or false instead).
 */
export class IQVMessageChannelServiceWrap {
  constructor();
  addMessageChannelListener(listener: MessageChannelListener): ListenerId;
  addMessageChannelListener(listener: ListenerWith<MessageChannelEvents, 1>): ListenerId;
  /** Throws "Index out of bounds" for an id this table never issued. */
  removeMessageChannelListener(id: ListenerId): boolean;
  sendCustomMessage(roomUuid: string, userUuid: string, commandId: number, data: string, callback: Callback): boolean;
  queryUnreadMessageList(sessionId: string, sessionType: SessionType, callback: ResultCallback<SessionMessage[]>): boolean;
  clearUnreadCount(sessionId: string, sessionType: SessionType, callback: Callback): boolean;
  deleteSessionMessage(sessionId: string, sessionType: SessionType, messageId: string, callback: Callback): boolean;
  deleteAllSessionMessage(sessionId: string, sessionType: SessionType, callback: Callback): boolean;
  getSessionMessagesHistory(query: SessionHistoryQuery, callback: ResultCallback<SessionMessage[]>): boolean;
  sendCustomMessageToRoom(roomUuid: string, commandId: number, data: string, callback: Callback): boolean;
}

// --- SIP and in-app invitations ---

/** Every key is optional: protocol 1, deviceAddress and name ''. */
export interface RoomSystemDevice {
  protocol?: number;
  deviceAddress?: string;
  name?: string;
}
/** The callee of a number or room-system call, and whether they were being called already. */
export interface SIPCallInfo {
  userUuid: string;
  name: string;
  isRepeatedCall: boolean;
}

/**
 * SIP calls of a joined room, reached through IQVRoomContextWrap.getSIPController(). Arguments
 * are read before the controller is found; when it cannot be, every method throws a TypeError
 * "Null pointer exception" and calls back nothing. Invitees show in the room's
 * getInSIPInvitingMembers() and in "onMemberSIPInviteStateChanged" room events.
 */
export class IQVRoomSIPControllerWrap {
  constructor(roomUuid: string);
  callByNumber(number: string, countryCode: string, name: string, callback: ResultCallback<SIPCallInfo>): void;
  /** Something other than an array throws, and the SDK is handed an empty list. */
  callByUserUuids(userUuids: string[], callback: Callback): void;
  callByUserUuid(userUuid: string, callback: Callback): void;
  removeCall(userUuid: string, callback: Callback): void;
  cancelCall(userUuid: string, callback: Callback): void;
  hangUpCall(userUuid: string, callback: Callback): void;
  callOutRoomSystem(device: RoomSystemDevice, callback: ResultCallback<SIPCallInfo>): void;
}

/**
 * In-app invitations of a joined room, reached through IQVRoomContextWrap.getAppInviteController().
 * When the controller cannot be found every method throws a TypeError "Null pointer exception".
 * Invitees show in getInAppInvitingMembers() and in "onMemberAppInviteStateChanged" room events.
 */
export class IQVRoomAppInviteControllerWrap {
  constructor(roomUuid: string);
  callByUserUuids(userUuids: string[], callback: Callback): void;
  callByUserUuid(userUuid: string, callback: Callback): void;
  removeCall(userUuid: string, callback: Callback): void;
  cancelCall(userUuid: string, callback: Callback): void;
}

// --- chat ---

/** One member of a chatroom. */
export interface ChatroomMember {
  nick: string;
  avatar: string;
}
/** A send's result: the message as sent, or `{}` where the SDK handed none. */
export type SentChatMessage = ChatMessage | Record<string, never>;

/**
 * A room's chat, reached through IQVRoomContextWrap.getChatController(), or its waiting room's,
 * through getWaitingRoomChatController(). When a link is missing methods throw a TypeError "Null
 * pointer exception" and no callback runs. Arguments are not checked: a list that is not an array
 * throws after the call has gone to the SDK with an empty list.
 */
export class IQVRoomChatControllerWrap {
  constructor(roomUuid: string, waitingRoom?: boolean);
  isSupported(): boolean;
  joinChatroom(callback: Callback): void;
  leaveChatroom(callback: Callback): void;
  sendBroadcastTextMessage(text: string, callback: ResultCallback<SentChatMessage>): void;
  sendDirectTextMessage(toUserUuid: string, text: string, callback: ResultCallback<SentChatMessage>): void;
  sendGroupTextMessage(toUserUuids: string[], text: string, callback: ResultCallback<SentChatMessage>): void;
  fetchChatRoomMembers(offset: number, limit: number, callback: ResultCallback<ChatroomMember[]>): void;
  sendTextMessage(messageUuid: string, text: string, toUserUuids: string[], callback: ResultCallback<SentChatMessage>): void;
  sendFileMessage(messageUuid: string, filePath: string, toUserUuids: string[], callback: ResultCallback<SentChatMessage>): void;
  /** width and height come before the recipients. */
  sendImageMessage(messageUuid: string, filePath: string, width: number, height: number, toUserUuids: string[],
    callback: ResultCallback<SentChatMessage>): void;
  cancelSendFileMessage(messageUuid: string, callback: Callback): void;
  downloadAttachment(messageUuid: string, url: string, savePath: string, callback: Callback): void;
  cancelDownloadAttachment(messageUuid: string, callback: Callback): void;
  /** Null entries of the SDK's page are skipped: the array then ends in holes. */
  fetchChatroomHistoryMessages(options: ChatroomHistoryOptions, callback: ResultCallback<ChatMessage[]>): void;
  /** `time` is truncated to an integer. */
  recallChatroomMessage(messageUuid: string, time: number, callback: Callback): void;
  sendBroadcastCustomMessage(attachStr: string, callback: ResultCallback<SentChatMessage>): void;
}

/** The event map of every listener kind, by the kind's name (as brimo/sim and brimo/events name them). */
export interface ListenerEvents {
  auth: AuthEvents;
  global: GlobalEvents;
  room: RoomEvents;
  rtcStats: RtcStatsEvents;
  previewRoom: PreviewRoomEvents;
  waitingRoom: WaitingRoomEvents;
  messageChannel: MessageChannelEvents;
  whiteboardView: DrawingViewEvents;
  annotationView: DrawingViewEvents;
}
