'use strict';
// Control surface of the simulated parlo SDK.
//
//   const sim = require('brimo/sim');
//   sim.reset();                                     // forget journal, answers and links
//   sim.answer('login', { code: 401, message: 'bad token' });
//   sim.setLink('authService', false);               // the kit then has no auth service
//   sim.journal('login');                            // [{ op: 'login', args: ['ann', 'token'] }]
//   sim.counters();                                  // { destroyCalls, outstanding, held, ... }
//
// Every operation the SDK receives is journalled in call order with its arguments
// as JSON. By default every operation succeeds (code 0) and completes later on an
// SDK thread; answers change that for the next call(s) of one operation.

const path = require('node:path');

// The simulated SDK is one per process. Like brimo, one thread at a time (the main
// thread or a worker) may script it: loading it while another thread has it throws,
// and once that thread has ended its generators are stopped, its held completions
// dropped and its answers, links and journal forgotten.

const { buildDir, buildInfo, loadNative } = require('../lib/build');

const built = buildInfo();
if (built && built.sdk !== 'simulation') {
  throw new Error(`brimo/sim: the simulated parlo SDK is not built: this brimo is built against the parlo SDK in ${built.sdkDir}`);
}
const native = loadNative('parlo_sim.node');

function control(command, args = null) {
  const answer = JSON.parse(native.control(command, JSON.stringify(args === undefined ? null : args)));
  if (answer && typeof answer === 'object' && !Array.isArray(answer) && typeof answer.error === 'string') {
    throw new Error(`parlo sim: ${answer.error}`);
  }
  return answer;
}

/** Forgets the journal, every scripted answer and every missing link. */
function reset() {
  control('reset');
}

/**
 * The operations received so far, oldest first: [{ op, args }]. Operations that
 * more than one interface has carry the SDK interface too, as `interface` (the
 * preview room's controller 'IQVPreviewRoomRtcController', the drawing surfaces'
 * 'IQVRoomWhiteboardController' and 'IQVRoomAnnotationController', the invitation
 * controllers 'IQVRoomSIPController' and 'IQVRoomAppInviteController');
 * answer('IQVRoomSIPController.removeCall', ...) scripts that interface's alone.
 * @param {string} [op] only the entries of this operation: its plain name finds it
 *   on every interface, 'IQVPreviewRoomRtcController.startBeauty' on that one only
 */
function journal(op) {
  const entries = control('journal');
  return op === undefined ? entries : entries.filter((e) => e.op === op || `${e.interface}.${e.op}` === op);
}

function clearJournal() {
  control('clearJournal');
}

/**
 * Scripts the answer of the next call(s) of `op`.
 * @param {string} op SDK operation name, e.g. 'login' or 'uploadLog'; an operation
 *   of one interface only as 'IQVPreviewRoomRtcController.selectCameraDevice'
 *   (served before an answer for the plain name)
 * @param {object} answer
 *   code, message: what the completion reports (default 0, '');
 *   result: the completion's result (JSON; default: the operation's own);
 *   ret: the operation's return value (JSON; default: the operation's own);
 *   mode: 'async' (on an SDK thread, default), 'sync' (inside the call),
 *         'held' (kept until releaseHeld()), or one of two faults of a broken
 *         SDK: 'twice' (invoked twice in a row on an SDK thread; script's
 *         callback runs once, with the first result) and 'never' (let go of
 *         without being invoked, counted as completionsDropped; the callback
 *         never runs and the call no longer keeps the process alive);
 *   delayMs: for 'async', how long the SDK takes (up to a day);
 *   times: how many calls this answer serves (default 1; -1: every call).
 * Anything else throws here. A result or return value that does not read as the
 * operation's fails that completion with code 400, or leaves the operation's own
 * return value, said on standard error and counted as answersMisread.
 */
function answer(op, { code = 0, message = '', result = null, ret = null, mode = 'async', delayMs = 0, times = 1 } = {}) {
  control('answer', { op, code, message, result, ret, mode, delayMs, times });
}

/**
 * Makes a link of the SDK's object graph missing or present again: 'kit',
 * 'authService', 'roomService', 'messageChannelService', 'vornService'.
 */
function setLink(name, present) {
  control('setLink', { name, present: Boolean(present) });
}

/** The links set by setLink: { name: present }. */
function links() {
  return control('links');
}

/**
 * Counters: destroyCalls (destroyQVParlo), kitsCreated, outstanding (completions
 * accepted and not yet run), held (completions kept by mode 'held'),
 * completionsDropped (mode 'never'), eventsRaised and listenerCalls (events raised
 * by emit() from the SDK thread, and the listener calls they made).
 */
function counters() {
  return control('counters');
}

/**
 * The module's carriers (the thread-safe functions of completions and listener
 * registrations): made, finalised, and alive (made and not yet finalised).
 */
function carriers() {
  return control('carrierStats', { module: path.join(buildDir, 'brimo.node') });
}

/** Runs every held completion on the SDK thread; answers how many. */
function releaseHeld() {
  return control('releaseHeld');
}

/**
 * Raises an SDK event on every listener of one kind that is registered with the
 * simulated SDK, from the SDK thread (or, with mode 'sync', inside this call).
 * Answers how many listeners it reaches.
 *
 *   sim.emit('auth', 'onAuthEvent', [3]);
 *   sim.emit('global', 'onRtcEngineWarning', ['audio device busy']);
 *   sim.emit('room', 'onMemberJoinRoom', [[member]], { room: uuid });
 *
 * @param {string} kind 'auth', 'global', 'room', 'rtcStats', 'previewRoom', 'waitingRoom',
 *   'messageChannel', 'whiteboardView' or 'annotationView' ('room', 'rtcStats',
 *   'waitingRoom' and the views per room: a room's view is the one its controller was
 *   handed last)
 * @param {string} event the SDK listener operation, e.g. 'onAuthEvent'
 * @param {Array} args its arguments as JSON, records as objects with their fields
 * @param {{room?: string, mode?: 'async'|'sync', delayMs?: number, repeat?: number}} [options]
 *   repeat raises the event that many times in one go, in order
 * Throws, raising nothing, when the arguments do not read as the event's.
 */
