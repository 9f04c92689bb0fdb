// The browser page's figures, each beside its native reference, in one run
// (scripts/run-web-benchmarks.sh sets the inputs):
//   first   navigation to frame 1 under the cover (a new tab each time,
//           with the HTTP cache off, so nothing comes from a cache), against
//           exec of the Linux build to its first frame written out;
//           REPETITIONS pairs, the order swapped every pair.
//   weight  every file the page downloads until the show runs, with sizes.
//   pace    a whole show after the start click: the median time between the
//           demo's frames against the median animation-frame period the
//           same page gets while it waits under its cover.
// Usage: node page_bench.js first|weight|pace
//   QEB_WEB_PAGE        the page (scripts/make-web.sh)
//   QEB_NATIVE_FIRST    a command line whose program writes frame 1 to the
//                       file named by its last argument (qeb-render-frames)
//   QEB_NATIVE_DATA     the folder it runs in, holding the same data
//   QEB_BENCH_REPS      repetitions (default 10)
'use strict';

const { spawn } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const h = require('../../tests/web/harness');

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};
const summary = (values, digits = 2) =>
  [Math.min(...values), median(values), Math.max(...values)].map((v) => v.toFixed(digits)).join(' / ');

// Milliseconds from navigation to the end of the ready promise (frame 1).
// Each run is a new tab with the HTTP cache off, so nothing comes from a
// cache: the browser gives every new tab a fresh renderer process, with no
// compiled code of the last one. A new browser context per run would time
// Chromium's own set-up of a new window as well: each new window loads the
// browser's own omnibox popup (a WebUI page), about 0.8 s of CPU in another
// process that competes with the page on a small machine.
async function browserFirstFrame(browser, url) {
  const page = await browser.newPage();
  try {
    await page.setCacheEnabled(false);
    page.on('dialog', (dialog) => dialog.accept());
    // Notes the moment ready settles, from the time it first exists.
    await page.evaluateOnNewDocument(() => {
      const watch = setInterval(() => {
        if (!window.qeb || !window.qeb.ready) return;
        clearInterval(watch);
        const note = () => (window.qebFirstFrameAt = performance.now());
        window.qeb.ready.then(note, note);
      }, 1);
    });
    await page.goto(url, { waitUntil: 'domcontentloaded' });
    await page.waitForFunction(() => window.qebFirstFrameAt !== undefined, { timeout: 60000 });
    // performance.now() counts from the navigation's start.
    return await page.evaluate(() => window.qebFirstFrameAt);
  } finally {
    await page.close();
  }
}

// Milliseconds from exec of the native program to its first frame's file.
function nativeFirstFrame(command) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qeb-first-'));
  const file = path.join(dir, 'frame.png');
  return new Promise((resolve, reject) => {
    const started = process.hrtime.bigint();
    let written = null;
    const watcher = fs.watch(dir, () => {
      if (written === null && fs.existsSync(file)) written = process.hrtime.bigint();
    });
    const program = spawn(command[0], [...command.slice(1), `1:${file}`], { cwd: process.env.QEB_NATIVE_DATA, stdio: ['ignore', 'ignore', 'inherit'] });
    program.on('exit', (code) => {
      watcher.close();
      if (written === null && fs.existsSync(file)) written = process.hrtime.bigint();
      fs.rmSync(dir, { recursive: true, force: true });
      if (code !== 0 || written === null) reject(new Error(`the native first frame failed (${code})`));
      else resolve(Number(written - started) / 1e6);
    });
  });
}

async function first(url) {
  const command = JSON.parse(process.env.QEB_NATIVE_FIRST);
  const repetitions = Number(process.env.QEB_BENCH_REPS || 10);
  const browser = await h.launchBrowser();
  const web = [];
  const native = [];
  try {
    await browserFirstFrame(browser, url); // the browser's own first start-up is not the page's
    for (let i = 0; i < repetitions; ++i) {
      if (i % 2) {
        native.push(await nativeFirstFrame(command));
        web.push(await browserFirstFrame(browser, url));
      } else {
        web.push(await browserFirstFrame(browser, url));
        native.push(await nativeFirstFrame(command));
      }
    }
  } finally {
    await browser.close();
  }
  const ratios = web.map((w, i) => w / native[i]);
  console.log(`first frame, browser ms (min / median / max of ${repetitions}): ${summary(web, 0)}`);
  console.log(`first frame, native ms: ${summary(native, 0)}`);
  console.log(`first frame, ratio browser / native per pair: ${summary(ratios)}`);
}

