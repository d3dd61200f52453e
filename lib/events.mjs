// brimo/events for ES modules.
import { createRequire } from 'node:module';

const events = createRequire(import.meta.url)('./events.js');

export default events;
export const { listen, ListenerEmitter } = events;