function emit(kind, event, args = [], { room = '', mode = 'async', delayMs = 0, repeat = 1 } = {}) {
  return control('emit', { kind, event, args, room, mode, delayMs, repeat });
}

/**
 * The events every listener kind can be raised with: { kind: [event names] }, the
 * names in alphabetical order.
 */
function events() {
  return control('events');
}

/** Turns the journal off (for benchmarks) or on again; reset() turns it on. */
function setJournaling(enabled) {
  control('setJournaling', { enabled: Boolean(enabled) });
}

/** How many listeners of a kind (of one room, for room-level kinds) are registered. */
function listeners(kind, room = '') {
  return control('listeners', { kind, room });
}

/**
 * Video frames: decoded I420 frames handed to the room listeners of a room.
 *
 *   const id = sim.frames.start({ room, users: 4, width: 1280, height: 720, fps: 30, sub: true });
 *   sim.frames.push({ room, user: 'u1', width: 64, height: 36 });   // one frame
 *   sim.frames.stop(id);                                            // or stop() for all
 *
 * Generated users are named `${userPrefix}${n}` (default 'sim-user-1', 'sim-user-2', ...).
 * Every generated frame carries a test pattern that frames.inspect() reads back.
 * Frames go to the room listeners of `room`, or with kind 'previewRoom' to the
 * preview room's listeners.
 */
const frames = {
  /**
   * Starts a generator on SDK threads of its own.
   * @param {object} settings kind ('room' or 'previewRoom'), room, users (1), firstUser (1), userPrefix ('sim-user-') or
   *   userUuids (the users' own UUIDs, in place of users and userPrefix),
   *   width (320), height (180), fps (30; 0: as fast as possible), frames (0: until
   *   stopped), sub (false: main streams only; true: main and sub), threads (1).
   *   Sizes are made even; 2 to 7680 x 2 to 4320, 1 to 256 users and 1 to 64
   *   threads, else it throws
   * @returns {number} the generator's id
   */
  start(settings) {
    return control('frameStart', settings);
  },
  /** Stops one generator, or all of them; answers { id: { ticks, running } }. */
  stop(id) {
    return control('frameStop', id === undefined ? null : { id });
  },
  /** { ticks, running } of a generator, or null once stopped. */
  status(id) {
    return control('frameStatus', { id });
  },
  /**
   * Hands one frame to the room listeners of `room` (kind 'previewRoom': to the preview
   * room's listeners) from the SDK thread (mode 'sync':
   * inside this call). Without `bytes` the frame is the test pattern of `frame` for
   * `userIndex`. `offsets` and `strides` default to the I420 layout of width x height.
   * @returns {number} how many listeners it reaches
   */
  push({ kind = 'room', room = '', user = 'sim-user-1', sub = false, width = 64, height = 36, type = 0, bytes, offsets,
    strides, userIndex = 1, frame = 0, mode = 'async' } = {}) {
    const settings = { kind, room, user, sub, width, height, type, userIndex, frame, mode };
    if (bytes !== undefined) settings.bytes = Buffer.from(bytes.buffer, bytes.byteOffset, bytes.byteLength).toString('base64');
    if (offsets !== undefined) settings.offsets = offsets;
    if (strides !== undefined) settings.strides = strides;
    return control('framePush', settings);
  },
  /**
   * Reads the test pattern back from a frame's bytes: { user, stream, frame, whole }
   * where whole says that the U and V planes carry the tint of that user and stream
   * and that the Y plane's band sits where that frame number puts it. null when the
   * bytes carry no pattern.
   */
  inspect(bytes, width, height) {
    const y = width * height;
    const uv = (width / 2) * (height / 2);
    if (bytes.length < y + 2 * uv || bytes[0] !== 0xb7 || bytes[1] !== 0x1d) return null;
    let check = 0;
    for (let i = 0; i < 9; i++) check ^= bytes[i];
    if (check !== bytes[9]) return null;
    const user = bytes[2] | (bytes[3] << 8);
    const stream = bytes[4];
    const frame = (bytes[5] | (bytes[6] << 8) | (bytes[7] << 16) | (bytes[8] << 24)) >>> 0;
    const u = (40 + user * 47 + stream * 90) & 0xff;
    const v = (200 - user * 29 - stream * 60) & 0xff;
    let whole = true;
    for (let i = y; i < y + uv && whole; i++) whole = bytes[i] === u;
    for (let i = y + uv; i < y + 2 * uv && whole; i++) whole = bytes[i] === v;
    const band = (2 * frame) % height;
    // The header takes the first ten bytes of row 0: on a frame that narrow, its last pixel too.
    for (let row = width <= 10 ? 1 : 0; row < height && whole; row++) {
      const inBand = (row - band + height) % height < 4;
      whole = bytes[row * width + width - 1] === (inBand ? 235 : 212);
    }
    return { user, stream, frame, whole };
  },
  /**
   * The module's frame hub figures: stored, skipped, allocationFailures,
   * poolBlocksAllocated, poolFreeBlocks, held.
   */
  hubStats() {
    return control('hubStats', { module: path.join(buildDir, 'brimo.node') });
  },
};

