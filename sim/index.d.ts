// TypeScript declarations of brimo/sim, the control surface of the simulated parlo SDK.

import type {
  LiveInfo, LocalAudioStats, LocalVideoStats, NetworkQuality, RemoteAudioStats, RemoteVideoStats, RoomMember, RtcStats,
} from '../index';

// --- answers, links, journal, counters ---

/**
 * Where a scripted completion runs: on an SDK thread (default), inside the call, or kept until releaseHeld(); or
 * one of two faults of a broken SDK: 'twice' invokes it twice in a row on an SDK thread (the callback runs once,
 * with the first result), 'never' lets go of it without invoking it (the callback never runs and the call no longer
 * keeps the process alive; counted as completionsDropped).
 */
export type AnswerMode = 'async' | 'sync' | 'held' | 'twice' | 'never';

/** The answer of the next call(s) of one operation; every key is optional. */
export interface Answer {
  /** What the completion reports; default 0. */
  code?: number;
  /** Default ''. */
  message?: string;
  /** The completion's result as JSON; null (default): the operation's own. */
  result?: unknown;
  /** The operation's return value as JSON; null (default): the operation's own. */
  ret?: unknown;
  mode?: AnswerMode;
  /** For 'async', how long the SDK takes. */
  delayMs?: number;
  /** How many calls this answer serves; default 1, -1: every call. */
  times?: number;
}

/** Links of the SDK's object graph. */
export type KitLink = 'kit' | 'authService' | 'roomService' | 'messageChannelService' | 'vornService';
/** Links of a joined room: its context (the room service finds it) and its controllers. */
export type RoomLink =
  | 'roomContext'
  | 'rtcController'
  | 'chatController'
  | 'waitingRoomChatController'
  | 'whiteboardController'
  | 'annotationController'
  | 'liveController'
  | 'waitingRoomController'
  | 'sipController'
  | 'appInviteController';
/** Links of the preview room: the room service's preview room, and its controller. */
export type PreviewLink = 'previewRoomContext' | 'previewRoomRtcController';
/** A room link alone stands for every room; `${link}@${room}` for one. */
export type Link = KitLink | RoomLink | `${RoomLink}@${string}` | PreviewLink;

/** One operation the SDK received: records as objects with their fields, listeners as stable identifiers. */
export interface JournalEntry {
  op: string;
  args: unknown[];
  /**
   * The SDK interface, for operations more than one has: 'IQVPreviewRoomRtcController', 'IQVRoomSIPController', ...;
   * and 'waitingRoomChatController' for the waiting room's chat, one of a room's two chat controllers.
   */
  interface?: string;
}

/** Named counters appear once they first count. */
export interface Counters {
  /** Completions accepted and not yet run. */
  outstanding: number;
  /** Completions kept by mode 'held'. */
  held: number;
  /** destroyQVParlo calls. */
  destroyCalls?: number;
  /** Completions let go of without being invoked (mode 'never'). */
  completionsDropped?: number;
  kitsCreated?: number;
  /** Events raised from the SDK thread by emit(), and raises that failed there. */
  eventsRaised?: number;
  /** Calls of listeners those events made: an event raised while n listeners are registered counts n. */
  listenerCalls?: number;
  eventsFailed?: number;
  /** Scripted results and return values that did not read as their operation's. */
  answersMisread?: number;
  /** Frames handed to room listeners. */
  framesDelivered?: number;
  /** Statistics reports raised (each of the six kinds once). */
  statsReports?: number;
  /** Volumes the preview room's record device test reported. */
  previewVolumeReports?: number;
}

// --- events ---

/**
 * The listener kinds the simulation defines; 'room', 'rtcStats' and 'waitingRoom' are registered per room, and so
 * are the drawing views: a room's view is the one its controller was handed last.
 */
export type ListenerKind =
  | 'auth' | 'global' | 'room' | 'rtcStats' | 'previewRoom' | 'waitingRoom' | 'messageChannel' | 'whiteboardView'
  | 'annotationView';

export interface EmitOptions {
  /** The room, for room-level kinds. */
  room?: string;
  /** 'sync' raises the event inside emit(). */
  mode?: 'async' | 'sync';
  delayMs?: number;
  /** Raises the event that many times in one go, in order; default 1. */
  repeat?: number;
}

