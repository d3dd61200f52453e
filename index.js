'use strict';
// brimo: the parlo meeting SDK for Node.js. The exports are the native module's
// sixteen classes, unchanged. BRIMO_BUILD_DIR selects another build (the sanitizer
// builds use it).
module.exports = require('./lib/build').loadNative('brimo.node');