/**
 * The module's bridge figures: calls (asynchronous calls whose completion the SDK
 * still holds: not yet invoked, nor let go of) and adapters (listener adapters
 * alive: registrations, canvas views, and those kept after their thread ended).
 */
function bridgeStats() {
  return control('bridgeStats', { module: path.join(buildDir, 'brimo.node') });
}

/**
 * A member as the simulated SDK takes it: the keys of the script's member record
 * (uuid, name, avatar, isAudioOn, isVideoOn, isInRtcChannel, isInChatroom,
 * isSharingScreen, isSharingWhiteboard, isInSipInviting, isInAppInviting,
 * isSharingSystemAudio, properties, clientType, isAudioConnected, inviteType,
 * inviteState), every one optional, with `role` as a role name ('host') or the
 * SDK's role record { name, limit, videoWidth, videoHeight, videoFps,
 * audioProfile, audioScenario, screenVideoProfile, screenPreferMotion,
 * screenPreferDetails }.
 * @typedef {object} SimMember
 */

/**
 * A chat message as the simulated SDK takes it: the keys of the script's message
 * record, every one optional. `messageType` is 'text' (default), 'custom', 'file',
 * 'image', 'notification' or a number (kinds the module does not know included);
 * a notification carries an attachment only when `attachStr` is given.
 * @typedef {object} SimChatMessage
 */

/**
 * The rooms of the simulated SDK. createRoom stores a room's settings; joinRoom
 * (or joinRoomByInvite) makes the room with the caller as local member (the signed-in
 * account as its UUID, or 'sim-local-user'); leaveRoom and endRoom remove it. What
 * the room's own operations change (names, roles, properties, lock, blacklist,
 * cloud recording, kicks) is raised as room events on the room's listeners, after
 * the operation's completion; operations that name a user who is not in the room
 * fail with code 404. Everything here happens to joined rooms, raises what the
 * real SDK would report, and throws for a room that is not joined.
 *
 *   sim.rooms.addMember('r1', { uuid: 'bob', name: 'Bob', role: 'member' });    // onMemberJoinRoom
 *   sim.rooms.updateMember('r1', 'bob', { isAudioOn: true });                   // onMemberAudioMuteChanged
 *   sim.rooms.chat('r1', { fromUserUuid: 'bob', text: 'hello' });                // onReceiveChatroomMessages
 *   sim.rooms.setProperties('r1', { topic: 'planning' });                        // onRoomPropertiesChanged
 *   sim.rooms.emit('r1', 'onRtcChannelError', 5, 'no route');                    // any room event
 *   sim.rooms.setLink('r1', 'roomContext', false);                               // the room cannot be found
 *
 * A scripted join answer shapes the room: sim.answer('joinRoom', { result: false })
 * hands back no room context; an object result is laid over the new room's state
 * (for example { remoteMembers: [{ uuid: 'bob' }] }) and hands the room back even with
 * a non-zero code.
 */
const rooms = {
  /** UUIDs of the joined rooms. */
  list() {
    return control('rooms.list');
  },
  /**
   * A joined room's state, or null: roomUuid, roomName, password, sipCid,
   * rtcStartTime, remainingSeconds, maxMembers, roomTemplate, properties,
   * localMember, remoteMembers, sipInvitingMembers, appInvitingMembers, locked,
   * cloudRecording, inWaitingRoom, blacklistEnabled.
   */
  get(room) {
    return control('rooms.get', { room });
  },
  /**
   * Changes a room's state (the keys of get(), members given whole). Changes the SDK
   * reports raise their events: locked, blacklistEnabled, maxMembers,
   * remainingSeconds, cloudRecording and properties.
   */
  update(room, changes) {
    return control('rooms.update', { room, changes });
  },
  /**
   * Remote members join: one onMemberJoinRoom with all of them.
   * @param {SimMember|SimMember[]} members
   */
  addMember(room, members) {
    return control('rooms.addMembers', { room, members: Array.isArray(members) ? members : [members] });
  },
  /** A remote member leaves: onMemberLeaveRoom. */
  removeMember(room, user) {
    return control('rooms.removeMember', { room, user });
  },
  /**
   * A member's state changes (the local member too), done by `by` (default the
   * member itself); each change raises its event: name, role, isAudioOn, isVideoOn,
   * isSharingScreen, isSharingSystemAudio, isSharingWhiteboard, isInRtcChannel,
   * isInChatroom, isAudioConnected, isInSipInviting or inviteState,
   * isInAppInviting, properties (changed and deleted entries).
   * @param {Partial<SimMember>} changes
   */
  updateMember(room, user, changes, { by = '' } = {}) {
    return control('rooms.updateMember', { room, user, changes, by });
  },
  /**
   * Messages arrive in the room: kept in its history, raised as onReceiveChatroomMessages.
   * @param {SimChatMessage|SimChatMessage[]} messages
   */
  chat(room, messages) {
    return control('rooms.chat', { room, messages: Array.isArray(messages) ? messages : [messages] });
  },
  /** Someone sets room properties: onRoomPropertiesChanged with what changed. */
  setProperties(room, properties) {
    return control('rooms.setProperties', { room, properties });
  },
  /** Someone deletes room properties: onRoomPropertiesDeleted with what went. */
  deleteProperties(room, keys) {
    return control('rooms.deleteProperties', { room, keys });
  },
  /** The room ends for everyone: onRoomEnded(reason), then the room is gone. */
  end(room, reason = 0) {
    return control('rooms.end', { room, reason });
  },
  /**
   * Raises any room event on the room's listeners, its arguments as JSON (members as
   * SimMember or null, messages as SimChatMessage or null). Answers how many
   * listeners it reaches. Same as sim.emit('room', event, args, { room }).
   */
  emit(room, event, ...args) {
    return emit('room', event, args, { room });
  },
  /**
   * The template fetchRoomTemplate(key) answers, and a room created with
   * templateId key gets; key '*' stands for every key not set. The SDK's template
   * record: { roles, memberWhiteboard, memberScreenShare, audioStreamRoles,
   * videoStreamRoles, subVideoStreamRoles, roomPropertyPermissions: [{ name, roles }] }.
   */
  setTemplate(key, template) {
    return control('rooms.setTemplate', { key, template });
  },
  /** A room's chat history (null entries allowed), oldest first. */
  setHistory(room, messages) {
    return control('rooms.setHistory', { room, messages });
  },
  /**
   * A room's cloud recordings: [{ recordId, startTime, endTime, infoList: [{ mixing,
   * fileName, md5, size, url, videoId, pieceIndex, nickname }] }]. Stopping a cloud
   * recording adds one by itself.
   */
  setCloudRecords(room, records) {
    return control('rooms.setCloudRecords', { room, records });
  },
  /**
   * Makes a link of one room missing or present again: 'roomContext' (the room
   * service finds no room of that UUID) or a controller ('rtcController',
   * 'chatController', 'waitingRoomChatController', 'whiteboardController',
   * 'annotationController', 'liveController', 'waitingRoomController',
   * 'sipController', 'appInviteController'). sim.setLink(link, present) does it for
   * every room; sim.reset() restores both.
   */
  setLink(room, link, present) {
    return setLink(`${link}@${room}`, present);
  },
  /** Forgets every room, created or joined, and every template, history and record. */
  reset() {
    return control('rooms.reset');
  },
};