/** Forgets the journal, every scripted answer and every missing link. */
export function reset(): void;
/** The operations received so far, oldest first; with `op`, only the entries of that operation. */
export function journal(op?: string): JournalEntry[];
/** Forgets the journal only. */
export function clearJournal(): void;
/** Scripts the answer of the next call(s) of `op` (an SDK operation name, e.g. 'login' or 'uploadLog'). */
export function answer(op: string, answer?: Answer): void;
/** Makes a link of the SDK's object graph missing or present again. */
export function setLink(name: Link, present: boolean): void;
/** The links set by setLink: { name: present }. */
export function links(): Record<string, boolean>;
/** Counters: destroyCalls, kitsCreated, outstanding, held, ... */
export function counters(): Counters;
/** The module's carriers (completions' and listeners' thread-safe functions). */
export interface CarrierStats {
  made: number;
  finalised: number;
  /** Made and not yet finalised. */
  alive: number;
}
/** The module's carriers: made, finalised, alive. */
export function carriers(): CarrierStats;
/** Runs every held completion on the SDK thread; answers how many. */
export function releaseHeld(): number;
/** Raises an SDK event (arguments as JSON) on every listener of one kind; answers how many listeners it reaches. */
export function emit(kind: ListenerKind, event: string, args?: unknown[], options?: EmitOptions): number;
/** The events every listener kind can be raised with, the names in alphabetical order. */
export function events(): Record<ListenerKind, string[]>;
/** How many listeners of a kind (of one room, for room-level kinds) are registered. */
export function listeners(kind: ListenerKind, room?: string): number;
/** The module's bridge figures: calls the SDK still holds and listener adapters alive. */
export function bridgeStats(): BridgeStats;
/** Turns the journal off (for benchmarks) or on again; reset() turns it on. */
export function setJournaling(enabled: boolean): void;
/** Sends one command with JSON arguments to the simulated SDK and answers its JSON; throws what the SDK refuses. */
export function control(command: string, args?: unknown): unknown;

// --- video frames ---

/** Whose listeners frames go to: a room's (default) or the preview room's. */
export type FrameKind = 'room' | 'previewRoom';

/** Settings of a frame generator; every key is optional. */
export interface FrameGenerator {
  kind?: FrameKind;
  room?: string;
  /** Default 1. */
  users?: number;
  /** The pattern index of the first user; default 1. */
  firstUser?: number;
  /** Users are named `${userPrefix}${n}`; default 'sim-user-'. */
  userPrefix?: string;
  /** The users' own UUIDs, in place of users and userPrefix. */
  userUuids?: string[];
  /** Default 320 x 180. */
  width?: number;
  height?: number;
  /** Default 30; 0: as fast as possible. */
  fps?: number;
  /** Default 0: until stopped. */
  frames?: number;
  /** false (default): main streams only; true: main and sub. */
  sub?: boolean;
  /** Default 1. */
  threads?: number;
}

export interface GeneratorStatus {
  ticks: number;
  running: boolean;
}

/** One frame handed to the room listeners; every key is optional. */
export interface FramePush {
  kind?: FrameKind;
  room?: string;
  /** Default 'sim-user-1'. */
  user?: string;
  sub?: boolean;
  /** Default 64 x 36. */
  width?: number;
  height?: number;
  /** The SDK's frame type code; default 0. */
  type?: number;
  /** The frame's own bytes; without them the frame is the test pattern of `frame` for `userIndex`. */
  bytes?: ArrayBufferView;
  /** Plane offsets and strides; default the I420 layout of width x height. */
  offsets?: number[];
  strides?: number[];
  userIndex?: number;
  frame?: number;
  /** 'sync': inside push(). */
  mode?: 'async' | 'sync';
}

/** The test pattern read back from a frame; `whole` says the planes carry that user, stream and frame. */
export interface FramePattern {
  user: number;
  /** 0 main, 1 sub. */
  stream: number;
  frame: number;
  whole: boolean;
}

/** The module's bridge figures. */
export interface BridgeStats {
  /** Asynchronous calls whose completion the SDK still holds: not yet invoked, nor let go of. */
  calls: number;
  /** Listener adapters alive: registrations, canvas views, and those kept after their thread ended. */
  adapters: number;
}

/** The module's frame hub figures. */
export interface HubStats {
  stored: number;
  skipped: number;
  allocationFailures: number;
  poolBlocksAllocated: number;
  poolFreeBlocks: number;
  held: number;
}

