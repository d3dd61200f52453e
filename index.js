'use strict';
// brimo: the parlo meeting SDK for Node.js. The exports are the native module's
// sixteen classes, unchanged. BRIMO_BUILD_DIR selects another build (the sanitizer
// builds use it).
const path = require('node:path');

const buildDir = process.env.BRIMO_BUILD_DIR || path.join(__dirname, 'build', 'Release');
module.exports = require(path.join(buildDir, 'brimo.node'));
