'use strict';
// The module's fuzzer. A survey process finds every method of every class that
// script can reach (a prototype walk from the kit and a joined room, so a new method
// is fuzzed without being listed anywhere); then batches of seeded, reproducible
// steps run in child processes (fuzz/child.js), under the sanitizer build when one
// is present. Each step calls a method with a hostile argument list, calls it on a
// wrong receiver, constructs a class, collects garbage, or takes part of the SDK's
// object graph away. A child that dies by a signal, aborts (a sanitizer report
// included), exits abnormally or stops making progress is a failure; its program is
// cut down to the fewest steps and arguments that still fail the same way and
// printed as one line that `--repro` runs again.
//
//   node fuzz/fuzz.js [--calls 100000] [--seed 1] [--batch 2000] [--jobs 2]
//                     [--build auto|release|asan|inherit] [--hang-ms 60000]
//                     [--no-minimise] [--json report.json]
//   node fuzz/fuzz.js --repro "o.IQVRoomContextWrap.changeMembersRole(h.revoked(), h.cb())"

const { spawn, execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { rng, valueSource } = require('./values');
const { parseDeclarations, categorise } = require('./declarations');

const root = path.join(__dirname, '..');
const CHILD = path.join(__dirname, 'child.js');

// ---- where the children run ----

/** The child environment: the sanitizer build with its runtime preloaded (as scripts/sanitize.sh runs it), or not. */
function environment(build) {
  const asanDir = path.join(root, 'build-asan', 'Release');
  const useAsan = build === 'asan' || (build === 'auto' && fs.existsSync(path.join(asanDir, 'brimo.node')));
  if (build === 'inherit') return { env: { ...process.env }, name: process.env.BRIMO_BUILD_DIR ? 'inherited' : 'release' };
  const env = { ...process.env };
  delete env.LD_PRELOAD;
  delete env.BRIMO_BUILD_DIR;
  if (!useAsan) return { env, name: 'release' };
  const runtime = (lib) => execFileSync('g++', [`-print-file-name=${lib}`], { encoding: 'utf8' }).trim();
  Object.assign(env, {
    BRIMO_BUILD_DIR: asanDir,
    LD_PRELOAD: `${runtime('libasan.so')}:${runtime('libubsan.so')}`,
    // node is not instrumented and keeps its heap at exit on purpose: leak checks would report only the runtime.
    ASAN_OPTIONS: 'detect_leaks=0:abort_on_error=1:halt_on_error=1:detect_odr_violation=0',
    UBSAN_OPTIONS: 'print_stacktrace=1:halt_on_error=1',
  });
  return { env, name: 'asan' };
}

const SANITIZER_REPORT = /ERROR: AddressSanitizer|runtime error:|SUMMARY: UndefinedBehaviorSanitizer|FATAL ERROR/;

/**
 * Runs one job in a child. Answers { kind, signal, exitCode, step, message, stderr }:
 * kind 'ok', 'crash' (a signal), 'abort' (SIGABRT or a sanitizer report), 'hang' (no
 * progress for hangMs), 'exit' (a non-zero exit without a report) or 'setup'.
 */
function runJob(job, { env, hangMs = 60000 }) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'brimo-fuzz-'));
  const file = path.join(dir, 'job.json');
  fs.writeFileSync(file, JSON.stringify(job));
  return new Promise((resolve) => {
    const child = spawn(process.execPath, ['--expose-gc', CHILD, file], {
      stdio: ['ignore', 'ignore', 'pipe', 'pipe'],
      env,
    });
    let stderr = '';
    let pending = '';
    let step = -1;
    let done = null;
    let hung = false;
    let watchdog;
    const arm = () => {
      clearTimeout(watchdog);
      watchdog = setTimeout(() => {
        hung = true;
        child.kill('SIGKILL');
      }, hangMs);
    };
    arm();
    child.stderr.on('data', (chunk) => {
      stderr = (stderr + chunk).slice(-16384);
    });
    child.stdio[3].on('data', (chunk) => {
      pending += chunk;
      let at;
      while ((at = pending.indexOf('\n')) >= 0) {
        const message = JSON.parse(pending.slice(0, at));
        pending = pending.slice(at + 1);
        if (message.type === 'progress') {
          step = message.step;
          arm();
        } else {
          done = message;
        }
      }
    });
    child.on('close', (exitCode, signal) => {
      clearTimeout(watchdog);
      fs.rmSync(dir, { recursive: true, force: true });
      const base = { signal, exitCode, step, stderr };
      if (hung) resolve({ ...base, kind: 'hang' });
      else if (signal === 'SIGABRT' || SANITIZER_REPORT.test(stderr)) resolve({ ...base, kind: 'abort' });
      else if (signal) resolve({ ...base, kind: 'crash' });
      else if (done && done.type === 'done' && exitCode === 0) resolve({ ...base, kind: 'ok', result: done });
      else if (done && done.type === 'setup failed') resolve({ ...base, kind: 'setup', message: done.message });
      else resolve({ ...base, kind: 'exit' });
    });
  });
}

