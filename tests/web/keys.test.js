// The keyboard as a viewer uses it: Enter or Space on the cover, keys
// pressed while it waits, keys held when the page loses the keyboard, the
// browser's own way out of full screen, and the browser's keys once the
// show has ended.
//   QEB_WEB_PAGE  the default page (scripts/make-web.sh)
'use strict';

const { test, describe } = require('node:test');
const assert = require('node:assert/strict');
const h = require('./harness');

describe('the cover and the keyboard', () => {
  const shared = h.browserForTests(h.input('QEB_WEB_PAGE'));

  // Escape, an arrow and B pressed while the cover waits must not reach the
  // show: Escape would end it at once with 27.
  for (const startKey of ['Enter', 'Space']) {
    test(`${startKey} on the cover starts the show; keys pressed before are not kept`, async () => {
      const { page, errors } = await h.openPage(shared.browser, shared.server.url);
      try {
        assert.equal(await page.evaluate(() => document.activeElement && document.activeElement.id), 'start');
        for (const key of ['Escape', 'ArrowLeft', 'KeyB']) await page.keyboard.press(key, { delay: 50 });
        assert.equal((await h.state(page)).frame, 1);
        await page.keyboard.press(startKey, { delay: 50 });
        const running = await h.waitForState(page, (s) => s.frame > 20 || s.exitCode !== null);
        assert.equal(running.exitCode, null);
        assert.equal(running.fullscreen, true);
        assert.equal(running.blend, false);
        assert.equal(running.heading, 0);
        assert.deepEqual(errors, []);
      } finally {
        await page.close();
      }
    });
  }
});

describe('keys in the running show', () => {
  const shared = h.pageForTests(h.input('QEB_WEB_PAGE'));

  // How the page loses the keyboard, and how it gets it back.
  const losses = [
    { name: 'the window loses the focus', lose: () => window.dispatchEvent(new Event('blur')), back: () => {} },
    {
      name: 'the page is hidden',
      lose: () => {
        Object.defineProperty(document, 'hidden', { configurable: true, get: () => true });
        Object.defineProperty(document, 'visibilityState', { configurable: true, get: () => 'hidden' });
        document.dispatchEvent(new Event('visibilitychange'));
      },
      back: () => {
        delete document.hidden;
        delete document.visibilityState;
        document.dispatchEvent(new Event('visibilitychange'));
      },
    },
  ];

  test('the show starts on a click', async () => {
    const { page } = shared.session;
    await h.clickCanvas(page);
    await h.waitForState(page, (s) => s.frame > 5);
  });

  for (const { name, lose, back } of losses) {
    test(`an arrow held when ${name} is released`, async () => {
      const { page } = shared.session;
      await page.keyboard.down('ArrowLeft');
      const turning = await h.state(page);
      await h.waitForState(page, (s) => s.heading > turning.heading + 3);
      await page.evaluate(lose);
      const lost = await h.state(page);
      const settled = await h.waitForState(page, (s) => s.frame > lost.frame + 2);
      const later = await h.waitForState(page, (s) => s.frame > settled.frame + 10);
      assert.equal(later.heading, settled.heading, 'the camera still turns');
      assert.equal(later.exitCode, null);
      await page.keyboard.up('ArrowLeft');
      await page.evaluate(back);
    });
  }

  test('F1 enters full screen again after the browser left it', async () => {
    const { page } = shared.session;
    if (!(await h.state(page)).fullscreen) {
      await page.keyboard.press('F1', { delay: 100 });
      await h.waitForState(page, (s) => s.fullscreen === true);
    }
    // The browser's own way out (its Escape or menu): not the demo's F1.
    await page.evaluate(() => document.exitFullscreen());
    const left = await h.waitForState(page, (s) => s.fullscreen === false);
    await h.waitForState(page, (s) => s.frame > left.frame + 5);
    await page.keyboard.press('F1', { delay: 100 });
    const back = await h.waitForState(page, (s) => s.fullscreen === true, 10000);
    assert.equal(back.exitCode, null);
  });

  test("once the show has ended, the browser's keys work again", async () => {
    const { page } = shared.session;
    const before = await h.defaultsPrevented(page, ['Space']);
    assert.deepEqual(before, [['Space', true]], 'the running show keeps Space');
    await page.keyboard.press('Escape', { delay: 100 });
    assert.equal((await h.waitForState(page, (s) => s.exitCode !== null)).exitCode, 27);
    const after = await h.defaultsPrevented(page, ['Space', 'ArrowDown', 'Tab', 'Escape']);
    assert.deepEqual(after, [['Space', false], ['ArrowDown', false], ['Tab', false], ['Escape', false]]);
    assert.deepEqual(shared.session.errors, []);
  });
});
