// Measures how soon the web page shows a changed run, against how soon it shows its own replay
// at load. Load: from the start of navigation to the second animation frame after the replay's
// first step stands written, when it has been painted, each load in a fresh browser context.
// Changed: in the same page, from the press of Run with another seed to the second animation
// frame after, the replay then showing the first step of that run, which the Run press draws
// before it returns. Prints the median of each and their ratio, changed over load, as a section of
// bench/results.md with the date, the machine and the command. It fails, printing nothing, unless
// each time is of the run it names: the program's own run of 3,300 steps at load, and a changed
// run of the seed asked for, of as many. Needs the page's development tools (npm ci) and Debian's
// chromium.
//   node bench/page_run.js [page, default build/web/antorder.html] [runs, default 15] \
//     >>bench/results.md
import { benchPage, markShown } from './page_bench.js';

const [page = 'build/web/antorder.html', runs = '15'] = process.argv.slice(2);

// In the page: the milliseconds from the press of Run with the seed `seed` to the second frame
// after, and which run and step the replay then shows.
function timeChangedRun(seed) {
  document.getElementById('change-run').open = true;
  document.getElementById('run-seed').value = seed;
  return new Promise((resolve) => {
    const start = performance.now();
    document.getElementById('run').click();
    requestAnimationFrame(() =>
      requestAnimationFrame(() =>
        resolve({
          time: performance.now() - start,
          run: document.getElementById('run-shown').textContent,
          position: document.getElementById('position').textContent,
        }),
      ),
    );
  });
}

// Throws unless the replay shows the first step of the run `run` names, of 3,300 steps.
function check(shown, run) {
  if (!shown.run.startsWith(run) || !shown.position.startsWith('Step 1 of 3,300:')) {
    throw new Error(`measured "${shown.run}" at "${shown.position}", not ${run}`);
  }
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

await benchPage(`node bench/page_run.js ${page} ${runs}`, page, async (browser, pageFile) => {
  const times = { load: [], changed: [] };
  for (let run = 0; run < Number(runs); ++run) {
    const context = await browser.page.browser().createBrowserContext();
    const tab = await context.newPage();
    await tab.evaluateOnNewDocument(markShown, 'step-status');
    await tab.goto(`file://${pageFile}`);
    await tab.waitForFunction(() => window.shown > 0);
    const loaded = await tab.evaluate(() => ({
      time: window.shown,
      run: document.getElementById('run-shown').textContent,
      position: document.getElementById('position').textContent,
    }));
    check(loaded, 'The program’s own run: seed 12345,');
    const seed = String(run + 1);
    const changed = await tab.evaluate(timeChangedRun, seed);
    check(changed, `A changed run, not the program’s: seed ${seed},`);
    times.load.push(loaded.time);
    times.changed.push(changed.time);
    await context.close();
  }
  const [load, changed] = [median(times.load), median(times.changed)];
  return {
    what:
      `the median of ${runs} loads of the page and, in each, of one changed run of 100 ` +
      'iterations, the seed another each time.',
    table: [
      '| time to the first step of a run on screen | median |',
      '|---|---|',
      `| the program's run, from navigation | ${load.toFixed(1)} ms |`,
      `| a changed run, from the press of Run | ${changed.toFixed(1)} ms |`,
      `| ratio, changed over load | ${(changed / load).toFixed(2)} |`,
    ],
  };
});