// ---- what the steps are made of ----

/** The module's declarations: what each method takes and the record keys it reads (a key added there is fuzzed too). */
function declared() {
  const declarations = parseDeclarations(fs.readFileSync(path.join(root, 'index.d.ts'), 'utf8'));
  const keys = new Set(Object.values(declarations.interfaces).flatMap((fields) => Object.keys(fields)));
  return { keys: [...keys].sort(), declarations };
}

const KIT_LINKS = ['kit', 'authService', 'roomService', 'messageChannelService', 'vornService', 'previewRoomContext', 'previewRoomRtcController'];
const ROOM_LINKS = ['roomContext', 'rtcController', 'chatController', 'waitingRoomChatController', 'whiteboardController',
  'annotationController', 'liveController', 'waitingRoomController', 'sipController', 'appInviteController'];
const RESTORE = 'await h.restore()';

/** A step: a module call (head and arguments kept apart, for minimising) or a line of its own. */
const callStep = (kind, head, args) => ({ kind, head, args });
const lineStep = (kind, line) => ({ kind, line });
const render = (step) => (step.head !== undefined ? `${step.head}(${step.args.join(', ')})` : step.line);

function seedOf(seed, batch) {
  let x = (Math.imul(seed ^ 0x5bd1e995, 0x27d4eb2d) + Math.imul(batch + 1, 0x165667b1)) >>> 0;
  x ^= x >>> 15;
  return Math.imul(x, 0x2c1b3c6d) >>> 0;
}

/** The steps of batch `batch` of a run with `seed`: the same surface, seed and batch give the same steps. */
function program(surface, seed, batch, count) {
  const random = rng(seedOf(seed, batch));
  const { int, pick, chance } = random;
  const classes = Object.keys(surface.classes);
  const instances = classes.filter((c) => surface.classes[c].reached);
  const decl = surface.declarations || { classes: {}, interfaces: {}, aliases: {} };
  const gen = valueSource(random, {
    keys: surface.keys, classes, instances, declarations: { categorise: (type) => categorise(type, decl) },
  });
  // Half the calls follow the declared parameter types (each argument still hostile at times); the rest ignore them.
  const typedArgs = (c, m) => {
    const types = decl.classes[c] && decl.classes[c][m];
    if (!types || !chance(0.55)) return null;
    const args = types.map((t) => gen.typed(t));
    if (args.length > 0 && chance(0.05)) args.pop();
    else if (chance(0.05)) args.push(gen.value());
    return args;
  };
  const methods = instances.flatMap((c) => Object.entries(surface.classes[c].methods).map(([m, accepted]) => ({ c, m, accepted })));
  const names = [...new Set(methods.map((x) => x.m))];
  const argList = (accepted) => {
    const n = accepted.length > 0 && accepted.length < 7 && chance(0.75) ? pick(accepted) : int(7);
    return Array.from({ length: n }, () => gen.value());
  };
  const steps = [];
  for (let i = 0; i < count; i++) {
    if (i > 0 && i % 40 === 0) {
      steps.push(lineStep('restore', RESTORE));
      continue;
    }
    const roll = int(1000);
    if (roll < 15) {
      steps.push(lineStep('gc', 'gc()'));
    } else if (roll < 40) {
      const op = JSON.stringify(pick(names));
      steps.push(lineStep('environment', pick([
        () => `sim.setLink(${JSON.stringify(pick(KIT_LINKS))}, false)`,
        () => `sim.rooms.setLink(h.room, ${JSON.stringify(pick(ROOM_LINKS))}, false)`,
        () => `sim.answer(${op}, { mode: 'sync', times: ${1 + int(20)} })`,
        () => `sim.answer(${op}, { mode: 'held' })`,
        () => `sim.answer(${op}, { code: ${pick(['-1', '2**31-1', '404'])}, message: 'a\\0b', result: ${pick(['"garbage"', '[1, 2]', '{}', '-1', 'true'])}, ret: ${pick(['"x"', '[]', '{}', '2**40', 'null'])}, times: 3 })`,
        () => 'sim.rooms.reset()',
        () => "sim.frames.push({ room: h.room, user: 'sim-user-1', width: 2 + 2 * Math.floor(Math.random() * 64), height: 2 })",
      ])()));
    } else if (roll < 70) {
      const cls = pick(classes);
      const args = argList([]);
      steps.push(callStep('construct', pick([`new brimo.${cls}`, `brimo.${cls}`, `h.subclass.bind(null, brimo.${cls})`]), args));
    } else if (roll < 110) {
      const { c, m, accepted } = pick(methods);
      const receiver = pick(['undefined', '{}', `o.${pick(instances)}`, `h.bare(brimo.${c})`, `h.proxy(o.${c})`,
        `brimo.${c}.prototype`, `h.subclass(brimo.${c})`, 'h.trapProxy(0)', '1']);
      steps.push(callStep('receiver', `o.${c}.${m}.call`, [receiver, ...(typedArgs(c, m) || argList(accepted))]));
    } else {
      const { c, m, accepted } = pick(methods);
      steps.push(callStep('call', `o.${c}.${m}`, typedArgs(c, m) || argList(accepted)));
    }
  }
  return steps;
}