export interface Frames {
  /** Starts a generator on SDK threads of its own; answers its id. */
  start(settings: FrameGenerator): number;
  /** Stops one generator, or all of them; answers { id: { ticks, running } }. */
  stop(id?: number): Record<string, GeneratorStatus>;
  /** { ticks, running } of a generator, or null once stopped. */
  status(id: number): GeneratorStatus | null;
  /** Hands one frame to the room listeners of `room`; answers how many it reaches. */
  push(frame?: FramePush): number;
  /** Reads the test pattern back from a frame's bytes (one element per byte); null when they carry none. */
  inspect(bytes: Uint8Array | Uint8ClampedArray, width: number, height: number): FramePattern | null;
  /** The module's frame hub figures. */
  hubStats(): HubStats;
}

/** Video frames: decoded I420 frames handed to the room listeners of a room. */
export const frames: Frames;

// --- rooms ---

/** The SDK's role record. */
export interface SimRole {
  name: string;
  limit: number;
  videoWidth: number;
  videoHeight: number;
  videoFps: number;
  audioProfile: string;
  audioScenario: string;
  screenVideoProfile: string;
  screenPreferMotion: boolean;
  screenPreferDetails: boolean;
}

/** A member as the simulation keeps it: the script's member record, with the role as the SDK's record. */
export type SimMemberRecord = Omit<RoomMember, 'role'> & { role: SimRole };

/** A member as the simulation takes it: every key optional, the role as a name ('host') or a record. */
export type SimMember = Partial<Omit<SimMemberRecord, 'role'>> & { role?: string | Partial<SimRole> };

/** A chat message as the simulation takes it; every key optional. */
export interface SimChatMessage {
  /** A kind's name (default 'text') or number, kinds the module does not know included. */
  messageType?: 'text' | 'custom' | 'file' | 'image' | 'notification' | number;
  messageUuid?: string;
  fromUserUuid?: string;
  fromNick?: string;
  fromAvatar?: string;
  toUserUuidList?: string[];
  time?: number;
  chatroomType?: number;
  text?: string;
  /** A notification carries an attachment only when this is given. */
  attachStr?: string | null;
  displayName?: string;
  extension?: string;
  md5?: string;
  url?: string;
  size?: number;
  path?: string;
  width?: number;
  height?: number;
}

/** The SDK's template record; every key optional, roles as names or records. */
export interface SimRoomTemplate {
  roles?: Array<string | Partial<SimRole>>;
  memberWhiteboard?: string[];
  memberScreenShare?: string[];
  audioStreamRoles?: string[];
  videoStreamRoles?: string[];
  subVideoStreamRoles?: string[];
  roomPropertyPermissions?: Array<{ name?: string; roles?: string[] }>;
}

/** A template as a room keeps it. */
export interface SimRoomTemplateRecord {
  roles: SimRole[];
  memberWhiteboard: string[];
  memberScreenShare: string[];
  audioStreamRoles: string[];
  videoStreamRoles: string[];
  subVideoStreamRoles: string[];
  roomPropertyPermissions: Array<{ name: string; roles: string[] }>;
}

/** One cloud recording; every key optional. */
export interface SimCloudRecord {
  recordId?: string;
  startTime?: number;
  endTime?: number;
  infoList?: Array<{
    mixing?: boolean;
    fileName?: string;
    md5?: string;
    size?: number;
    url?: string;
    videoId?: number;
    pieceIndex?: number;
    nickname?: string;
  }>;
}

/** A joined room's state. */
export interface SimRoomState {
  roomUuid: string;
  roomName: string;
  password: string;
  sipCid: string;
  rtcStartTime: number;
  remainingSeconds: number;
  maxMembers: number;
  roomTemplate: SimRoomTemplateRecord;
  properties: Record<string, string>;
  localMember: SimMemberRecord | null;
  remoteMembers: SimMemberRecord[];
  sipInvitingMembers: SimMemberRecord[];
  appInvitingMembers: SimMemberRecord[];
  locked: boolean;
  cloudRecording: boolean;
  inWaitingRoom: boolean;
  blacklistEnabled: boolean;
}

/** Changes to a room's state: the keys of get() but its UUID, members given whole. */
export interface SimRoomChanges {
  roomName?: string;
  password?: string;
  sipCid?: string;
  rtcStartTime?: number;
  remainingSeconds?: number;
  maxMembers?: number;
  roomTemplate?: SimRoomTemplate;
  properties?: Record<string, string>;
  localMember?: SimMember | null;
  remoteMembers?: SimMember[];
  sipInvitingMembers?: SimMember[];
  appInvitingMembers?: SimMember[];
  locked?: boolean;
  cloudRecording?: boolean;
  inWaitingRoom?: boolean;
  blacklistEnabled?: boolean;
}

