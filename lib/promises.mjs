// brimo/promises for ES modules.
import { createRequire } from 'node:module';

const promises = createRequire(import.meta.url)('./promises.js');

export default promises;
export const { promised, ParloError } = promises;
