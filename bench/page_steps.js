// Measures how long the web page takes to draw a step: the handling of the → key, pressed as a
// reader presses it, on the element that has the focus or else the body, and the style and layout
// it causes, for each of a run of steps in a row from the first, in headless Chromium, with
// "Answer first" off and on, on the program's run or, given a number of iterations other than
// its 100, on the run of that many that the page's address asks for. Prints the median and the
// 95th percentile of each as a section of bench/results.md with the date, the machine and the
// command; one frame at 60 Hz is 16.7 ms. It fails, printing nothing, unless the step shown after
// the presses is the one they lead to, of the run's number of steps, and the page raised no
// error. Needs the page's development tools (npm ci) and Debian's chromium.
//   node bench/page_steps.js [page, default build/web/antorder.html] [steps, default 300] \
//     [iterations, default 100] >>bench/results.md
import { benchPage } from './page_bench.js';

const [page = 'build/web/antorder.html', steps = '300', iterations = '100'] = process.argv.slice(2);

// The steps of an iteration of the suite's search: the starts, five passes of five ants' moves
// and a local update, the end and the global update.
const STEPS_PER_ITERATION = 1 + 5 * (5 + 1) + 2;

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

const command = `node bench/page_steps.js ${page} ${steps} ${iterations}`;
await benchPage(command, page, async (browser, pageFile) => {
  const address = iterations === '100' ? '' : `#iterations=${iterations}`;
  await browser.open(`file://${pageFile}${address}`);
  const rows = [];
  const count = (number) => number.toLocaleString('en-GB');
  const total = count(Number(iterations) * STEPS_PER_ITERATION);
  for (const answering of [false, true]) {
    const { times, shown, errors } = await browser.evaluate(timeSteps, Number(steps), answering);
    const expected = `Step ${count(Number(steps) + 1)} of ${total}:`;
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
      `${steps} steps in a row from the first of a run of ${count(Number(iterations))} ` +
      `iterations (${total} steps), each the → key pressed where the focus is and ` +
      'the style and layout it causes, with "Answer first" off and on.',
    table: ['| time to draw a step | ms |', '|---|---|', ...rows],
  };
});