/**
 * The preview room: the one preview room context of the process (the room
 * service's getPreviewRoomContext) and its RTC controller, kept as state. Its
 * operations change that state and answer 404 for an unknown device (or a device
 * test without a file or device) and 409 for a device test or local recording
 * started twice or stopped when not running. What the SDK reports is raised on the
 * preview room's listeners, from the SDK thread:
 *   - device lists changed by update(): onCameraDeviceChanged, onPlayoutDeviceChanged,
 *     onRecordDeviceChanged (deviceId, true: added, false: gone), and a new default
 *     playout or record device: onDefaultPlayoutDeviceChanged, onDefaultRecordDeviceChanged;
 *   - while the record device test runs: onLocalAudioVolumeIndication(volume, vad)
 *     every interval (at least 10 ms), volume = microphoneLevel x recordVolume / 100 x
 *     recordingSignalVolume / 100 (at most 255; 0 while the record device is muted),
 *     vad = volume > 20;
 *   - enableVirtualBackground: onRtcVirtualBackgroundSourceEnabled(enabled, 0), or
 *     (false, 1) on a machine whose virtualBackgroundSupportedType is 0;
 *   - local recording: onLocalRecorderStatus(1 started, 2 stopped, 3 remuxed, path of
 *     filePath/fileName); a frame pushed while nothing records: onLocalRecorderError(409, 'not recording');
 *   - while the video preview runs: frames of the local user (the signed-in account,
 *     or 'sim-local-user') in the frame source's test pattern, previewVideo's size and rate.
 * Links: sim.setLink('previewRoomContext', false) makes the room service answer no
 * preview room; 'previewRoomRtcController' leaves it without a controller.
 * The controller's operations are journalled with interface 'IQVPreviewRoomRtcController'.
 *
 *   sim.preview.update({ microphoneLevel: 180 });                  // someone speaks up
 *   sim.preview.update({ cameras: [...sim.preview.get().cameras, cam] });  // onCameraDeviceChanged(id, true)
 *   sim.preview.get().beauty;                                      // { running, path, enabled, effects }
 */
const preview = {
  /**
   * The preview room's state: the machine (supported, virtualBackgroundSupportedType,
   * cameras, playouts, records: [{ deviceName, deviceId, unavailable, defaultDevice }],
   * microphoneLevel, previewVideo: { width, height, fps }), the choices, volumes and
   * mutes (selectedCamera, selectedPlayout, selectedRecord, playoutVolume,
   * recordVolume, playoutMute, recordMute), and what runs or the SDK was told
   * (videoPreview, playoutTest: { filePath } | null, recordTest: { interval } | null,
   * recordingSignalVolume, playbackSignalVolume, beauty: { running, path, enabled,
   * effects: { [type]: level } }, virtualBackground: { enabled, source:
   * { backgroundSourceType, color, source }, flag }, voicePitch,
   * audioCaptureDriverInstalled, localRecord: { recording, remuxing, params,
   * layouts, framesPushed, lastFrame }, settings: { [subject]: value }).
   */
  get() {
    return control('preview.get');
  },
  /**
   * Changes the machine, or the choices, volumes and mutes (the keys of get() named
   * first and second above). Device lists that change raise the device events; a
   * chosen device that is gone falls back to the default (the video preview ends
   * without a camera). Throws, changing nothing, on any other key.
   */
  update(changes) {
    return control('preview.update', { changes });
  },
  /** Back to a machine with two cameras, speakers and microphones, nothing running. */
  reset() {
    return control('preview.reset');
  },
  /** Raises any preview room event; same as sim.emit('previewRoom', event, args). */
  emit(event, ...args) {
    return emit('previewRoom', event, args);
  },
};