/** Everything here acts on joined rooms and throws for a room that is not joined. */
export interface Rooms {
  /** UUIDs of the joined rooms. */
  list(): string[];
  /** A joined room's state, or null. */
  get(room: string): SimRoomState | null;
  /** Changes a room's state; changes the SDK reports raise their events. */
  update(room: string, changes: SimRoomChanges): true;
  /** Remote members join: one onMemberJoinRoom with all of them. */
  addMember(room: string, members: SimMember | SimMember[]): true;
  /** A remote member leaves: onMemberLeaveRoom. */
  removeMember(room: string, user: string): true;
  /** A member's state changes (the local member too), done by `by` (default the member itself); each change raises its event. */
  updateMember(room: string, user: string, changes: SimMember, options?: { by?: string }): true;
  /** Messages arrive in the room: kept in its history, raised as onReceiveChatroomMessages. */
  chat(room: string, messages: SimChatMessage | SimChatMessage[]): true;
  /** Someone sets room properties: onRoomPropertiesChanged with what changed. */
  setProperties(room: string, properties: Record<string, string>): true;
  /** Someone deletes room properties: onRoomPropertiesDeleted with what went. */
  deleteProperties(room: string, keys: string[]): true;
  /** The room ends for everyone: onRoomEnded(reason), then the room is gone. */
  end(room: string, reason?: number): true;
  /** Raises any room event on the room's listeners, its arguments as JSON; answers how many listeners it reaches. */
  emit(room: string, event: string, ...args: unknown[]): number;
  /** The template fetchRoomTemplate(key) answers and a room created with templateId key gets; '*' for every key not set. */
  setTemplate(key: string, template: SimRoomTemplate): true;
  /** A room's chat history (null entries allowed), oldest first. */
  setHistory(room: string, messages: Array<SimChatMessage | null>): true;
  /** A room's cloud recordings; stopping a cloud recording adds one by itself. */
  setCloudRecords(room: string, records: SimCloudRecord[]): true;
  /** Makes a link of one room missing or present again. */
  setLink(room: string, link: RoomLink, present: boolean): void;
  /** Forgets every room, created or joined, and every template, history and record. */
  reset(): true;
}

/** The rooms of the simulated SDK; sim.reset() leaves them alone. */
export const rooms: Rooms;

// --- RTC controllers ---

/** A device as the SDK lists it. */
export interface SimDevice {
  deviceName: string;
  deviceId: string;
  unavailable: boolean;
  defaultDevice: boolean;
}

/** A device as the simulation takes it: every key but deviceId optional. */
export type SimDeviceInput = Partial<SimDevice> & { deviceId: string };

/** A capture image as a controller keeps it: its bytes as base64, null when it has none. */
export interface SimCaptureImage {
  width: number;
  height: number;
  length: number;
  bytes: string | null;
}

/** A capture image as the simulation takes it; without bytes, a length hands the SDK a null pointer. */
export interface SimCaptureImageInput {
  width?: number;
  height?: number;
  /** The count of the bytes when there are bytes. */
  length?: number;
  /** Base64, numbers 0 to 255, or the bytes of a typed array or ArrayBuffer. */
  bytes?: string | number[] | ArrayBufferView | ArrayBuffer | null;
}

/** A screen (type 0) or window (type 1) that can be shared. */
export interface SimCaptureSource {
  type: number;
  id: number;
  title: string;
  name: string;
  processPath: string;
  thumbnail: SimCaptureImage;
  icon: SimCaptureImage;
  primaryMonitor: boolean;
}

/** A capture source as the simulation takes it; every key optional. */
export type SimCaptureSourceInput = Partial<Omit<SimCaptureSource, 'thumbnail' | 'icon'>> & {
  thumbnail?: SimCaptureImageInput;
  icon?: SimCaptureImageInput;
};

/** The SDK's video canvas record. */
export interface SimVideoCanvas {
  enabled: boolean;
  window: number;
  scalingMode: number;
  mirrorMode: number;
}

