// The page stepped frame by frame with window.qeb.step, before its start
// click, against the frames the Linux build draws for the same ticks
// (qeb-render-frames on Mesa's llvmpipe), then on to the clock's end.
//   QEB_WEB_PAGE       the default page (scripts/make-web.sh)
//   QEB_NATIVE_FRAMES  tick-TICK.png and tick-TICK-blend.png from qeb-render-frames
'use strict';

const { test, describe } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const h = require('./harness');

// SwiftShader and llvmpipe do not round alike: interpolated colours and fog
// differ by a few levels everywhere, and a triangle edge may fall one pixel
// over, which swaps a texel or the wall's colour for the room's along the
// edges. A picture matches when the mean difference per channel stays small
// and only a thin share of pixels (the edges) differs by more than a
// rounding could explain. A frame of another moment, or the other look (B),
// lies far outside both (checked below).
const tolerance = { threshold: 48, meanAbs: 4, shareBeyond: 0.03 };

const moments = [
  { tick: 1, what: 'the first frame: the room and the opening picture on the walls' },
  { tick: 900, what: 'the walls waving, the world textured and lit' },
  { tick: 3000, what: 'the countdown frames on the walls, fog over the far room' },
  { tick: 8500, what: 'the second picture series, the camera turned' },
  { tick: 17600, what: 'the closing pictures, the camera far down the room' },
];
// The look B toggles, compared at this tick.
const blendTick = 2200;
const blendFrame = 1800; // the frame whose clock reads blendTick

function nativeFrame(name) {
  return path.join(h.input('QEB_NATIVE_FRAMES'), `${name}.png`);
}

function assertMatches(page, browser, native, label) {
  const d = h.difference(browser, native, tolerance.threshold);
  const report = `${label}: mean ${d.meanAbs.toFixed(2)}, beyond ${tolerance.threshold}: ${(100 * d.shareBeyond).toFixed(2)}%`;
  console.log(report);
  assert.ok(d.meanAbs <= tolerance.meanAbs && d.shareBeyond <= tolerance.shareBeyond, `${report} (too far)`);
}

describe('the page stepped frame by frame', () => {
  const shared = h.pageForTests(h.input('QEB_WEB_PAGE'));
  const drawn = new Map();

  test('frame 1 is drawn under the cover, and the show waits', async () => {
    const { page } = shared.session;
    assert.deepEqual(shared.session.dialogs, []);
    const now = await h.state(page);
    assert.equal(now.frame, 1);
    assert.equal(now.tick, 1);
    assert.equal(now.exitCode, null);
    assert.equal(now.blend, false);
    // Something lies over the canvas' middle: the cover.
    const covered = await page.evaluate(() => {
      const canvas = document.querySelector('#canvas');
      const box = canvas.getBoundingClientRect();
      const top = document.elementFromPoint(box.x + box.width / 2, box.y + box.height / 2);
      return top !== null && top !== canvas;
    });
    assert.ok(covered, 'nothing covers the canvas');
    await page.screenshot({ path: h.artifactPath('cover.png') });
    // Waiting for the click draws no more frames.
    await new Promise((done) => setTimeout(done, 500));
    assert.equal((await h.state(page)).frame, 1);
  });

  for (const { tick, what } of moments) {
    test(`tick ${tick} matches the Linux build (${what})`, async () => {
      const { page } = shared.session;
      const now = await h.stepToTick(page, tick);
      assert.equal(now.exitCode, null);
      assert.ok(now.tick >= tick && now.tick < tick + 3, `stepped to ${now.tick}`);
      const picture = await h.readCanvas(page);
      fs.writeFileSync(h.artifactPath(`tick-${tick}.png`), picture.png);
      assert.ok(h.colourCount(picture) > 16, 'the canvas is nearly blank');
      drawn.set(tick, picture);
      assertMatches(page, picture, await h.decodePng(page, nativeFrame(`tick-${tick}`)), `tick ${tick}`);
    });

  }

  test('the tolerance tells another moment apart', async () => {
    const { page } = shared.session;
    const pairs = [[drawn.get(3000), nativeFrame('tick-900'), 'tick 3000 against 900']];
    for (const [picture, file, label] of pairs) {
      assert.ok(picture, `${label}: that frame was not drawn`);
      const d = h.difference(picture, await h.decodePng(page, file), tolerance.threshold);
      console.log(`${label}: mean ${d.meanAbs.toFixed(2)}, beyond: ${(100 * d.shareBeyond).toFixed(2)}%`);
      assert.ok(d.meanAbs > tolerance.meanAbs || d.shareBeyond > tolerance.shareBeyond, `${label} would pass`);
    }
  });

  // Nothing was pressed on this page: an untouched show ends with 0.
  test("the clock's end ends the untouched show with 0 and the end screen", async () => {
    const { page } = shared.session;
    const end = await h.stepToTick(page, Infinity);
    assert.equal(end.exitCode, 0);
    assert.equal(end.tick, 19400);
    assert.equal(end.frame, 14065);
    assert.ok(await h.isShown(page, '#ended'));
    assert.deepEqual(await h.endScreen(page), { exitCode: '0', again: true });
    assert.ok(h.colourCount(await h.readCanvas(page)) > 16, 'the canvas is blank at the end');
    assert.deepEqual(shared.session.dialogs, []);
    assert.deepEqual(shared.session.errors, []);
  });
});

// B on a page of its own, so that the walk above stays untouched to the end.
describe('the blended look', () => {
  const shared = h.pageForTests(h.input('QEB_WEB_PAGE'));

  test(`B draws tick ${blendTick} in the blended look, as on Linux`, async () => {
    const { page } = shared.session;
    // The clock does not move by the same step every frame: walk frame by
    // frame to two frames before the one the Linux build drew for the tick.
    await h.stepToFrame(page, blendFrame - 2);
    // B held through one frame toggles at that frame's end: the next is blended.
    await page.keyboard.down('KeyB');
    await page.evaluate(() => window.qeb.step(1));
    await page.keyboard.up('KeyB');
    await page.evaluate(() => window.qeb.step(1));
    const now = await h.state(page);
    assert.equal(now.frame, blendFrame);
    assert.equal(now.tick, blendTick);
    assert.equal(now.blend, true);
    const picture = await h.readCanvas(page);
    fs.writeFileSync(h.artifactPath(`tick-${blendTick}-blend.png`), picture.png);
    assertMatches(page, picture, await h.decodePng(page, nativeFrame(`tick-${blendTick}-blend`)), 'blended');

    // The plain frame of the same tick lies far outside the tolerance.
    const plain = h.difference(picture, await h.decodePng(page, nativeFrame(`tick-${blendTick}`)), tolerance.threshold);
    console.log(`blended against plain: mean ${plain.meanAbs.toFixed(2)}, beyond: ${(100 * plain.shareBeyond).toFixed(2)}%`);
    assert.ok(plain.meanAbs > tolerance.meanAbs || plain.shareBeyond > tolerance.shareBeyond, 'blended against plain would pass');

    // A second press turns it off again.
    await page.keyboard.down('KeyB');
    await page.evaluate(() => window.qeb.step(1));
    await page.keyboard.up('KeyB');
    assert.equal((await h.state(page)).blend, false);
    assert.deepEqual(shared.session.errors, []);
  });
});