/**
 * RTC statistics: every joined room has a statistics source that, while the room's
 * media runs (its local member is in the RTC channel), reports onRtcStats,
 * onLocalAudioStats, onRemoteAudioStats, onLocalVideoStats, onRemoteVideoStats and
 * onNetworkQuality, in that order, to the room's statistics listeners every
 * interval (default 2000 ms). The figures follow from the members:
 *   - local streams: main audio (streamType 0) while the local member's audio is on,
 *     sub audio (streamType 1, 2 channels) while it shares system audio, a main video
 *     layer (layerType 1, its role's videoWidth x videoHeight at videoFps; 640 x 360
 *     at 15 without) while its video is on, a sub layer (layerType 2, 1920 x 1080 at 15)
 *     while it shares its screen; remote streams likewise per remote member, keyed by
 *     user UUID; encoderName 'sim-h264';
 *   - each audio stream sends audioKbps, each main layer videoKbps, each sub layer
 *     screenKbps; the six byte counters grow by kbps x covered ms / 8 per report, with
 *     txBytes = txAudioBytes + txVideoBytes and rxBytes = rxAudioBytes + rxVideoBytes;
 *     totalDuration is the seconds covered; the counters start again with the media;
 *   - upRtt = downRtt = rttMs; loss rates are lossRate for a direction with streams,
 *     loss sums grow by lossRate x covered seconds; jitter is rttMs / 4;
 *   - cpuIdleUsageRatio = 100 - cpuTotalUsageRatio, cpuTotalUsageRatio = cpuAppUsageRatio + 20;
 *   - onNetworkQuality: the local member, then each remote member, both statuses quality.
 * A report covers one interval (1000 ms when periodic reports are off).
 *
 *   sim.stats.configure(room, { intervalMs: 200, lossRate: 2 });
 *   const sent = sim.stats.report(room, { rtcStats: { cpuAppUsageRatio: 2 ** 32 - 1 } });
 */
const stats = {
  /**
   * Settings of a room's source, kept across joins until reset(): intervalMs (2000;
   * 0: no periodic reports; else 20 to an hour), audioKbps (48), videoKbps (800),
   * screenKbps (1200), rttMs (40), lossRate (0, percent), quality (1). Periodic
   * reports start again from now. Answers the room's settings.
   */
  configure(room, settings) {
    return control('stats.configure', { room, settings });
  },
  /**
   * A joined room's source: { settings, running, reports, coveredMs, last } where
   * last is the last report raised ({ rtcStats, localAudio, remoteAudio, localVideo,
   * remoteVideo, network }, as the SDK's records) or null. Throws for a room not joined.
   */
  get(room) {
    return control('stats.get', { room });
  },
  /**
   * One report of the six kinds now, whether or not the media runs, raised from the
   * SDK thread (mode 'sync': inside this call). `reports` replaces the computed kinds
   * it names (rtcStats field by field; the others whole). Answers the report raised.
   */
  report(room, reports = null, { mode = 'async' } = {}) {
    return control('stats.report', { room, reports, mode });
  },
  /** Every room's settings back to the defaults. */
  reset() {
    return control('stats.reset');
  },
};

// Capture images travel to the simulated SDK with their bytes as base64.
function imageToWire(image) {
  if (image === null || typeof image !== 'object') return image;
  const { bytes } = image;
  if (bytes instanceof ArrayBuffer) return { ...image, bytes: Buffer.from(bytes).toString('base64') };
  if (ArrayBuffer.isView(bytes)) {
    return { ...image, bytes: Buffer.from(bytes.buffer, bytes.byteOffset, bytes.byteLength).toString('base64') };
  }
  return image;
}

function sourceToWire(source) {
  if (source === null || typeof source !== 'object') return source;
  const wire = { ...source };
  if ('thumbnail' in source) wire.thumbnail = imageToWire(source.thumbnail);
  if ('icon' in source) wire.icon = imageToWire(source.icon);
  return wire;
}

const DEVICE_LISTS = ['cameras', 'playouts', 'records'];

/**
 * The RTC controller of each joined room, kept as state: the room's machine (its
 * devices, volumes, playout mute and what can be captured, all scriptable here),
 * what the SDK was told (device choices, canvases, subscriptions, audio switches,
 * signal volumes, captions, encryption, proxy, media publishing, exclude list,
 * under `settings`), the local share and the local recording. A room's controller
 * is made when the room is joined, and starts with two cameras, two playout devices
 * and two record devices (the first of each the default, and chosen), volumes 100,
 * playout not muted, two screens and one window to capture.
 *
 * The controller's operations answer 0 and change the state; choosing a device that
 * is not listed answers 404 and changes nothing, as do a recording started twice or
 * stopped when not running (409). Streams, mutes and shares change the room's
 * members, so its listeners hear onMemberAudioMuteChanged, onMemberJoinRtcChannel,
 * onMemberScreenShareStateChanged, ... after the operation's completion; naming a
 * user who is not in the room, or a capture source that is not listed, fails with
 * 404. A snapshot completes with the path /tmp/parlo-sim/snapshot-<user>-<stream>.png
 * (no file is written). A scripted `ret` replaces an operation's return code or
 * value, and a scripted non-zero `ret` changes nothing; a scripted `result` fills an
 * output parameter or a completion's result.
 *
 *   sim.rtc.setDevices('r1', { cameras: [{ deviceId: 'cam', deviceName: 'Cam', defaultDevice: true }] });
 *   sim.rtc.setSources('r1', [{ type: 1, id: 42, title: 'Notes', thumbnail: { width: 2, height: 1, bytes: new Uint8Array(8) } }]);
 *   sim.rtc.update('r1', { playoutMute: true, recordVolume: 3000000000 });
 *   sim.rtc.get('r1').settings.localVideoCanvas;      // { enabled, window, scalingMode, mirrorMode }
 *
 * Capture images are { width, height, length, bytes }: bytes as a typed array, an
 * ArrayBuffer, an array of numbers 0 to 255 or a base64 string, and get() shows them
 * as base64 (null without bytes). An image with a length and no bytes hands the SDK
 * a null pointer of that length. In a scripted result of getScreenCaptureSourceList,
 * give bytes as base64 or an array of numbers.
 */
