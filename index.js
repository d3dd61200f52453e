'use strict';
// brimo: the parlo meeting SDK for Node.js. The exports are the native module's
// sixteen classes, unchanged.
module.exports = require('./build/Release/brimo.node');