/** The SDK's screen share config record. */
export interface SimScreenShareConfig {
  captureCursor: boolean;
  highlightBorder: boolean;
  borderWidth: number;
  borderColor: number;
  monitorIndex: number;
  limitFrameRate: number;
  videoProfile: string;
}

export interface SimRect {
  x: number;
  y: number;
  width: number;
  height: number;
}

/** What the local share was started with. */
export interface SimShare {
  kind: 'screen' | 'app' | 'rect';
  /** Screen and app shares. */
  sourceId?: number;
  config?: SimScreenShareConfig;
  /** Screen and rectangle shares. */
  exclude?: number[];
  /** Rectangle shares. */
  screenRect?: SimRect;
  regionRect?: SimRect;
  flag?: boolean;
}

/** The SDK's local record parameters record. */
export interface SimLocalRecordParams {
  isShowTimestampCover: boolean;
  recordAudio: boolean;
  recordVideo: boolean;
  filePath: string;
  fileName: string;
  coverConfigFilePath: string;
  defaultCoverConfigFilePath: string;
  coverTitle: string;
  coverMeetingNumber: string;
  coverCreateTime: string;
}

/** The SDK's local record layout record. */
export interface SimLocalRecordLayout {
  streamType: number;
  isShowNameCover: boolean;
  isShowStreamDefaultCover: boolean;
  isScreenShare: boolean;
  streamLayer: number;
  offsetX: number;
  offsetY: number;
  width: number;
  height: number;
  scalingMode: number;
  bgColor: number;
  uid: string;
}

/** A frame pushed into the local recorder, as journalled: its numbers, and whether it carried pixels. */
export interface SimRecorderFrame {
  format: number;
  timestamp: number;
  width: number;
  height: number;
  rotation: number;
  data: boolean;
}

export interface SimLocalRecording {
  recording: boolean;
  /** After a stop, until stopLocalRecorderRemux. */
  remuxing: boolean;
  /** Of the last start; null before. */
  params: SimLocalRecordParams | null;
  layouts: SimLocalRecordLayout[];
  /** Since the last start. */
  framesPushed: number;
  lastFrame: { id: string; streamType: number; frame: SimRecorderFrame } | null;
}

/** What the SDK was told, by subject: null until told. */
export interface SimRtcSettings {
  localVideoCanvas: SimVideoCanvas | null;
  remoteVideoCanvases: Record<string, SimVideoCanvas>;
  remoteVideoSubStreamCanvases: Record<string, SimVideoCanvas>;
  /** User -> high stream. */
  remoteVideoStreams: Record<string, boolean>;
  remoteVideoSubStreams: string[];
  localVideoResolution: number | null;
  localVideoFramerate: number | null;
  localVideo: boolean | null;
  localVideoCapturePaused: boolean;
  audioDeviceAutoSelectType: number | null;
  audioProfile: { profile: number; scenario: number } | null;
  audioEchoCancellation: boolean | null;
  /** The four-argument form adds id and flag. */
  audioVolumeIndication: { enable: boolean; interval: number; id?: string; flag?: boolean } | null;
  /** The dump's type while dumping. */
  audioDump: number | null;
  audioAINS: boolean | null;
  audioVolumeAutoAdjust: boolean | null;
  recordingSignalVolume: number | null;
  playbackSignalVolume: number | null;
  userPlaybackSignalVolumes: Record<string, number>;
  channelPlaybackSignalVolumes: Record<string, number>;
  /** Channel -> enabled. */
  localAudio: Record<string, boolean>;
  localAudioSubStream: boolean;
  localAudioRecordingPaused: boolean;
  /** Channel -> media type -> enabled. */
  mediaPub: Record<string, Record<string, boolean>>;
  encryption: { key: string; mode: number } | null;
  caption: boolean | null;
  captionTranslationLanguage: number | null;
  cloudProxy: number | null;
  systemAudioLoopbackCapture: boolean;
  excludeWindowList: number[];
}

/** The machine both RTC controllers see: devices, choices, volumes, playout mute. */
export interface SimMediaMachine {
  supported: boolean;
  virtualBackgroundSupportedType: number;
  cameras: SimDevice[];
  playouts: SimDevice[];
  records: SimDevice[];
  selectedCamera: string;
  selectedPlayout: string;
  selectedRecord: string;
  playoutVolume: number;
  recordVolume: number;
  playoutMute: boolean;
}

/** What the room's machine has: the part of a controller's state script may change. */
export interface SimRtcMachine extends SimMediaMachine {
  sources: SimCaptureSource[];
}

