// Measures how long the web page takes to draw a step: the handling of the → key, pressed as a
// reader presses it, on the element that has the focus or else the body, and the style and layout
// it causes, for each of a run of steps in a row from the first, in headless Chromium, with
// "Answer first" off and on. Prints the median and the 95th percentile of each as a section of
// bench/results.md with the date, the machine and the command; one frame at 60 Hz is 16.7 ms.
// It fails, printing nothing, unless the step shown after the presses is the one they lead to
// and the page raised no error. Needs the page's development tools (npm ci) and Debian's chromium.
//   node bench/page_steps.js [page, default build/web/antorder.html] [steps, default 300] \
//     >>bench/results.md
import { benchPage } from './page_bench.js';

const [page = 'build/web/antorder.html', steps = '300'] = process.argv.slice(2);

// In the page: the milliseconds each of `count` presses of → takes, with the style and layout it
// causes, from the first step, with "Answer first" as `answering` says; the step shown after
// them, and the errors the page raised.
function timeSteps(count, answering) {
  const errors = [];
  window.addEventListener('error', (event) => errors.push(event.message));
  const mode = document.getElementById('answer-mode');
  if (mode.checked !== answering) {
    mode.click();
  }
  document.activeElement.blur();
  document.getElementById('step').value = '1';
  document.getElementById('step').dispatchEvent(new Event('input', { bubbles: true }));
  document.activeElement.blur();
  const times = [];
  for (let k = 0; k < count; ++k) {
    const start = performance.now();
    const target = document.activeElement ?? document.body;
    target.dispatchEvent(new KeyboardEvent('keydown', { key: 'ArrowRight', bubbles: true }));
    void document.body.getBoundingClientRect().height;
    times.push(performance.now() - start);
  }
  return { times, shown: document.getElementById('position').textContent, errors };
}

const quantile = (values, share) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor(share * sorted.length))];
};

await benchPage(`node bench/page_steps.js ${page} ${steps}`, page, async (browser, pageFile) => {
  await browser.open(`file://${pageFile}`);
  const rows = [];
  for (const answering of [false, true]) {
    const { times, shown, errors } = await browser.evaluate(timeSteps, Number(steps), answering);
    const expected = `Step ${(Number(steps) + 1).toLocaleString('en-GB')} of `;
    if (errors.length > 0 || !shown.startsWith(expected)) {
      throw new Error(`after ${steps} presses the page shows "${shown}", errors: ${errors}`);
    }
    const mode = answering ? 'on' : 'off';
    rows.push(
      `| "Answer first" ${mode}, median | ${quantile(times, 0.5).toFixed(1)} |`,
      `| "Answer first" ${mode}, 95th percentile | ${quantile(times, 0.95).toFixed(1)} |`,
    );
  }
  return {
    what:
      `${steps} steps in a row from the first, each the → key pressed where the focus is and ` +
      'the style and layout it causes, with "Answer first" off and on.',
    table: ['| time to draw a step | ms |', '|---|---|', ...rows],
  };
});