const rtc = {
  /**
   * A joined room's controller state, or null: supported,
   * virtualBackgroundSupportedType, cameras, playouts, records, selectedCamera,
   * selectedPlayout, selectedRecord, playoutVolume, recordVolume, playoutMute,
   * sources, share ({ kind: 'screen' | 'app' | 'rect', ... } or null), localRecord
   * ({ recording, remuxing, params, layouts, framesPushed, lastFrame }) and settings.
   */
  get(room) {
    return control('rtc.get', { room });
  },
  /**
   * Replaces the device lists given (the SDK's device records: deviceName, deviceId,
   * unavailable, defaultDevice, each but deviceId optional). Each device gone or
   * added raises onCameraDeviceChanged, onPlayoutDeviceChanged or
   * onRecordDeviceChanged, and a new default playout or record device
   * onDefaultPlayoutDeviceChanged or onDefaultRecordDeviceChanged; a chosen device
   * that is gone falls back to the default. Throws, changing nothing, for a device
   * without deviceId, an id listed twice or two defaults in one list.
   */
  setDevices(room, devices) {
    const unknown = Object.keys(devices || {}).filter((key) => !DEVICE_LISTS.includes(key));
    if (unknown.length > 0) {
      throw new Error(`parlo sim: setDevices takes ${DEVICE_LISTS.join(', ')}, not ${unknown.join(', ')}`);
    }
    return control('rtc.update', { room, changes: devices });
  },
  /**
   * Replaces what can be captured: [{ type, id, title, name, processPath, thumbnail,
   * icon, primaryMonitor }], every key optional. Type 0 is a screen (left out of a
   * list asked without screens), 1 a window.
   */
  setSources(room, sources) {
    if (!Array.isArray(sources)) throw new TypeError('parlo sim: setSources takes an array of sources');
    return control('rtc.update', { room, changes: { sources: sources.map(sourceToWire) } });
  },
  /**
   * Lays changes over what the room's machine has: supported,
   * virtualBackgroundSupportedType, cameras, playouts, records, selectedCamera,
   * selectedPlayout, selectedRecord (a listed device, or ''), playoutVolume,
   * recordVolume, playoutMute, sources. What the SDK was told (share, localRecord,
   * settings) is not scriptable. Throws, changing nothing, on anything else.
   */
  update(room, changes) {
    const wire = changes && Array.isArray(changes.sources) ? { ...changes, sources: changes.sources.map(sourceToWire) } : changes;
    return control('rtc.update', { room, changes: wire });
  },
};

/**
 * The drawing surfaces of a joined room, the whiteboard and the annotation: the view
 * the module handed the room's controller (setupXCanvas, resetXCanvas), through which
 * the SDK pushes strings to the drawing page, and the page's handshake, which
 * completes only as script relays the page's steps through the controller:
 *
 *   login()  the view hears onLogin with a JSON text of what the page logs in with
 *            ({ step, code, roomUuid, userUuid, url });
 *   auth()   once logged in: onAuth with the page's credentials ({ step, code: 0,
 *            nonce, curTime, checksum }), the handshake is 'ready', and then
 *            onDrawEnableChanged ({ enable }); before login: onAuth with code 401
 *            and nothing changes;
 *   logout() onLogout; the handshake starts over, as it does with a new view;
 *   setEnableDraw(b) is pushed at once while ready, else remembered for then; a
 *            reset canvas drops it.
 *
 *   sim.whiteboard.get('r1');   // { handshake: 'idle' | 'loggedIn' | 'ready', drawEnabled, view, url }
 *   sim.whiteboard.push('r1', 'onToolConfigChanged', '{"pen":"red"}');   // any string to the page
 *
 * A view is called on the SDK thread, and never again once the controller has been
 * handed another. Sharing the whiteboard is the local member's isSharingWhiteboard
 * (one member at a time; code 409 while someone else shares); getWhiteboardSharingUserUuid
 * reads it from the room. Both throw for a room that is not joined.
 */
function drawingSurface(name) {
  return {
    /** The surface's state: handshake, drawEnabled, view (its journal name, or null), url. */
    get(room) {
      return control(`${name}.get`, { room });
    },
    /**
     * Pushes `text` to the room's view as the view event `event` ('onAuth', 'onLogout',
     * 'onDrawEnableChanged', 'onToolConfigChanged', 'onLogin'), from the SDK thread.
     * False when the room has no view.
     */
    push(room, event, text, { delayMs = 0 } = {}) {
      return control(`${name}.push`, { room, event, text, delayMs });
    },
  };
}

const whiteboard = drawingSurface('whiteboard');

/**
 * The annotation surface, as sim.whiteboard, plus the room's annotation switch:
 * get() also shows { enabled, sharing }; startAnnotationShare fails with code 403
 * while annotation is off.
 */
const annotation = {
  ...drawingSurface('annotation'),
  /** Turns annotation on or off for the room: onRoomAnnotationEnableChanged when it changes. */
  setEnabled(room, enabled) {
    return control('annotation.setEnabled', { room, enabled: Boolean(enabled) });
  },
};

/**
 * The message channel as everyone else uses it. A custom message the module sends to
 * the local user (the signed-in account) comes back to the local listeners; one sent
 * to a user of a room needs that room joined and the user in it, one sent to a room
 * needs the room joined (else code 404). Sessions are keyed by session ID and the
 * SDK's session type (0 or 1; the module maps script's numbers); the messages that
 * arrive are unread until clearUnreadCount, and deleting an unread one takes it off
 * the count; deleting a message that is not there fails with 404. Every change raises
 * its events after the completion.
 *
 *   sim.channel.custom({ roomUuid: 'r1', senderUuid: 'bob', data: 'raise-hand', commandId: 7 });
 *   sim.channel.receive({ sessionId: 'bob', sessionType: 1, data: 'hi', fromAccount: 'bob', fromNick: 'Bob' });
 */