async function weight(url) {
  const browser = await h.launchBrowser();
  const files = new Map();
  try {
    const page = await browser.newPage();
    await page.setCacheEnabled(false);
    const cdp = await page.createCDPSession();
    await cdp.send('Network.enable');
    const urls = new Map();
    cdp.on('Network.responseReceived', (e) => {
      if (e.response.status === 200) urls.set(e.requestId, e.response.url);
    });
    cdp.on('Network.loadingFinished', (e) => {
      if (urls.has(e.requestId)) files.set(urls.get(e.requestId), e.encodedDataLength);
    });
    page.on('dialog', (dialog) => dialog.accept());
    await page.goto(url);
    await page.waitForFunction(() => !!(window.qeb && window.qeb.ready), { timeout: 60000 });
    await page.evaluate(() => window.qeb.ready);
    await h.clickCanvas(page);
    await h.waitForState(page, (s) => s.frame > 60);
  } finally {
    await browser.close();
  }
  // One line per file: its path on the server and the bytes that came over
  // the wire (headers included).
  for (const [address, bytes] of files) {
    if (address.startsWith('data:')) continue;
    console.log(`${new URL(address).pathname.replace(/^\//, '') || 'index.html'} ${bytes}`);
  }
}

async function pace(url) {
  const browser = await h.launchBrowser();
  try {
    const { page } = await h.openPage(browser, url);
    // Our own animation-frame callback notes the time and the demo's frame
    // count: first for two seconds while the show waits, then for the show.
    await page.evaluate(() => {
      window.paceLog = { idle: [], show: [] };
      const note = (time) => {
        const { frame, exitCode } = window.qeb.state();
        (window.qebStarted ? window.paceLog.show : window.paceLog.idle).push([time, frame]);
        if (exitCode === null) requestAnimationFrame(note);
      };
      requestAnimationFrame(note);
    });
    await new Promise((done) => setTimeout(done, 2000));
    await page.evaluate(() => (window.qebStarted = true));
    await h.clickCanvas(page);
    await h.waitForState(page, (s) => s.exitCode !== null, 30 * 60 * 1000);
    const log = await page.evaluate(() => window.paceLog);
    const periods = log.idle.slice(1).map(([t], i) => t - log.idle[i][0]);
    // Time between the callbacks at which the demo's frame count first
    // showed each new value.
    const shown = [];
    for (const [time, frame] of log.show) if (!shown.length || frame > shown[shown.length - 1][1]) shown.push([time, frame]);
    const frameTimes = shown.slice(1).map(([t, f], i) => (t - shown[i][0]) / (f - shown[i][1]));
    const end = await h.state(page);
    console.log(`pace: ${end.frame} frames, exit code ${end.exitCode}, ${((shown.at(-1)[0] - shown[0][0]) / 1000).toFixed(1)} s`);
    console.log(`pace: animation-frame period while waiting, median ms: ${median(periods).toFixed(2)}`);
    console.log(`pace: demo frame time while running, median ms: ${median(frameTimes).toFixed(2)}, 95th percentile ${[...frameTimes].sort((a, b) => a - b)[Math.floor(frameTimes.length * 0.95)].toFixed(2)}`);
    console.log(`pace: ratio ${(median(frameTimes) / median(periods)).toFixed(3)}`);
  } finally {
    await browser.close();
  }
}

(async () => {
  const server = await h.servePage(h.input('QEB_WEB_PAGE'));
  try {
    const which = { first, weight, pace }[process.argv[2]];
    if (!which) throw new Error('usage: node page_bench.js first|weight|pace');
    await which(server.url);
  } finally {
    server.stop();
  }
})().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
