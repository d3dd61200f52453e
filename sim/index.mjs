// brimo/sim for ES modules: the same control surface as require('brimo/sim'), by
// name or as the default export.
import { createRequire } from 'node:module';

const sim = createRequire(import.meta.url)('./index.js');

export default sim;
export const {
  reset, journal, clearJournal, answer, setLink, links, counters, carriers, releaseHeld, emit, events, listeners, bridgeStats, setJournaling,
  frames, rooms, rtc, baseline, control, preview, stats, whiteboard, annotation, channel, invites, chat, live, waitingRoom,
} = sim;
