// What the page's benchmarks share: the page alone in an empty folder, as a reader who saved it
// has it, in Debian's headless Chromium, and their results printed as a section of
// bench/results.md, with the date, the browser, the machine and the command.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launchChromium } from '../tests/browser/browsers.js';

// In the page, put there before it loads: records as window.shown when the element `id` has held
// its text, of `length` characters or else any, for two animation frames, that is once it has been
// painted.
export function markShown(id, length = null) {
  const shown = () => {
    const text = document.getElementById(id)?.textContent ?? '';
    if ((length === null ? text !== '' : text.length === length) && !window.shown) {
      window.shown = -1;
      requestAnimationFrame(() =>
        requestAnimationFrame(() => {
          window.shown = performance.now();
        }),
      );
    }
  };
  new MutationObserver(shown).observe(document, {
    childList: true,
    subtree: true,
    characterData: true,
  });
}

// Runs `measure(browser, pageFile, folder)` on a copy of `page`, and prints the section it
// returns: `{ what, table }`, a sentence on what was measured, and the lines of a Markdown table.
// `command` is the command line that made it.
export async function benchPage(command, page, measure) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'antorder-bench-'));
  const pageFile = path.join(folder, 'antorder.html');
  fs.copyFileSync(page, pageFile);
  const browser = await launchChromium();
  try {
    const { what, table } = await measure(browser, pageFile, folder);
    console.log(
      [
        '',
        `## ${new Date().toISOString().slice(0, 10)}: ${command}`,
        '',
        `In ${await browser.page.browser().version()}, headless, on ${os.cpus()[0].model}, ` +
          `${os.cpus().length} cores: ${what}`,
        '',
        ...table,
      ].join('\n'),
    );
  } catch (error) {
    console.error(error);
    process.exitCode = 1;
  } finally {
    await browser.close();
  }
}
