// What the browser tests share: a page served from 127.0.0.1 by
// scripts/serve-web.sh, headless Chromium driven by puppeteer-core, the
// page's window.qeb, and pictures read back from its canvas.
'use strict';

const { spawn } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const readline = require('node:readline');
const puppeteer = require('puppeteer-core');

const root = path.resolve(__dirname, '../..');

// Where the test script put its inputs (scripts/run-web-tests.sh sets them).
function input(name) {
  const value = process.env[name];
  if (!value) throw new Error(`${name} is not set: run these tests through scripts/run-web-tests.sh`);
  return path.resolve(root, value);
}

// Pictures the tests write for a person to look at.
function artifactPath(name) {
  const dir = path.resolve(root, process.env.QEB_WEB_ARTIFACTS || 'build/web-tests/artifacts');
  fs.mkdirSync(dir, { recursive: true });
  return path.join(dir, name);
}

// Serves DIR on a free port; resolves with { url, stop }.
function servePage(dir) {
  const server = spawn(path.join(root, 'scripts/serve-web.sh'), [dir, '--port', '0'], {
    stdio: ['ignore', 'pipe', 'inherit'],
  });
  const stop = () => {
    if (server.exitCode === null) server.kill();
  };
  return new Promise((resolve, reject) => {
    const lines = readline.createInterface({ input: server.stdout });
    lines.once('line', (line) => {
      const match = /(http:\/\/127\.0\.0\.1:\d+\/)/.exec(line);
      if (match) resolve({ url: match[1], stop });
      else reject(new Error(`serve-web.sh printed no address: ${line}`));
    });
    server.once('exit', (code) => reject(new Error(`serve-web.sh ended with ${code} before serving`)));
  });
}

function launchBrowser(extraArgs = []) {
  return puppeteer.launch({
    executablePath: process.env.QEB_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    // As root in a container the sandbox cannot start; SwiftShader is
    // Chromium's WebGL when there is no GPU, which newer versions only
    // allow when asked. The browser draws its own window in software, as
    // it does on a machine without a GPU: on SwiftShader each of its frames
    // took about 20 ms of CPU beside the page.
    args: ['--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader', '--disable-gpu-compositing',
      '--mute-audio', '--window-size=800,600', ...extraArgs],
    defaultViewport: { width: 800, height: 600 },
    protocolTimeout: 300000,
  });
}

// Opens the page, answers every dialog with OK (recording it), and waits for
// window.qeb.ready: frame 1 under the cover, or the end of a failed start.
// With a viewport, the page is opened at that size.
async function openPage(browser, url, viewport) {
  const page = await browser.newPage();
  if (viewport) await page.setViewport(viewport);
  const dialogs = [];
  const errors = [];
  page.on('dialog', async (dialog) => {
    dialogs.push({ type: dialog.type(), message: dialog.message() });
    await dialog.accept();
  });
  page.on('pageerror', (error) => errors.push(String(error)));
  await page.goto(url);
  await page.waitForFunction(() => !!(window.qeb && window.qeb.ready), { timeout: 60000 });
  await page.evaluate(() => window.qeb.ready.catch(() => null));
  return { page, dialogs, errors };
}

const state = (page) => page.evaluate(() => window.qeb.state());

// Waits until the page's state satisfies `test` (a function of the state).
async function waitForState(page, test, timeout = 60000) {
  const deadline = Date.now() + timeout;
  for (;;) {
    const now = await state(page);
    if (test(now)) return now;
    if (Date.now() > deadline) throw new Error(`state never came: last ${JSON.stringify(now)}`);
    await new Promise((done) => setTimeout(done, 50));
  }
}

// Steps the waiting show to the first frame whose clock reaches `tick`. The
// clock gains at most 3 a frame, so a chunk of (ticks left) / 3 frames never
// passes that frame. Chunks stay short: Chromium ends a page whose script
// runs for minutes. Returns the state, which shows if the show ended first.
async function stepToTick(page, tick) {
  for (;;) {
    const now = await state(page);
    if (now.exitCode !== null || now.tick >= tick) return now;
    const frames = Math.min(250, Math.max(1, Math.floor((tick - now.tick) / 3)));
    await page.evaluate((n) => window.qeb.step(n), frames);
  }
}

// Steps until `frame` frames have been drawn, in chunks as above. Returns
// the state, which shows if the show ended first.
async function stepToFrame(page, frame) {
  for (;;) {
    const now = await state(page);
    if (now.exitCode !== null || now.frame >= frame) return now;
    await page.evaluate((n) => window.qeb.step(n), Math.min(250, frame - now.frame));
  }
}

// The canvas' current picture as { width, height, rgba } (rows top first).
async function readCanvas(page) {
  const picture = await page.evaluate(() => {
    const canvas = document.querySelector('#canvas');
    const copy = document.createElement('canvas');
    copy.width = canvas.width;
    copy.height = canvas.height;
    const context = copy.getContext('2d');
    context.drawImage(canvas, 0, 0);
    const { data } = context.getImageData(0, 0, copy.width, copy.height);
    let text = '';
    for (let i = 0; i < data.length; i += 0x8000) text += String.fromCharCode(...data.subarray(i, i + 0x8000));
    return { width: copy.width, height: copy.height, rgba: btoa(text), png: copy.toDataURL('image/png') };
  });
  return {
    width: picture.width,
    height: picture.height,
    rgba: Buffer.from(picture.rgba, 'base64'),
    png: Buffer.from(picture.png.split(',')[1], 'base64'),
  };
}

