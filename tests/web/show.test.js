// The running show in headless Chromium: the start click, the keys B, F1 and
// Escape as a viewer presses them, the end screen and its button.
//   QEB_WEB_PAGE  the default page (scripts/make-web.sh)
'use strict';

const { test, describe } = require('node:test');
const assert = require('node:assert/strict');
const h = require('./harness');

describe('the running show', () => {
  const shared = h.pageForTests(h.input('QEB_WEB_PAGE'));

  test('a click on the cover starts the show in full screen', async () => {
    const { page } = shared.session;
    await h.clickCanvas(page);
    const running = await h.waitForState(page, (s) => s.frame > 10);
    assert.equal(running.exitCode, null);
    assert.equal(running.fullscreen, true);
    // One frame per animation frame: the clock goes on by itself.
    const later = await h.waitForState(page, (s) => s.frame > running.frame + 10);
    assert.ok(later.tick > running.tick);
    await page.screenshot({ path: h.artifactPath('running.png') });
  });

  test('the soundtrack, fetched after frame 1, loops through Web Audio', async () => {
    const { page } = shared.session;
    await page.waitForFunction(() => Module.qebAudio && Module.qebAudio.source, { timeout: 30000 });
    const sound = await page.evaluate(() => {
      const at = (name) => performance.getEntriesByType('resource').find((e) => e.name.endsWith('/' + name));
      return {
        firstFrame: performance.getEntriesByName('qeb-first-frame')[0].startTime,
        fetched: at('qeb-soundtrack.data').startTime,
        seconds: Module.qebAudio.buffer.duration,
        loop: Module.qebAudio.source.loop,
      };
    });
    assert.ok(sound.fetched > sound.firstFrame, JSON.stringify(sound));
    assert.ok(sound.seconds > 200, JSON.stringify(sound));  // the default track: 234 s
    assert.equal(sound.loop, true);
  });

  test('B toggles the blended look once per press', async () => {
    const { page } = shared.session;
    await page.keyboard.press('KeyB', { delay: 100 });
    const toggled = await h.waitForState(page, (s) => s.blend === true);
    // A frame must see B up before the next press counts, as on Linux.
    await h.waitForState(page, (s) => s.frame > toggled.frame + 3);
    // Held down over many frames, it still toggles only once.
    await page.keyboard.down('KeyB');
    const held = await h.state(page);
    await h.waitForState(page, (s) => s.frame > held.frame + 5);
    await page.keyboard.up('KeyB');
    assert.equal((await h.state(page)).blend, false);
  });

  test('F1 leaves and re-enters full screen while the show goes on', async () => {
    const { page } = shared.session;
    for (const wanted of [false, true]) {
      await page.keyboard.press('F1', { delay: 100 });
      const toggled = await h.waitForState(page, (s) => s.fullscreen === wanted);
      const later = await h.waitForState(page, (s) => s.frame > toggled.frame + 5);
      assert.equal(later.exitCode, null);
      assert.ok(later.tick > toggled.tick);
    }
  });

  test('Escape ends the show with 27 and shows the end screen', async () => {
    const { page } = shared.session;
    await page.keyboard.press('Escape', { delay: 100 });
    const end = await h.waitForState(page, (s) => s.exitCode !== null);
    assert.equal(end.exitCode, 27);
    assert.ok(end.tick < 19400);
    assert.ok(await h.isShown(page, '#ended'));
    assert.deepEqual(await h.endScreen(page), { exitCode: '27', again: true });
    // The end screen lies over the last frame drawn, which stays on the canvas.
    assert.ok(h.colourCount(await h.readCanvas(page)) > 16, 'the canvas is blank at the end');
    // The show has stopped: no more frames.
    await new Promise((done) => setTimeout(done, 300));
    assert.equal((await h.state(page)).frame, end.frame);
    await page.screenshot({ path: h.artifactPath('ended.png') });
    assert.deepEqual(shared.session.dialogs, []);
    assert.deepEqual(shared.session.errors, []);
  });

  test('the button on the end screen brings the cover back', async () => {
    const { page } = shared.session;
    await Promise.all([page.waitForNavigation(), page.click('#again')]);
    await page.waitForFunction(() => !!(window.qeb && window.qeb.ready), { timeout: 60000 });
    await page.evaluate(() => window.qeb.ready.catch(() => null));
    const now = await h.state(page);
    assert.equal(now.frame, 1);
    assert.equal(now.exitCode, null);
    assert.equal(await h.isShown(page, '#ended'), false);
  });
});
