// Pages packed with a broken data set, and a browser without WebGL: the same
// boxes and exit codes as on Linux, the end screen, never a hang.
//   QEB_WEB_PAGE_NO_MP3       the default data without Data/demo.mp3
//   QEB_WEB_PAGE_NO_PICTURES  the default data without any .bmp file
//   QEB_WEB_PAGE_LONG_MP3     the default data with 40 minutes of MP3 at 8 kbit/s
//   QEB_WEB_PAGE              the default page
'use strict';

const { test } = require('node:test');
const assert = require('node:assert/strict');
const h = require('./harness');

// Each case: the page, the box the viewer gets (caption and text), the exit
// code. The soundtrack is looked for when the show starts, so the missing
// one shows after the click.
const cases = [
  {
    name: 'no soundtrack',
    page: 'QEB_WEB_PAGE_NO_MP3',
    box: ['MP3Player', 'Er is geen file aanwezig met de naam : Data/demo.mp3'],
    exitCode: 1,
  },
  {
    name: 'no pictures',
    page: 'QEB_WEB_PAGE_NO_PICTURES',
    box: ['ERROR', 'Initialization Failed.'],
    exitCode: 0,
  },
];

for (const { name, page: pageDir, box, exitCode } of cases) {
  test(`a data set with ${name} ends with its box and ${exitCode}`, async () => {
    const server = await h.servePage(h.input(pageDir));
    const browser = await h.launchBrowser();
    try {
      const { page, dialogs, errors } = await h.openPage(browser, server.url);
      if ((await h.state(page)).exitCode === null) await h.clickCanvas(page);
      const end = await h.waitForState(page, (s) => s.exitCode !== null, 30000);
      assert.equal(end.exitCode, exitCode);
      assert.equal(dialogs.length, 1, JSON.stringify(dialogs));
      const [caption, text] = box;
      assert.ok(dialogs[0].message.includes(caption) && dialogs[0].message.includes(text), dialogs[0].message);
      assert.ok(await h.isShown(page, '#ended'));
      assert.equal((await h.endScreen(page)).exitCode, String(exitCode));
      // The demo's key handlers went with it, whichever way it ended.
      assert.deepEqual(await h.defaultsPrevented(page, ['Space']), [['Space', false]]);
      await page.screenshot({ path: h.artifactPath(`${name.replace(/ /g, '-')}.png`) });
      assert.deepEqual(errors, []);
    } finally {
      await browser.close();
      server.stop();
    }
  });
}

// The browser decodes the whole soundtrack into 32-bit samples: 40 minutes
// would take some 440 MiB. The page measures it first, says so, and the show
// goes on without sound instead of the tab running out of memory.
test('a soundtrack too long to decode in a page gives its box, and the show goes on silent', async () => {
  const server = await h.servePage(h.input('QEB_WEB_PAGE_LONG_MP3'));
  const browser = await h.launchBrowser();
  try {
    const { page, dialogs, errors } = await h.openPage(browser, server.url);
    await page.waitForFunction(() => performance.getEntriesByType('resource').some(
      (e) => e.name.endsWith('/qeb-soundtrack.data') && e.responseEnd > 0), { timeout: 30000 });
    await h.clickCanvas(page);
    const running = await h.waitForState(page, (s) => s.frame > 60 || s.exitCode !== null);
    assert.equal(running.exitCode, null);
    assert.equal(dialogs.length, 1, JSON.stringify(dialogs));
    assert.match(dialogs[0].message, /^MP3Player: The soundtrack plays 40:00 and takes \d+ MiB once decoded at \d+ Hz, more than the 256 MiB/);
    assert.equal(await page.evaluate(() => Module.qebAudio.buffer), null);
    assert.deepEqual(errors, []);
  } finally {
    await browser.close();
    server.stop();
  }
});

test('a browser without WebGL gets a message instead of a blank canvas', async () => {
  const server = await h.servePage(h.input('QEB_WEB_PAGE'));
  const browser = await h.launchBrowser(['--disable-webgl', '--disable-3d-apis']);
  try {
    const page = await browser.newPage();
    page.on('dialog', (dialog) => dialog.accept());
    await page.goto(server.url);
    await page.waitForFunction(() => {
      const message = document.querySelector('#no-webgl');
      return message && getComputedStyle(message).display !== 'none' && message.textContent.trim() !== '';
    }, { timeout: 30000 });
    assert.match(await page.$eval('#no-webgl', (e) => e.textContent), /WebGL/);
  } finally {
    await browser.close();
    server.stop();
  }
});