// A PNG file decoded by the browser itself (no decoder of our own), in the
// same form as readCanvas gives.
async function decodePng(page, file) {
  const base64 = fs.readFileSync(file).toString('base64');
  const picture = await page.evaluate(async (data) => {
    const blob = await (await fetch(`data:image/png;base64,${data}`)).blob();
    const bitmap = await createImageBitmap(blob, { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
    const copy = document.createElement('canvas');
    copy.width = bitmap.width;
    copy.height = bitmap.height;
    const context = copy.getContext('2d');
    context.drawImage(bitmap, 0, 0);
    const pixels = context.getImageData(0, 0, copy.width, copy.height).data;
    let text = '';
    for (let i = 0; i < pixels.length; i += 0x8000) text += String.fromCharCode(...pixels.subarray(i, i + 0x8000));
    return { width: copy.width, height: copy.height, rgba: btoa(text) };
  }, base64);
  return { width: picture.width, height: picture.height, rgba: Buffer.from(picture.rgba, 'base64') };
}

// How far two pictures of one size lie apart: the mean absolute difference
// per colour channel (0..255) and the share of pixels where some channel
// differs by more than `threshold`.
function difference(a, b, threshold) {
  if (a.width !== b.width || a.height !== b.height)
    throw new Error(`sizes differ: ${a.width}x${a.height} and ${b.width}x${b.height}`);
  let sum = 0;
  let beyond = 0;
  const pixels = a.width * a.height;
  for (let p = 0; p < pixels; ++p) {
    let worst = 0;
    for (let c = 0; c < 3; ++c) {
      const d = Math.abs(a.rgba[p * 4 + c] - b.rgba[p * 4 + c]);
      sum += d;
      if (d > worst) worst = d;
    }
    if (worst > threshold) ++beyond;
  }
  return { meanAbs: sum / (pixels * 3), shareBeyond: beyond / pixels };
}

// Distinct colours in a picture, up to `limit`: a blank canvas has one.
function colourCount(picture, limit = 64) {
  const seen = new Set();
  for (let i = 0; i < picture.rgba.length && seen.size < limit; i += 4)
    seen.add(picture.rgba.readUInt32BE(i));
  return seen.size;
}

module.exports = {
  root, input, artifactPath, servePage, launchBrowser, openPage, state, waitForState, stepToTick,
  stepToFrame, readCanvas, decodePng, difference, colourCount,
};

// Whether the element is on the page and shown (not display:none, hidden or
// of no size).
function isShown(page, selector) {
  return page.evaluate((s) => {
    const element = document.querySelector(s);
    if (!element) return false;
    const style = getComputedStyle(element);
    const box = element.getBoundingClientRect();
    return style.display !== 'none' && style.visibility !== 'hidden' && box.width > 0 && box.height > 0;
  }, selector);
}

// The end screen as a script sees it.
function endScreen(page) {
  return page.evaluate(() => ({
    exitCode: document.documentElement.dataset.qebExitCode,
    again: !!document.querySelector('#again'),
  }));
}

// Clicks the middle of the canvas, where the cover lies while the show waits.
async function clickCanvas(page) {
  const box = await (await page.$('#canvas')).boundingBox();
  await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
}

module.exports.isShown = isShown;
module.exports.endScreen = endScreen;
module.exports.clickCanvas = clickCanvas;

// For the tests of the surrounding describe: the page in `dir` served and a
// browser started before them, both closed after them. The returned object
// holds `server` and `browser` once the tests run.
function browserForTests(dir) {
  const { before, after } = require('node:test');
  const shared = {};
  before(async () => {
    shared.server = await servePage(dir);
    shared.browser = await launchBrowser();
  });
  after(async () => {
    await shared.browser?.close();
    shared.server?.stop();
  });
  return shared;
}

// As browserForTests, with the page opened once before the tests: the
// returned object's `session` is openPage's.
function pageForTests(dir) {
  const shared = browserForTests(dir);
  require('node:test').before(async () => {
    shared.session = await openPage(shared.browser, shared.server.url);
  });
  return shared;
}

module.exports.browserForTests = browserForTests;
module.exports.pageForTests = pageForTests;

// Whether the page's script may still prevent each key's default: a
// listener on the window runs after the document's, so it sees what they did.
async function defaultsPrevented(page, keys) {
  await page.evaluate(() => {
    if (!window.prevented)
      window.addEventListener('keydown', (event) => window.prevented.push([event.code, event.defaultPrevented]));
    window.prevented = [];
  });
  for (const key of keys) await page.keyboard.press(key, { delay: 50 });
  return page.evaluate(() => window.prevented);
}

module.exports.defaultsPrevented = defaultsPrevented;