/** A room's RTC controller state. */
export interface SimRtcState extends SimRtcMachine {
  /** null when not sharing. */
  share: SimShare | null;
  localRecord: SimLocalRecording;
  settings: SimRtcSettings;
}

/** Changes to what the room's machine has; every key optional. */
export type SimRtcChanges = Partial<Omit<SimRtcMachine, 'cameras' | 'playouts' | 'records' | 'sources'>> & {
  cameras?: SimDeviceInput[];
  playouts?: SimDeviceInput[];
  records?: SimDeviceInput[];
  sources?: SimCaptureSourceInput[];
};

/** Everything here acts on joined rooms and throws for a room that is not joined. */
export interface Rtc {
  /** A joined room's controller state, or null. */
  get(room: string): SimRtcState | null;
  /** Replaces the device lists given; devices gone or added and a new default raise their events. */
  setDevices(room: string, devices: { cameras?: SimDeviceInput[]; playouts?: SimDeviceInput[]; records?: SimDeviceInput[] }): true;
  /** Replaces what can be captured. */
  setSources(room: string, sources: SimCaptureSourceInput[]): true;
  /** Lays changes over what the room's machine has. */
  update(room: string, changes: SimRtcChanges): true;
}

/** The RTC controllers of the joined rooms, kept as state. */
export const rtc: Rtc;

// --- the preview room ---

/** What the SDK was told that both RTC controllers know of, by subject: null until told. */
export type SimMediaSettings = Pick<SimRtcSettings, 'localVideoCanvas' | 'localVideoResolution' | 'localVideoFramerate'
  | 'audioDeviceAutoSelectType' | 'audioProfile' | 'audioEchoCancellation' | 'audioVolumeIndication' | 'audioDump'
  | 'audioAINS' | 'audioVolumeAutoAdjust' | 'recordingSignalVolume' | 'playbackSignalVolume'>;

/** The preview room's machine, choices, volumes and mutes: the part script may change. */
export interface SimPreviewMachine extends SimMediaMachine {
  recordMute: boolean;
  /** What the microphone hears, 0 to 255. */
  microphoneLevel: number;
  /** What the video preview's camera delivers. */
  previewVideo: { width: number; height: number; fps: number };
}

export interface SimPreviewState extends SimPreviewMachine {
  videoPreview: boolean;
  playoutTest: { filePath: string } | null;
  recordTest: { interval: number } | null;
  /** effects: beauty type -> the level the SDK was given. */
  beauty: { running: boolean; path: string; enabled: boolean; effects: Record<string, number> };
  virtualBackground: {
    enabled: boolean;
    source: { backgroundSourceType: number; color: number; source: string };
    flag: boolean;
  };
  voicePitch: number;
  audioCaptureDriverInstalled: boolean;
  localRecord: SimLocalRecording;
  settings: SimMediaSettings;
}

export type SimPreviewChanges = Partial<Omit<SimPreviewMachine, 'cameras' | 'playouts' | 'records'>> & {
  cameras?: SimDeviceInput[];
  playouts?: SimDeviceInput[];
  records?: SimDeviceInput[];
};

export interface Preview {
  get(): SimPreviewState;
  /** Device lists that change raise the device events; throws, changing nothing, on another key. */
  update(changes: SimPreviewChanges): true;
  /** Back to two devices of each kind and nothing running. */
  reset(): true;
  /** Raises any preview room event (arguments as JSON); answers how many listeners it reaches. */
  emit(event: string, ...args: unknown[]): number;
}

/** The preview room and its RTC controller, kept as state. */
export const preview: Preview;

// --- RTC statistics ---

export interface SimStatsSettings {
  /** Default 2000; 0: no periodic reports; else 20 to an hour. */
  intervalMs: number;
  /** Per audio stream, default 48. */
  audioKbps: number;
  /** Per main video layer, default 800. */
  videoKbps: number;
  /** Per sub (screen) layer, default 1200. */
  screenKbps: number;
  /** Default 40. */
  rttMs: number;
  /** Percent, default 0. */
  lossRate: number;
  /** Everyone's network quality status, default 1. */
  quality: number;
}

/** One report of the six kinds, with the SDK records' field names. */
export interface SimStatsReport {
  rtcStats: RtcStats;
  localAudio: LocalAudioStats[];
  remoteAudio: Record<string, RemoteAudioStats[]>;
  localVideo: LocalVideoStats[];
  remoteVideo: Record<string, RemoteVideoStats[]>;
  network: NetworkQuality[];
}

