'use strict';
// npm run bench: every figure in one table (the scaling table after it), written as
// JSON to bench/results.json, each figure { median, baseline, ratio, target, range }.
// Figures are medians of alternating rounds on this machine, as it is loaded now.

const os = require('node:os');
const { writeResults } = require('./lib');

async function main() {
  const frames = await require('./frames').run();
  const calls = await require('./calls').run();
  const results = { ...frames.results, ...calls.results };
  const rows = [...calls.rows, ...frames.rows];
  console.log(`${os.cpus().length} cores, load average ${os.loadavg().map((x) => x.toFixed(2)).join(' ')} at the end`);
  console.table(rows.filter((r) => !r.figure.startsWith('scaling')));
  console.table(rows.filter((r) => r.figure.startsWith('scaling')));
  writeResults({ ...results, machine: { cores: os.cpus().length, loadAverage: os.loadavg() } });
}

main().catch((e) => {
  console.error(e);
  process.exitCode = 1;
});
