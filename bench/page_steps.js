// Measures how long the web page takes to draw a step: the handling of the → key and the style
// and layout it causes, for each of a run of steps in a row, in headless Chromium. Prints the
// median and the 95th percentile as a section of bench/results.md with the date, the machine and
// the command; one frame at 60 Hz is 16.7 ms. A benchmark, not a test: it fails on no time.
// Needs the page's development tools (npm ci) and Debian's chromium.
//   node bench/page_steps.js [page, default build/web/antorder.html] [steps, default 300] \
//     >>bench/results.md
import { benchPage } from './page_bench.js';

const [page = 'build/web/antorder.html', steps = '300'] = process.argv.slice(2);

// In the page: the milliseconds each of `count` presses of → takes, with the layout it causes.
function timeSteps(count) {
  const times = [];
  for (let k = 0; k < count; ++k) {
    const start = performance.now();
    document.dispatchEvent(new KeyboardEvent('keydown', { key: 'ArrowRight', bubbles: true }));
    void document.body.getBoundingClientRect().height;
    times.push(performance.now() - start);
  }
  return times;
}

const quantile = (values, share) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor(share * sorted.length))];
};

await benchPage(`node bench/page_steps.js ${page} ${steps}`, page, async (browser, pageFile) => {
  await browser.open(`file://${pageFile}`);
  const times = await browser.evaluate(timeSteps, Number(steps));
  return {
    what: `${steps} steps in a row from the first, each the → key and the layout it causes.`,
    table: [
      '| time to draw a step | ms |',
      '|---|---|',
      `| median | ${quantile(times, 0.5).toFixed(1)} |`,
      `| 95th percentile | ${quantile(times, 0.95).toFixed(1)} |`,
    ],
  };
});
