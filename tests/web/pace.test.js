// The display's pace: the page draws at most one frame per 1/60 s of
// animation-frame time, whatever the display's rate. The page's
// requestAnimationFrame is replaced before the start by one that calls back
// as fast as the page allows with the times of a display at the rate asked,
// so the count depends on the animation frames' times, not the machine.
//   QEB_WEB_PAGE  the default page (scripts/make-web.sh)
'use strict';

const { test, describe } = require('node:test');
const assert = require('node:assert/strict');
const h = require('./harness');

// Each phase: the display's rate, and the frames a second expected.
const phases = [
  { hertz: 120, expected: 60 },
  { hertz: 144, expected: 60 },
  { hertz: 60, expected: 60 },
  { hertz: 50, expected: 50 },  // slower than 60: every animation frame draws
];
const phaseSeconds = 3;

describe('the pace on displays of other rates', () => {
  const shared = h.pageForTests(h.input('QEB_WEB_PAGE'));

  test('60 frames a second of animation-frame time (±2%), never two frames in one animation frame', async () => {
    const { page } = shared.session;
    await page.evaluate((schedule, seconds) => {
      const display = { time: 1000, phase: 0, phaseStart: 1000, firstFrame: null, results: [], most: 0 };
      window.display = display;
      window.requestAnimationFrame = (callback) => {
        setTimeout(() => {
          if (display.phase >= schedule.length) return;
          const frame = window.qeb.state().frame;
          if (display.firstFrame === null) display.firstFrame = frame;
          if (display.time - display.phaseStart >= seconds * 1000) {
            display.results.push({ hertz: schedule[display.phase].hertz, frames: frame - display.firstFrame });
            display.firstFrame = frame;
            display.phaseStart = display.time;
            if (++display.phase >= schedule.length) return;
          }
          display.time += 1000 / schedule[display.phase].hertz;
          callback(display.time);
          display.most = Math.max(display.most, window.qeb.state().frame - frame);
        }, 0);
        return 1;
      };
    }, phases, phaseSeconds);
    await h.clickCanvas(page);
    await page.waitForFunction((count) => window.display.results.length === count || window.qeb.state().exitCode !== null,
      { timeout: 240000, polling: 200 }, phases.length);
    const { results, most } = await page.evaluate(() => window.display);
    console.log(JSON.stringify(results));
    assert.equal((await h.state(page)).exitCode, null);
    assert.equal(most, 1);
    for (const [i, { hertz, expected }] of phases.entries()) {
      const rate = results[i].frames / phaseSeconds;
      assert.equal(results[i].hertz, hertz);
      assert.ok(Math.abs(rate - expected) <= expected * 0.02, `${hertz} Hz: ${rate} frames a second`);
    }
    assert.deepEqual(shared.session.errors, []);
  });
});