const channel = {
  /**
   * Another user's custom message { roomUuid, senderUuid, data, commandId } arrives:
   * onCustomMessageReceived on every listener. Answers how many it reaches.
   */
  custom(message) {
    return control('channel.custom', { message });
  },
  /**
   * A session message { sessionId, sessionType, messageId, data, time, fromAccount,
   * fromNick } arrives from someone else, unread: onSessionMessageReceived, then
   * onSessionMessageRecentChanged. messageId and time are made up when absent.
   * Answers the message as the SDK keeps it.
   */
  receive(message) {
    return control('channel.receive', { message });
  },
  /** Every session: [{ sessionId, sessionType, unreadCount, fromAccount, fromNick, messages }]. */
  sessions() {
    return control('channel.sessions');
  },
  /** Forgets every session. */
  reset() {
    return control('channel.reset');
  },
};

/**
 * The invitees of SIP and in-app calls. The room's controllers call users in: an
 * invitee is in the room's sipInvitingMembers or appInvitingMembers (sim.rooms.get)
 * with isInSipInviting or isInAppInviting, inviteType 1 (SIP) or 2 (in-app) and
 * inviteState 1 while called, 2 once declined, 3 once cancelled, 4 once hung up,
 * until they join (inviteState 0) or the call is removed or hung up; every change
 * raises onMemberSIPInviteStateChanged or onMemberAppInviteStateChanged. Calling
 * someone who is in the room fails with code 409 (a list: nobody is called); calling
 * an invitee again rings again (a number or room system reports isRepeatedCall);
 * cancelling, removing or hanging up a call that is not there fails with 404.
 * hangUpCall of a member who joined by SIP makes them leave. A number call's callee
 * is 'sip-' + country code + number, a room system's 'sip-room-' + its address.
 */
const invites = {
  /** `user`, being called (SIP first, then in-app), joins: the invite event, then onMemberJoinRoom. */
  accept(room, user) {
    return control('invites.accept', { room, user });
  },
  /** `user`, being called, declines: stays in the list with inviteState 2. */
  decline(room, user) {
    return control('invites.decline', { room, user });
  },
};

/**
 * The two chatrooms of every joined room: the room's own (chatroomType 0) and its
 * waiting room's (chatroomType 1), reached through the room's chat controllers.
 * A message sent through either reaches the room's listeners as
 * onReceiveChatroomMessages and stays in that chatroom's history (the room's own
 * is the history the room service pages through); sending while out of the
 * chatroom (after leaveChatroom) fails with code 403. Recalling takes a message out
 * of the history (code 404 when it is not there) and tells the room with a
 * notification message whose attachStr is '{"recalled":"<messageUuid>"}'.
 *
 * Files and images go in steps: each raises onChatroomMessageAttachmentProgress
 * (messageUuid, transferred, total, percent) and the send completes once the file
 * is through, with the message; cancelSendFileMessage stops it and the send
 * completes with code 499 and an empty message. downloadAttachment brings a file
 * or image message of the chatroom down the same way (code 404 for a message
 * without an attachment); cancelDownloadAttachment stops it. The waiting room's
 * chat journals its operations with interface 'waitingRoomChatController', so
 * sim.answer('waitingRoomChatController.sendBroadcastTextMessage', ...) serves it
 * alone, and sim.journal() with that name finds its calls only.
 *
 *   sim.chat.receive('r1', { fromUserUuid: 'bob', fromNick: 'Bob', text: 'hi' });
 *   sim.chat.receive('r1', { fromUserUuid: 'guest', text: 'let me in' }, { waitingRoom: true });
 *   sim.chat.setFile('/tmp/deck.pdf', { size: 4096, steps: 8, stepMs: 20 });
 */
const chat = {
  /**
   * Messages of other members arrive in a chatroom (kept in its history, raised as
   * onReceiveChatroomMessages). Waiting-room messages without a chatroomType get 1.
   * @param {SimChatMessage|SimChatMessage[]} messages
   */
  receive(room, messages, { waitingRoom = false } = {}) {
    return control('chat.receive', { room, waitingRoom, messages: Array.isArray(messages) ? messages : [messages] });
  },
  /**
   * A chatroom's state: { joined, history, sending, downloading, downloaded } with
   * the messages as SimChatMessage, the message UUIDs of running transfers and the
   * finished downloads as { messageUuid, path }.
   */
  get(room, { waitingRoom = false } = {}) {
    return control('chat.get', { room, waitingRoom });
  },
  /**
   * How the file at `path` goes when sent, and its attachment when downloaded:
   * size (default 262144), md5 (default one made from the path), steps (4; 1 to
   * 1000) and stepMs (5; up to a minute) between progress events.
   */
  setFile(path, { size = 262144, md5 = '', steps = 4, stepMs = 5 } = {}) {
    return control('chat.setFile', { path, size, md5, steps, stepMs });
  },
};