// ---- minimising ----

/** Does `steps` still fail as `failure` did? (the same kind, and for signals the same signal) */
async function failsAlike(steps, failure, options) {
  const outcome = await runJob({ mode: 'run', lines: steps.map(render), progressEvery: 1 }, options);
  return outcome.kind === failure.kind && (failure.kind !== 'crash' || outcome.signal === failure.signal) ? outcome : null;
}

/**
 * Cuts a failing program down: the failing step alone if it fails by itself, else the
 * fewest earlier steps it needs (delta debugging), then its arguments one by one.
 * Answers { steps, runs, reproduced }.
 */
async function minimise(steps, failure, options, { maxRuns = failure.kind === 'hang' ? 8 : 60, seconds = 600 } = {}) {
  let runs = 0;
  const deadline = Date.now() + seconds * 1000;
  const attempt = async (candidate) => {
    if (runs >= maxRuns || Date.now() > deadline) return null;
    runs++;
    return failsAlike(candidate, failure, options);
  };
  // Where it fails, with progress after every step.
  const exact = await attempt(steps);
  if (!exact) return { steps, runs, reproduced: false };
  let program = exact.step >= 0 && exact.step < steps.length ? steps.slice(0, exact.step + 1) : steps;
  const last = program[program.length - 1];
  if (program.length > 1 && (await attempt([last]))) {
    program = [last];
  } else {
    // ddmin over the steps before the failing one.
    let before = program.slice(0, -1);
    let chunks = 2;
    while (before.length > 0 && runs < maxRuns) {
      const size = Math.ceil(before.length / chunks);
      let cut = false;
      for (let at = 0; at < before.length && runs < maxRuns; at += size) {
        const rest = [...before.slice(0, at), ...before.slice(at + size)];
        if (await attempt([...rest, last])) {
          before = rest;
          chunks = Math.max(chunks - 1, 2);
          cut = true;
          break;
        }
      }
      if (!cut) {
        if (size === 1) break;
        chunks = Math.min(chunks * 2, before.length);
      }
    }
    program = [...before, last];
  }
  // Fewer arguments, then plainer ones, on the failing step.
  let final = program[program.length - 1];
  if (final.head !== undefined) {
    for (let n = final.args.length - 1; n >= 0 && runs < maxRuns; n--) {
      const shorter = { ...final, args: final.args.slice(0, n) };
      if (await attempt([...program.slice(0, -1), shorter])) final = shorter;
      else break;
    }
    for (let i = 0; i < final.args.length && runs < maxRuns; i++) {
      if (final.args[i] === 'undefined') continue;
      const args = [...final.args];
      args[i] = 'undefined';
      const plainer = { ...final, args };
      if (await attempt([...program.slice(0, -1), plainer])) final = plainer;
    }
    program = [...program.slice(0, -1), final];
  }
  return { steps: program, runs, reproduced: true };
}

// ---- the run ----