export interface SimStatsSource {
  settings: SimStatsSettings;
  /** Periodic reports on and the room's media running. */
  running: boolean;
  reports: number;
  /** What this call's reports have covered. */
  coveredMs: number;
  last: SimStatsReport | null;
}

export interface Stats {
  /** Settings of a room's source, kept across joins until reset(); answers the room's settings. */
  configure(room: string, settings: Partial<SimStatsSettings>): SimStatsSettings;
  /** A joined room's source; throws for a room not joined. */
  get(room: string): SimStatsSource;
  /**
   * One report now, whether or not the media runs; `reports` replaces the kinds it names
   * (rtcStats field by field). Answers the report raised.
   */
  report(room: string, reports?: Partial<{ rtcStats: Partial<RtcStats> } & Omit<SimStatsReport, 'rtcStats'>> | null,
    options?: { mode?: 'async' | 'sync' }): SimStatsReport;
  /** Every room's settings back to the defaults. */
  reset(): true;
}

/** The statistics source of every joined room. */
export const stats: Stats;
// --- chat, live streams and the waiting room ---

/** A chatroom's state. */
export interface SimChatroom {
  /** Whether the local member is in the chatroom; sends fail with 403 when not. */
  joined: boolean;
  /** Oldest first; null entries set by rooms.setHistory stay. */
  history: Array<SimChatMessage | null>;
  /** Message UUIDs of the files being sent, and of the attachments being downloaded. */
  sending: string[];
  downloading: string[];
  downloaded: Array<{ messageUuid: string; path: string }>;
}
/** Which chatroom: the room's own (default) or its waiting room's. */
export interface SimChatroomChoice {
  waitingRoom?: boolean;
}
/** How the file at a path goes when sent or downloaded. */
export interface SimFile {
  /** Default 262144. */
  size?: number;
  /** Default: one made from the path. */
  md5?: string;
  /** Progress events per transfer, 1 to 1000; default 4. */
  steps?: number;
  /** Between progress events, up to a minute; default 5. */
  stepMs?: number;
}
/** The two chatrooms of every joined room. */
export interface Chat {
  /** Messages of other members arrive: kept in the chatroom's history, raised as onReceiveChatroomMessages. */
  receive(room: string, messages: SimChatMessage | SimChatMessage[], options?: SimChatroomChoice): true;
  get(room: string, options?: SimChatroomChoice): SimChatroom;
  setFile(path: string, file?: SimFile): true;
}
export const chat: Chat;

/** The SDK's live record: what getLiveInfo shows (state 0 not started, 1 live, 2 ended) and enableThirdParties. */
export type SimLiveRecord = LiveInfo & { enableThirdParties: boolean };
/** The SDK's record of the live page's images. */
export interface SimLiveBackground {
  backgroundUrl: string;
  thumbnailBackgroundUrl: string;
  coverUrl: string;
  thumbnailCoverUrl: string;
  backgroundUpdatedSequence: number;
}
/** The live stream of every joined room. */
export interface Live {
  get(room: string): { live: SimLiveRecord; background: SimLiveBackground; tasks: string[] };
  /** The service moves the stream to a state: onRoomLiveStateChanged when it changes. */
  setState(room: string, state: number): true;
  /** Someone else changes the live page's images: onRoomLiveBackgroundInfoChanged. */
  setBackground(room: string, background: Partial<SimLiveBackground>): true;
  /** A stream task beside the live stream's own; throws when it exists. */
  addTask(room: string, taskId: string): true;
}
export const live: Live;

