// Measures how soon the web page shows its report, against its static twin: the same page as
// it stands once its programs have run, saved with the report already in it and no script. Both
// load from disk in the same headless Chromium, alternately, each run in a fresh browser context;
// a run's time is from the start of navigation to the second animation frame after the report
// stands whole in <pre id="report">, when it has been painted. Prints the median of each and
// their ratio, the page's over the twin's, as a section of bench/results.md with the date, the
// machine and the command. A benchmark, not a test: it fails on no time. Needs the page's
// development tools (npm ci) and Debian's chromium.
//   node bench/page_load.js [page, default build/web/antorder.html] [runs, default 15] \
//     >>bench/results.md
import fs from 'node:fs';
import path from 'node:path';
import { benchPage, markShown } from './page_bench.js';

const [page = 'build/web/antorder.html', runs = '15'] = process.argv.slice(2);

// Milliseconds from navigation to the report on screen, for one load of `url` in a fresh context.
async function timeToReport(browser, url, length) {
  const context = await browser.page.browser().createBrowserContext();
  const tab = await context.newPage();
  await tab.evaluateOnNewDocument(markShown, 'report', length);
  await tab.goto(url);
  await tab.waitForFunction(() => window.shown > 0);
  const time = await tab.evaluate(() => window.shown);
  await context.close();
  return time;
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

await benchPage(
  `node bench/page_load.js ${page} ${runs}`,
  page,
  async (browser, pageFile, folder) => {
    // The twin: what the page shows once it has run, without its scripts.
    await browser.open(`file://${pageFile}`);
    const html = await browser.evaluate(() => document.documentElement.outerHTML);
    const length = await browser.evaluate(
      () => document.getElementById('report').textContent.length,
    );
    const twinFile = path.join(folder, 'twin.html');
    fs.writeFileSync(
      twinFile,
      `<!DOCTYPE html>\n${html.replace(/<script\b[^>]*>[^]*?<\/script>/g, '')}`,
    );
    const times = { page: [], twin: [] };
    for (let run = 0; run < Number(runs); ++run) {
      times.page.push(await timeToReport(browser, `file://${pageFile}`, length));
      times.twin.push(await timeToReport(browser, `file://${twinFile}`, length));
    }
    const [pageTime, twinTime] = [median(times.page), median(times.twin)];
    return {
      what: `the median of ${runs} loads of each, alternating.`,
      table: [
        '| time from navigation to the report on screen | median |',
        '|---|---|',
        `| the page | ${pageTime.toFixed(1)} ms |`,
        `| its static twin | ${twinTime.toFixed(1)} ms |`,
        `| ratio, page over twin | ${(pageTime / twinTime).toFixed(2)} |`,
      ],
    };
  },
);