async function surveyOf(options) {
  const outcome = await runJob({ mode: 'survey' }, options);
  if (outcome.kind !== 'ok') {
    throw new Error(`the survey failed (${outcome.kind}${outcome.signal ? ` ${outcome.signal}` : ''}): ${outcome.message || ''}\n${outcome.stderr}`);
  }
  return { ...outcome.result, ...declared() };
}

/** The first line that names the fault in a child's standard error. */
function headline(stderr) {
  const lines = stderr.split('\n');
  return (lines.find((l) => SANITIZER_REPORT.test(l) || /Segmentation|Assertion|terminate|FATAL/.test(l)) || lines.filter(Boolean).pop() || '').trim();
}

/**
 * Runs `calls` steps from `seed`, `batch` steps per child, `jobs` children at a
 * time. Answers the report: the figures, every failure with its one-line
 * reproduction, and the other findings.
 */
async function fuzz({ calls = 100000, seed = 1, batch = 2000, jobs = 2, build = 'auto', hangMs = 60000, minimiseFailures = true,
  log = () => {} } = {}) {
  const { env, name } = environment(build);
  const options = { env, hangMs };
  const started = Date.now();
  const surface = await surveyOf(options);
  const unreached = Object.entries(surface.classes).filter(([, c]) => !c.reached).map(([n]) => n);
  const methodCount = Object.values(surface.classes).reduce((n, c) => n + Object.keys(c.methods).length, 0);
  const report = {
    seed, build: name, batches: Math.ceil(calls / batch), classes: Object.keys(surface.classes).length, methods: methodCount,
    unreached, steps: 0, byKind: {}, crashes: 0, aborts: 0, hangs: 0, abnormalExits: 0, badThrows: 0,
    throws: {}, messages: {}, trapThrows: 0, uncaught: 0, completions: 0, events: 0, failures: [], findings: [], seconds: 0,
  };
  const seen = new Set();
  let next = 0;
  const worker = async () => {
    while (next < report.batches) {
      const index = next++;
      const steps = program(surface, seed, index, Math.min(batch, calls - index * batch));
      const outcome = await runJob({ mode: 'run', lines: steps.map(render), progressEvery: 64 }, options);
      const ran = outcome.kind === 'ok' ? steps.length : Math.max(0, outcome.step);
      report.steps += ran;
      for (const step of steps.slice(0, ran)) report.byKind[step.kind] = (report.byKind[step.kind] || 0) + 1;
      if (outcome.kind === 'ok') {
        const { stats, findings } = outcome.result;
        for (const [k, n] of Object.entries(stats.throws)) report.throws[k] = (report.throws[k] || 0) + n;
        for (const [k, n] of Object.entries(stats.messages)) report.messages[k] = (report.messages[k] || 0) + n;
        report.trapThrows += stats.trapThrows;
        report.uncaught += stats.uncaught;
        report.completions += stats.completions;
        report.events += stats.events;
        for (const f of findings) {
          if (/bad throw/.test(f.type)) report.badThrows++;
          report.findings.push({ ...f, batch: index, line: render(steps[Math.min(f.step, steps.length - 1)] || { line: '' }) });
        }
      } else {
        const counter = { crash: 'crashes', abort: 'aborts', hang: 'hangs', exit: 'abnormalExits', setup: 'abnormalExits' }[outcome.kind];
        report[counter]++;
        const what = headline(outcome.stderr);
        const failure = { kind: outcome.kind, signal: outcome.signal, exitCode: outcome.exitCode, batch: index, step: outcome.step, what };
        log(`batch ${index}: ${outcome.kind} ${outcome.signal || outcome.exitCode} near step ${outcome.step}: ${what}`);
        // One minimisation per distinct fault.
        const key = `${outcome.kind}|${outcome.signal}|${what.replace(/0x[0-9a-f]+/g, '')}`;
        if (minimiseFailures && !seen.has(key)) {
          seen.add(key);
          const cut = await minimise(steps, outcome, options);
          failure.reproduced = cut.reproduced;
          failure.runs = cut.runs;
          // A failure that does not come back (a hang that was the machine's load, say)
          // is shown by the steps that were running when it struck.
          const shown = cut.reproduced ? cut.steps : steps.slice(Math.max(0, outcome.step), outcome.step + 64);
          failure.repro = shown.map(render).join('; ');
        }
        failure.stderr = outcome.stderr.slice(-4000);
        report.failures.push(failure);
      }
      log(`batch ${index + 1}/${report.batches}: ${report.steps} steps, ${report.failures.length} failures, ${Math.round((Date.now() - started) / 1000)} s`);
    }
  };
  await Promise.all(Array.from({ length: Math.max(1, jobs) }, worker));
  report.seconds = Math.round((Date.now() - started) / 1000);
  return report;
}

