// The three browser engines the page is tested in, each driven as installed by Debian, never a
// downloaded browser: Chromium and Firefox ESR through puppeteer-core, Firefox over WebDriver
// BiDi, and WebKitGTK's MiniBrowser through WebKitWebDriver's W3C WebDriver, which needs a display
// (xvfb-run gives one). Each launch gives the same small interface:
//   open(url, viewport)      loads the page afresh and waits until its replay is ready;
//   evaluate(fn, ...args)    runs `fn` in the page and returns its result;
//   press(key)               presses a key ('Tab', 'Enter', 'ArrowRight') where the focus is,
//                            or a key with Shift held ('Shift+Tab');
//   close()                  ends the browser.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

// Waits until `ready()` resolves to true, for at most ten seconds.
async function waitFor(ready, what) {
  for (const start = Date.now(); Date.now() - start < 10000;) {
    if (await ready()) {
      return;
    }
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  throw new Error(`timed out waiting for ${what}`);
}

// Whether the page's replay shows its first step, which it does once both programs have run.
const replayReady = () => document.getElementById('step-status').textContent !== '';

// A browser that puppeteer-core drives.
async function puppeteerBrowser(options) {
  const browser = await puppeteer.launch(options);
  const page = await browser.newPage();
  return {
    page,
    async open(url, viewport = { width: 1280, height: 900 }) {
      await page.setViewport(viewport);
      // A blank page first, so that an address that differs in its hash alone loads afresh.
      await page.goto('about:blank');
      await page.goto(url);
      await waitFor(() => page.evaluate(replayReady), 'the replay');
    },
    evaluate: (fn, ...args) => page.evaluate(fn, ...args),
    async press(keys) {
      const [key, ...held] = keys.split('+').reverse();
      for (const modifier of held) {
        await page.keyboard.down(modifier);
      }
      // puppeteer names the space bar by its character in every protocol it speaks.
      await page.keyboard.press(key === 'Space' ? ' ' : key);
      for (const modifier of held) {
        await page.keyboard.up(modifier);
      }
    },
    close: () => browser.close(),
  };
}

export function launchChromium() {
  return puppeteerBrowser({
    executablePath: '/usr/bin/chromium',
    args: [
      '--no-sandbox',
      '--disable-gpu',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
      '--no-first-run',
    ],
  });
}

function launchFirefox() {
  return puppeteerBrowser({
    browser: 'firefox',
    executablePath: '/usr/bin/firefox-esr',
    userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), 'antorder-firefox-')),
  });
}

// A port on the loopback interface that nothing listens on.
function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.on('error', reject);
    server.listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

// The W3C WebDriver names of the keys the tests press.
const WEBDRIVER_KEYS = {
  Tab: '\uE004',
  Enter: '\uE007',
  Shift: '\uE008',
  Space: '\uE00D',
  PageUp: '\uE00E',
  PageDown: '\uE00F',
  End: '\uE010',
  Home: '\uE011',
  ArrowLeft: '\uE012',
  ArrowRight: '\uE014',
};

async function launchWebKit() {
  const port = await freePort();
  const driver = spawn('WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore' });
  const call = async (method, route, body) => {
    const response = await fetch(`http://127.0.0.1:${port}${route}`, {
      method,
      headers: { 'content-type': 'application/json' },
      body: body && JSON.stringify(body),
    });
    const { value } = await response.json();
    if (value && value.error) {
      throw new Error(`WebDriver ${route}: ${value.error}: ${value.message}`);
    }
    return value;
  };
  await waitFor(
    () =>
      call('GET', '/status').then(
        (status) => status.ready,
        () => false,
      ),
    'WebKitWebDriver',
  );
  const session = await call('POST', '/session', {
    capabilities: {
      alwaysMatch: {
        'webkitgtk:browserOptions': {
          binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser',
          args: ['--automation'],
        },
      },
    },
  });
  const route = (rest) => `/session/${session.sessionId}${rest}`;
  const evaluate = (fn, ...args) =>
    call('POST', route('/execute/async'), {
      script: `Promise.resolve((${fn}).apply(null, Array.from(arguments).slice(0, -1))).then(arguments[arguments.length - 1]);`,
      args,
    });
  return {
    async open(url) {
      await call('POST', route('/url'), { url: 'about:blank' });
      await call('POST', route('/url'), { url });
      await waitFor(() => evaluate(replayReady), 'the replay');
    },
    evaluate,
    press(keys) {
      // The keys down in order, the key last, and up again in the reverse order.
      const values = keys.split('+').map((key) => WEBDRIVER_KEYS[key]);
      const down = values.map((value) => ({ type: 'keyDown', value }));
      const up = values.reverse().map((value) => ({ type: 'keyUp', value }));
      return call('POST', route('/actions'), {
        actions: [{ type: 'key', id: 'keyboard', actions: [...down, ...up] }],
      });
    },
    async close() {
      await call('DELETE', route(''));
      driver.kill();
    },
  };
}

export const engines = [
  { name: 'Chromium', launch: launchChromium },
  { name: 'Firefox', launch: launchFirefox },
  { name: 'WebKit', launch: launchWebKit },
];