/**
 * The live stream of every joined room, a state machine: state 0 (not started),
 * 1 (live) and 2 (ended). startLive (from 0 or 2) makes the stream's task and its
 * addresses and goes live; updateLive changes title, password, layout, users and
 * extension config, live or not yet; stopLive, or removing the stream's own task,
 * ends a live stream (stopping one that is not live changes nothing). Starting
 * while live fails with code 409; removing a task that is not there with 404. Each change of state raises
 * onRoomLiveStateChanged on the room's listeners; each update of the live page's
 * images raises onRoomLiveBackgroundInfoChanged with their new sequence, which
 * updateBackgroundInfo also completes with. Records use the SDK's field names:
 * { title, password, liveLayout, userUuidList, extensionConfig,
 * enableThirdParties, taskId, pushUrl, pullHlsUrl, pullHttpUrl, pullRtmpUrl,
 * pullRtsUrl, state } and { backgroundUrl, thumbnailBackgroundUrl, coverUrl,
 * thumbnailCoverUrl, backgroundUpdatedSequence }.
 *
 *   sim.live.setState('r1', 2);                                   // the service ends the stream
 *   sim.live.setBackground('r1', { coverUrl: 'https://img/c.png' });
 */
const live = {
  /** { live, background, tasks } of a joined room. */
  get(room) {
    return control('live.get', { room });
  },
  /** The service moves the stream to `state`: onRoomLiveStateChanged when it changes. */
  setState(room, state) {
    return control('live.setState', { room, state });
  },
  /** Someone else changes the live page's images: onRoomLiveBackgroundInfoChanged. */
  setBackground(room, background) {
    return control('live.setBackground', { room, background });
  },
  /** A stream task exists beside the live stream's own, for removeLiveStreamTask. */
  addTask(room, taskId) {
    return control('live.addTask', { room, taskId });
  },
};

/**
 * The waiting room of every joined room. People arrive in it by script and wait;
 * admitMember and admitAllMembers let them in (onMemberAdmitted, then
 * onMemberJoinRoom on the room's listeners as they join the room as members),
 * expelMember and expelAllMembers send them off (onMemberLeave with reason 1,
 * onAllMembersKicked), putInWaitingRoom moves a remote room member back
 * (onMemberLeaveRoom, then onMemberJoin with reason 1), changeMemberName renames a
 * waiting person (onMemberNameChanged). Operations that name nobody waiting (or, to
 * put back, no remote member) fail with code 404. Every change of what
 * getWaitingRoomInfo shows also raises onWaitingRoomInfoUpdated. Events are raised
 * after the operation's completion. disableWaitingRoomOnEntry(true) admits everyone
 * waiting. Managers are the room's members with role host or cohost. The waiting
 * room's listeners go with its room. Its chat is sim.chat with { waitingRoom: true }.
 *
 *   sim.waitingRoom.arrive('r1', { uuid: 'guest', name: 'Guest' });   // onMemberJoin
 *   sim.waitingRoom.leave('r1', 'guest');                            // onMemberLeave (reason 0)
 *   sim.waitingRoom.emit('r1', 'onMyWaitingRoomStatusChanged', 1, 0);  // any event
 */
const waitingRoom = {
  /**
   * { info, people } of a joined room: info with the SDK's field names (roomUuid,
   * logo, backgroundImageUrl, memberCount, chatroomId, isEnabledOnEntry), people as
   * { uuid, name, avatar, joinTime, status }, in the order they came.
   */
  get(room) {
    return control('waitingRoom.get', { room });
  },
  /**
   * People arrive: onMemberJoin(person, reason) for each, then onWaitingRoomInfoUpdated.
   * Throws, with nobody arriving, for a person waiting or in the room already.
   * @param {object|object[]} people { uuid, name, avatar, joinTime (default now), status (0) }
   */
  arrive(room, people, { reason = 0 } = {}) {
    return control('waitingRoom.arrive', { room, reason, people: Array.isArray(people) ? people : [people] });
  },
  /** Someone waiting leaves by themselves: onMemberLeave(user, reason), onWaitingRoomInfoUpdated. */
  leave(room, user, { reason = 0 } = {}) {
    return control('waitingRoom.leave', { room, user, reason });
  },
  /** Changes logo, backgroundImageUrl, chatroomId or isEnabledOnEntry: onWaitingRoomInfoUpdated. */
  update(room, changes) {
    return control('waitingRoom.update', { room, changes });
  },
  /**
   * The local member's own place changes: onMyWaitingRoomStatusChanged(status,
   * reason); the room's isInWaitingRoom() answers whether status is 1 (waiting).
   */
  setMyStatus(room, status, reason = 0) {
    return control('waitingRoom.setMyStatus', { room, status, reason });
  },
  /** onManagersUpdated with the room's current managers. */
  managersUpdated(room) {
    return control('waitingRoom.managersUpdated', { room });
  },
  /** Any waiting-room event; same as sim.emit('waitingRoom', event, args, { room }). */
  emit(room, event, ...args) {
    return emit('waitingRoom', event, args, { room });
  },
};

// When the process exits, stop the SDK thread before the runtime tears down, so
// nothing it runs can reach a torn-down environment. A worker that ends leaves it
// running for the rest of the process: its own environment's teardown stops its
// generators and the module drops what the SDK still holds for it.
if (require('node:worker_threads').isMainThread) {
  process.once('exit', () => {
    control('frameStop');
    control('shutdown');
  });
}

/** Baselines for benchmarks, measured in the same process as the module. */
const baseline = {
  /** A native call that does nothing. */
  noop: native.noop,
  /** Calls `callback` n times through one bare thread-safe function fed by another thread. */
  threadSafeCalls: native.threadSafeCalls,
  /** Makes a bare thread-safe function around `callback`, calls it once from another thread, releases it. */
  threadSafeRoundTrip: native.threadSafeRoundTrip,
};

module.exports = { reset, journal, clearJournal, answer, setLink, links, counters, carriers, releaseHeld, emit, events, listeners, bridgeStats, setJournaling, frames, rooms, rtc, baseline, control, preview, stats };
// The collaboration controllers' simulation.
Object.assign(module.exports, { whiteboard, annotation, channel, invites, chat, live, waitingRoom });
