'use strict';
// Per-call overhead and event delivery, each against its physical baseline
// measured in the same run:
//   sync call   kit.getNetworkType() (convert, resolve, call the SDK, convert back)
//               against a native call that does nothing;
//   async call  kit.uploadLog(cb) to its callback (carrier made, SDK completes on its
//               thread, result carried back) against a bare round trip: a thread-safe
//               function made, called once from another thread and released;
//   event       an SDK event to a listener function against a bare thread-safe call
//               from another thread on a function made once.
// The simulated SDK's journal is off while measuring.
//
//   node bench/calls.js [--n 200000]

const brimo = require('..');
const sim = require('../sim');

const at = process.argv.indexOf('--n');
const N = at > 0 ? Number(process.argv[at + 1]) : 200000;

const nsPer = (start, count) => Number(process.hrtime.bigint() - start) / count;

function syncCalls(fn, count) {
  for (let i = 0; i < 1000; i++) fn();
  const start = process.hrtime.bigint();
  for (let i = 0; i < count; i++) fn();
  return nsPer(start, count);
}

// Resolves with ns per delivery once `count` callbacks ran.
function deliveries(count, startAll) {
  return new Promise((resolve) => {
    let left = count;
    const start = process.hrtime.bigint();
    startAll(() => {
      if (--left === 0) resolve(nsPer(start, count));
    });
  });
}

async function main() {
  const kit = new brimo.IQVParloWrap();
  kit.initialize({ appKey: 'bench' }, () => {});
  sim.setJournaling(false);
  const auth = kit.getAuthService();

  const noop = syncCalls(sim.baseline.noop, N);
  const sync = syncCalls(() => kit.getNetworkType(), N);

  const asyncN = Math.max(1000, N / 10);
  const tsfn = await deliveries(asyncN, (done) => sim.baseline.threadSafeCalls(asyncN, done));
  const roundTrip = await deliveries(asyncN, (done) => {
    for (let i = 0; i < asyncN; i++) sim.baseline.threadSafeRoundTrip(done);
  });
  const async = await deliveries(asyncN, (done) => {
    for (let i = 0; i < asyncN; i++) kit.uploadLog(done);
  });

  let id;
  const event = await deliveries(asyncN, (done) => {
    id = auth.addAuthListener(done);
    sim.emit('auth', 'onAuthEvent', [1], { repeat: asyncN });
  });
  auth.removeAuthListener(id);
  sim.setJournaling(true);

  console.table([
    { path: 'sync call', 'ns/op': sync.toFixed(0), 'baseline ns/op': noop.toFixed(0), baseline: 'no-op native call', ratio: (sync / noop).toFixed(2) },
    { path: 'async call', 'ns/op': async.toFixed(0), 'baseline ns/op': roundTrip.toFixed(0), baseline: 'bare round trip', ratio: (async / roundTrip).toFixed(2) },
    { path: 'event', 'ns/op': event.toFixed(0), 'baseline ns/op': tsfn.toFixed(0), baseline: 'bare thread-safe call', ratio: (event / tsfn).toFixed(2) },
  ]);
}

main().catch((e) => {
  console.error(e);
  process.exitCode = 1;
});
