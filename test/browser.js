'use strict';
// Headless Chromium for the renderer's and the viewer's browser tests and benchmarks:
// Debian's chromium package driven by playwright-core, with WebGL2 drawn in software
// (SwiftShader) since the machines have no GPU.

const fs = require('node:fs');
const path = require('node:path');

const root = path.join(__dirname, '..');
const executablePath = process.env.BRIMO_CHROMIUM || '/usr/bin/chromium';

// Offline and quiet: no background connections, no updates, no sync; root needs
// --no-sandbox. WebGL2 goes through ANGLE on SwiftShader.
const ARGS = [
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
  '--use-angle=swiftshader',
  '--enable-unsafe-swiftshader',
];

/** Starts headless Chromium with a fresh profile of its own; close() it when done. */
async function launch() {
  if (!fs.existsSync(executablePath)) {
    throw new Error(`no Chromium at ${executablePath}: \`npm run setup\` installs Debian's chromium package (as root)`);
  }
  const { chromium } = require('playwright-core');
  // The browser is not under test: a sanitizer runtime preloaded into the tests
  // (npm run test:asan) stays out of it.
  const env = { ...process.env };
  delete env.LD_PRELOAD;
  return chromium.launch({ executablePath, headless: true, args: ARGS, env });
}

/**
 * A page of the origin http://brimo.test whose requests are answered from the
 * repository: /renderer/... from renderer/, and `pages` ({ '/x.html': html }) as given.
 * The page at '/' loads brimo/renderer as an ES module into window.I420Renderer.
 */
async function rendererPage(browser, pages = {}) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error));
  const files = {
    '/': '<!doctype html><meta charset="utf-8"><body><script type="module">'
      + 'import { I420Renderer } from "/renderer/index.mjs"; window.I420Renderer = I420Renderer;'
      + '</script></body>',
    ...pages,
  };
  await page.route('http://brimo.test/**', (route) => {
    const { pathname } = new URL(route.request().url());
    if (files[pathname] !== undefined) return route.fulfill({ contentType: 'text/html', body: files[pathname] });
    if (pathname.startsWith('/renderer/')) {
      const file = path.join(root, 'renderer', path.basename(pathname));
      if (fs.existsSync(file)) return route.fulfill({ contentType: 'text/javascript', body: fs.readFileSync(file) });
    }
    return route.fulfill({ status: 404, body: 'not found' });
  });
  await page.goto('http://brimo.test/');
  await page.waitForFunction(() => typeof window.I420Renderer === 'function');
  page.errors = errors;
  return page;
}

module.exports = { launch, rendererPage, executablePath, ARGS };
