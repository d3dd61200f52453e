'use strict';
// What every benchmark shares: alternating rounds of a path and its baseline in one
// process (ABAB…), medians with their ranges, and the figure format of results.json.

const path = require('node:path');
const fs = require('node:fs');

const arg = (name, fallback) => {
  const at = process.argv.indexOf(`--${name}`);
  return at > 0 ? process.argv[at + 1] : fallback;
};

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const mid = sorted.length >> 1;
  return sorted.length % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
};

const ROUNDS = Math.max(5, Number(arg('rounds', 7)));

// Runs `rounds` rounds, each timing the path then the baseline (the order flips every
// round so neither always runs second). `path` and `baseline` answer ns per operation
// (they may be async). Answers the figure: median ns of the path, median ns of the
// baseline, the median of the per-round ratios and their range.
async function alternate({ path: runPath, baseline: runBaseline, target, rounds = ROUNDS, extra }) {
  const paths = [];
  const baselines = [];
  const ratios = [];
  const extras = [];
  for (let i = 0; i < rounds; i++) {
    let a;
    let b;
    if (i % 2 === 0) {
      a = await runPath(i);
      b = await runBaseline(i);
    } else {
      b = await runBaseline(i);
      a = await runPath(i);
    }
    paths.push(a);
    baselines.push(b);
    ratios.push(a / b);
    if (extra) extras.push(await extra(i));
  }
  return figure({ paths, baselines, ratios, target, extras });
}

function figure({ paths, baselines, ratios, target, extras = [] }) {
  const out = {
    median: round(median(paths)),
    baseline: round(median(baselines)),
    ratio: round(median(ratios), 3),
    target: target ?? null,
    range: [round(Math.min(...ratios), 3), round(Math.max(...ratios), 3)],
    rounds: ratios.length,
  };
  if (target != null) out.met = out.ratio <= target;
  if (extras.length) out.extra = median(extras);
  return out;
}

const round = (x, digits = 1) => Number(x.toFixed(digits));

const nsSince = (start) => Number(process.hrtime.bigint() - start);

// ns per call of fn over `count` calls, after a short warm-up.
function perCall(fn, count) {
  for (let i = 0; i < Math.min(count, 2000); i++) fn();
  const start = process.hrtime.bigint();
  for (let i = 0; i < count; i++) fn();
  return nsSince(start) / count;
}

// One printed row of a figure.
function row(name, fig, notes = {}) {
  return {
    figure: name,
    'path ns': fig.median,
    'baseline ns': fig.baseline,
    ratio: fig.ratio,
    range: `${fig.range[0]}-${fig.range[1]}`,
    target: fig.target == null ? '' : `<= ${fig.target}`,
    met: fig.target == null ? '' : fig.met ? 'yes' : 'NO',
    ...notes,
  };
}

const RESULTS = path.join(__dirname, 'results.json');

// Merges `figures` into bench/results.json (other benchmarks' figures stay).
function writeResults(figures) {
  let all = {};
  try {
    all = JSON.parse(fs.readFileSync(RESULTS, 'utf8'));
  } catch {
    all = {};
  }
  Object.assign(all, figures, { written: new Date().toISOString() });
  fs.writeFileSync(RESULTS, `${JSON.stringify(all, null, 2)}\n`);
}

// The floors: plain C over Node-API, built beside the module.
function loadBaseline() {
  return require(path.join(__dirname, '..', 'build', 'Release', 'bench_baseline.node'));
}

module.exports = { arg, median, alternate, figure, perCall, row, writeResults, loadBaseline, nsSince, round, ROUNDS };