/** Runs one line (steps joined by '; ') in a fresh child, as the fuzzer ran it. */
async function repro(line, { build = 'auto', hangMs = 60000 } = {}) {
  const { env } = environment(build);
  return runJob({ mode: 'run', lines: [line], progressEvery: 1 }, { env, hangMs });
}

const clip = (text, n) => (text.length > n ? `${text.slice(0, n)} … (${text.length - n} more characters; --json has it all)` : text);

function summary(report) {
  const moduleCalls = (report.byKind.call || 0) + (report.byKind.receiver || 0) + (report.byKind.construct || 0);
  return [
    `fuzz: seed ${report.seed}, ${report.build} build, ${report.classes} classes, ${report.methods} methods${report.unreached.length ? `, UNREACHED: ${report.unreached.join(', ')}` : ''}`,
    `  steps ${report.steps} (module calls ${moduleCalls}: ${report.byKind.call || 0} calls, ${report.byKind.receiver || 0} on a wrong receiver, ${report.byKind.construct || 0} constructions; ${report.byKind.environment || 0} SDK graph changes, ${report.byKind.gc || 0} collections, ${report.byKind.restore || 0} restores) in ${report.seconds} s`,
    `  crashes ${report.crashes}, aborts ${report.aborts}, hangs ${report.hangs}, abnormal exits ${report.abnormalExits}, bad throws ${report.badThrows}, other findings ${report.findings.length - report.badThrows}`,
    `  throws ${JSON.stringify(report.throws)}, hostile values rethrown ${report.trapThrows}, uncaught (throwing callbacks) ${report.uncaught}, completions ${report.completions}, room events ${report.events}`,
    `  most thrown: ${Object.entries(report.messages).sort((a, b) => b[1] - a[1]).slice(0, 6).map(([m, n]) => `${n} × ${m}`).join('; ')}`,
    ...report.failures.map((f) => `  ${f.kind} ${f.signal || f.exitCode} (batch ${f.batch}, step ${f.step}): ${f.what}\n    ${f.reproduced === false ? 'not reproduced; the steps running then' : 'repro'}: ${clip(f.repro || '-', 3000)}`),
    ...report.findings.slice(0, 20).map((f) => `  ${f.type} (batch ${f.batch}, step ${f.step}): ${f.value}\n    at: ${f.line.slice(0, 300)}`),
  ].join('\n');
}

const failed = (report) => report.crashes + report.aborts + report.hangs + report.abnormalExits + report.findings.length + report.unreached.length > 0;

async function main(argv) {
  const arg = (name, fallback) => {
    const at = argv.indexOf(`--${name}`);
    return at >= 0 ? argv[at + 1] : fallback;
  };
  const build = arg('build', 'auto');
  const hangMs = Number(arg('hang-ms', 60000));
  const line = arg('repro', undefined);
  if (line !== undefined) {
    const outcome = await repro(line, { build, hangMs });
    console.log(`${outcome.kind}${outcome.signal ? ` ${outcome.signal}` : ''}${outcome.kind === 'ok' ? ` ${JSON.stringify(outcome.result.findings)}` : `: ${headline(outcome.stderr)}`}`);
    if (outcome.kind !== 'ok') process.stderr.write(outcome.stderr);
    return outcome.kind === 'ok' && outcome.result.findings.length === 0 ? 0 : 1;
  }
  const report = await fuzz({
    calls: Number(arg('calls', 100000)),
    seed: Number(arg('seed', 1)),
    batch: Number(arg('batch', 2000)),
    jobs: Number(arg('jobs', 2)),
    build,
    hangMs,
    minimiseFailures: !argv.includes('--no-minimise'),
    log: (message) => process.stderr.write(`${message}\n`),
  });
  const json = arg('json', undefined);
  if (json) fs.writeFileSync(json, JSON.stringify(report, null, 2));
  console.log(summary(report));
  return failed(report) ? 1 : 0;
}

if (require.main === module) {
  main(process.argv.slice(2)).then((code) => process.exit(code), (e) => {
    console.error(e);
    process.exit(2);
  });
}

module.exports = { fuzz, repro, runJob, program, minimise, environment, summary, failed, render };