/** The SDK's waiting-room record. */
export interface SimWaitingRoomInfo {
  roomUuid: string;
  logo: string;
  backgroundImageUrl: string;
  memberCount: number;
  chatroomId: number;
  isEnabledOnEntry: boolean;
}
/** A person in a waiting room. */
export interface SimWaitingPerson {
  uuid: string;
  name: string;
  avatar: string;
  joinTime: number;
  status: number;
}
/** The waiting room of every joined room; everything here throws for a room that is not joined. */
export interface WaitingRoom {
  get(room: string): { info: SimWaitingRoomInfo; people: SimWaitingPerson[] };
  /** People arrive (joinTime defaults to now): onMemberJoin each, then onWaitingRoomInfoUpdated. */
  arrive(room: string, people: (Partial<SimWaitingPerson> & { uuid: string }) | Array<Partial<SimWaitingPerson> & { uuid: string }>,
    options?: { reason?: number }): true;
  /** Someone waiting leaves: onMemberLeave, then onWaitingRoomInfoUpdated. */
  leave(room: string, user: string, options?: { reason?: number }): true;
  update(room: string, changes: Partial<Pick<SimWaitingRoomInfo, 'logo' | 'backgroundImageUrl' | 'chatroomId' | 'isEnabledOnEntry'>>): true;
  /** onMyWaitingRoomStatusChanged; the room's isInWaitingRoom() is then status === 1. */
  setMyStatus(room: string, status: number, reason?: number): true;
  /** onManagersUpdated with the room's hosts and cohosts. */
  managersUpdated(room: string): true;
  /** Any waiting-room event, its arguments as JSON; answers how many listeners it reaches. */
  emit(room: string, event: string, ...args: unknown[]): number;
}
export const waitingRoom: WaitingRoom;

// --- whiteboard and annotation ---

/** The view events through which the SDK pushes strings to the drawing page. */
export type ViewEvent = 'onAuth' | 'onLogout' | 'onDrawEnableChanged' | 'onToolConfigChanged' | 'onLogin';

/** What the SDK knows of a room's drawing page. */
export interface SurfaceState {
  /** 'ready' once login() and then auth() were relayed. */
  handshake: 'idle' | 'loggedIn' | 'ready';
  drawEnabled: boolean;
  /** The journal's name of the room's view, or null. */
  view: string | null;
  url: string;
}

export interface DrawingSurface<State = SurfaceState> {
  /** Throws for a room that is not joined. */
  get(room: string): State;
  /** Pushes `text` to the room's view as `event`, from the SDK thread; false when it has no view. */
  push(room: string, event: ViewEvent, text: string, options?: { delayMs?: number }): boolean;
}

/** The whiteboards of joined rooms. */
export const whiteboard: DrawingSurface;

/** The annotation surfaces of joined rooms, with the room's annotation switch. */
export const annotation: DrawingSurface<SurfaceState & { enabled: boolean; sharing: boolean }> & {
  /** onRoomAnnotationEnableChanged when it changes; sharing is refused (403) while off. */
  setEnabled(room: string, enabled: boolean): true;
};

// --- message channel ---

/** The SDK's session message record (sessionType as the SDK numbers it, 0 or 1). */
export interface SimSessionMessage {
  sessionId: string;
  sessionType: number;
  messageId: string;
  data: string;
  time: number;
}

/** A session message from someone else; every key optional. messageId and time are made up when absent. */
export interface SimIncomingSessionMessage extends Partial<SimSessionMessage> {
  fromAccount?: string;
  fromNick?: string;
}

export interface SimSession {
  sessionId: string;
  sessionType: number;
  unreadCount: number;
  fromAccount: string;
  fromNick: string;
  /** Oldest first; the last unreadCount are unread. */
  messages: SimSessionMessage[];
}

export interface Channel {
  /** Another user's custom message arrives: onCustomMessageReceived; answers how many listeners it reaches. */
  custom(message: { roomUuid?: string; senderUuid?: string; data?: string; commandId?: number }): number;
  /** A session message arrives, unread: onSessionMessageReceived, then onSessionMessageRecentChanged. */
  receive(message: SimIncomingSessionMessage): SimSessionMessage;
  sessions(): SimSession[];
  /** Forgets every session. */
  reset(): true;
}

/** The message channel as everyone else uses it. */
export const channel: Channel;

// --- invitations ---

export interface Invites {
  /** `user`, being called (SIP first, then in-app), joins the room. Throws when nobody calls them. */
  accept(room: string, user: string): true;
  /** `user`, being called, declines: inviteState 2, still in the inviting list. */
  decline(room: string, user: string): true;
}

/** The invitees of the rooms' SIP and in-app calls. */
export const invites: Invites;

// --- benchmark baselines ---

/** Baselines for benchmarks, measured in the same process as the module. */
export const baseline: {
  /** A native call that does nothing. */
  noop(): void;
  /** Calls `callback` n times through one bare thread-safe function fed by another thread. */
  threadSafeCalls(n: number, callback: () => void): void;
  /** Makes a bare thread-safe function around `callback`, calls it once from another thread, releases it. */
  threadSafeRoundTrip(callback: () => void): void;
};
