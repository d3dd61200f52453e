#!/usr/bin/env bash
# Leak figures: runs scripts/leaks.js (100,000 asynchronous calls, 100,000 events
# and 10,000 join/leave cycles by default; LEAK_CALLS, LEAK_EVENTS and LEAK_CYCLES
# change that) under valgrind memcheck against the release build, and reports the
# bytes definitely lost whose allocation passed through the module, the simulated
# SDK or its control module. Node itself keeps some of its heap at exit on purpose;
# its own definitely-lost records (none of our files in their stacks) are counted
# apart and do not fail the run. Takes several minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${BRIMO_BUILD_DIR:-$PWD/build/Release}
[ -f "$dir/brimo.node" ] || { echo "no build in $dir: run npm run build first" >&2; exit 2; }
log=$(mktemp)
trap 'rm -f "$log"' EXIT
valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=none \
  --num-callers=40 --log-file="$log" node --expose-gc scripts/leaks.js
node - "$log" <<'JS'
const text = require('node:fs').readFileSync(process.argv[2], 'utf8');
const ours = /brimo\.node|libparlo\.so|parlo_sim\.node/;
const totals = { ours: [0, 0], node: [0, 0] };
// One loss record: its header line and the stack lines after it, up to a blank record line.
for (const record of text.split(/\n==\d+== \n/)) {
  const head = record.match(/([\d,]+) (?:\(([\d,]+) direct, [\d,]+ indirect\) )?bytes in ([\d,]+) blocks are definitely lost/);
  if (!head) continue;
  const bytes = Number((head[2] || head[1]).replace(/,/g, ''));
  const blocks = Number(head[3].replace(/,/g, ''));
  const whose = ours.test(record) ? 'ours' : 'node';
  totals[whose][0] += bytes;
  totals[whose][1] += blocks;
  if (whose === 'ours') console.log(record.replace(/==\d+== /g, ''));
}
const summary = text.match(/definitely lost: .*/);
// valgrind's own summary, for the record: what is still reachable is kept on purpose
// (the SDK's engine, the frame pool, constructor slots) or node's.
for (const line of text.match(/(indirectly lost|possibly lost|still reachable|suppressed): [\d,]+ bytes.*/g) || []) console.log(`valgrind: ${line}`);
console.log(`definitely lost through the module and the simulated SDK: ${totals.ours[0]} bytes in ${totals.ours[1]} blocks`);
console.log(`definitely lost by node itself: ${totals.node[0]} bytes in ${totals.node[1]} blocks (valgrind's whole figure: ${summary ? summary[0] : 'none'})`);
process.exitCode = totals.ours[0] === 0 ? 0 : 1;
JS
