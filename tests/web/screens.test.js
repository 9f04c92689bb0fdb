// The page on screens of every size and on a phone: the picture as large as
// fits at 4:3 and centred without a scroll bar, the page's words and link
// preview, the demo's keys on a touch screen and the page's volume.
//   QEB_WEB_PAGE  the default page (scripts/make-web.sh)
'use strict';

const { test, describe } = require('node:test');
const assert = require('node:assert/strict');
const h = require('./harness');

// The page's layout as a script sees it.
function layout(page) {
  return page.evaluate(() => {
    const box = document.querySelector('#stage').getBoundingClientRect();
    const scroller = document.scrollingElement;
    return {
      stage: { x: box.x, y: box.y, width: box.width, height: box.height },
      viewport: { width: window.innerWidth, height: window.innerHeight },
      scrolls: scroller.scrollWidth > window.innerWidth || scroller.scrollHeight > window.innerHeight,
      canvas: [document.querySelector('#canvas').width, document.querySelector('#canvas').height],
    };
  });
}

function assertFits(now, label) {
  const { stage, viewport } = now;
  const width = Math.min(viewport.width, (viewport.height * 4) / 3);
  const close = (a, b) => Math.abs(a - b) <= 1;
  assert.ok(close(stage.width, width) && close(stage.height, (width * 3) / 4), `${label}: ${JSON.stringify(now)}`);
  assert.ok(close(stage.x, (viewport.width - stage.width) / 2), `${label}: not centred across`);
  assert.ok(close(stage.y, (viewport.height - stage.height) / 2), `${label}: not centred down`);
  assert.equal(now.scrolls, false, `${label}: the page scrolls`);
  assert.deepEqual(now.canvas, [640, 480]);
}

describe('screens', () => {
  const shared = h.browserForTests(h.input('QEB_WEB_PAGE'));
  const openAt = (viewport) => h.openPage(shared.browser, shared.server.url, viewport);

  test('the picture fits every window at 4:3, centred, without a scroll bar', async () => {
    const sizes = [[390, 844], [844, 390], [800, 600], [1920, 1080], [1024, 1366], [3840, 2160]];
    const { page } = await openAt({ width: 390, height: 844 });
    try {
      for (const [width, height] of sizes) {
        await page.setViewport({ width, height });
        assertFits(await layout(page), `${width}x${height}`);
      }
    } finally {
      await page.close();
    }
  });

  test('the page says what it is, and a shared link shows it', async () => {
    const { page } = await openAt({ width: 800, height: 600 });
    try {
      const words = await page.evaluate(() => ({
        title: document.title,
        description: document.querySelector('meta[name=description]')?.content,
        ogTitle: document.querySelector('meta[property="og:title"]')?.content,
        ogImage: document.querySelector('meta[property="og:image"]')?.content,
        noscript: document.querySelector('noscript')?.textContent,
        cover: document.querySelector('#cover').innerText,
        licence: document.querySelector('#cover a')?.href,
      }));
      assert.match(words.title, /Qeb/);
      assert.match(words.description, /demo/);
      assert.match(words.ogTitle, /Qeb/);
      assert.match(words.noscript, /JavaScript/);
      for (const text of ['Qeb', 'Escape', 'F1', 'B ', 'arrows', 'MIT licence']) assert.ok(words.cover.includes(text), text);
      // The licence comes with the page.
      assert.match(words.licence, /\/LICENSE\.txt$/);
      const licence = await page.evaluate(async (href) => {
        const response = await fetch(href);
        return { ok: response.ok, text: await response.text() };
      }, words.licence);
      assert.ok(licence.ok && licence.text.includes('MIT'), 'LICENSE.txt is served with the licence');
      // The preview picture is on the page's host, a PNG of the show.
      const preview = await page.evaluate(async (src) => {
        const response = await fetch(src);
        const bitmap = await createImageBitmap(await response.blob());
        return { ok: response.ok, type: response.headers.get('content-type'), width: bitmap.width };
      }, words.ogImage);
      assert.deepEqual(preview, { ok: true, type: 'image/png', width: 640 });
    } finally {
      await page.close();
    }
  });

  test('a phone: the touch controls send the demo its keys, and the volume is the page\'s', async () => {
    const { page, errors } = await openAt({ width: 390, height: 844, isMobile: true, hasTouch: true });
    try {
      assert.equal(await h.isShown(page, '#touch'), false, 'controls under the cover');
      assert.match(await page.$eval('#start', (e) => e.textContent), /Tap/);
      await page.tap('#start');
      await h.waitForState(page, (s) => s.frame > 5);
      assert.ok(await h.isShown(page, '#touch'));
      for (const id of ['#touch-blend', '#touch-fullscreen', '#touch-end', '#pad']) {
        const box = await (await page.$(id)).boundingBox();
        assert.ok(box.x >= 0 && box.y >= 0 && box.x + box.width <= 390 && box.y + box.height <= 844, `${id} off screen`);
      }

      await page.tap('#touch-blend');
      await h.waitForState(page, (s) => s.blend === true);

      // The pad is held like the arrow keys.
      const left = await (await page.$('#pad [data-code=ArrowLeft]')).boundingBox();
      const start = await h.state(page);
      await page.touchscreen.touchStart(left.x + left.width / 2, left.y + left.height / 2);
      const turning = await h.waitForState(page, (s) => s.heading > start.heading + 3);
      await page.touchscreen.touchEnd();
      const released = await h.waitForState(page, (s) => s.frame > turning.frame + 3);
      const later = await h.waitForState(page, (s) => s.frame > released.frame + 10);
      assert.equal(later.heading, released.heading, 'the camera still turns');

      // Volume and mute: the page's gain, not a key of the demo.
      await page.$eval('#volume', (input) => {
        input.value = '0.3';
        input.dispatchEvent(new Event('input'));
      });
      assert.ok(Math.abs((await page.evaluate(() => Module.qebAudio.gain.gain.value)) - 0.3) < 1e-6);
      await page.tap('#mute');
      assert.equal(await page.evaluate(() => Module.qebAudio.gain.gain.value), 0);
      await page.tap('#mute');
      assert.ok(Math.abs((await page.evaluate(() => Module.qebAudio.gain.gain.value)) - 0.3) < 1e-6);

      await page.tap('#touch-end');
      const end = await h.waitForState(page, (s) => s.exitCode !== null);
      assert.equal(end.exitCode, 27);
      assert.equal(await h.isShown(page, '#touch'), false);
      assert.deepEqual(errors, []);
    } finally {
      await page.close();
    }
  });

  test('a touch screen where a keyboard is used shows no touch controls', async () => {
    const { page } = await openAt({ width: 1024, height: 768, hasTouch: true });
    try {
      await page.keyboard.press('Enter', { delay: 50 });
      await h.waitForState(page, (s) => s.frame > 5);
      assert.equal(await h.isShown(page, '#touch'), false);
      // A desktop without touch never shows them.
      const desktop = await openAt({ width: 1024, height: 768 });
      await h.clickCanvas(desktop.page);
      await h.waitForState(desktop.page, (s) => s.frame > 5);
      assert.equal(await h.isShown(desktop.page, '#touch'), false);
      await desktop.page.close();
    } finally {
      await page.close();
    }
  });
});
