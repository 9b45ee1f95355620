// The web page in Chromium, Firefox and WebKit, opened from disk with no network, as a reader
// opens it: its report byte for byte; stepping one action at a time by the buttons, the range,
// the keyboard alone and the keys the page lists, to either end and no further; the step in the
// address; the kept score and pheromone table of the trace at the first, a middle and the last
// iteration, and the numbers behind the decisions: the suite, a trail move's weights, a faults
// move's counts and an iteration's scores; a changed run, from the panel and from an address, a
// value the trace program refuses from each, the way back to the program's run, and a question on
// a changed run. It is one file of at most 170 kB. In Chromium also:
// a click on the chart, the controls and drawings in view while stepping, no WCAG 2.1 A or AA
// violation that axe-core finds at phone and desktop widths, nothing wider than a phone, readable
// chart and graph text, and a Content-Security-Policy that refuses every network request.
// Run by the web build's checks, with the built page and trace program, native or WebAssembly:
//   ANTORDER_PAGE=build/web/antorder.html ANTORDER_TRACE=build/web/antorder-trace.wasm \
//     xvfb-run -a node --test tests/browser/
import assert from 'node:assert/strict';
import fs from 'node:fs';
import http from 'node:http';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { after, before, describe, test } from 'node:test';
import { programOutput, runProgram } from '../wasi_run.js';
import { engines, launchChromium } from './browsers.js';
import { scoreText, valueText } from '../../web/format.js';

const here = path.dirname(fileURLToPath(import.meta.url));

// The page alone in an empty folder, as a reader who saved it would have it.
const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'antorder-page-'));
fs.copyFileSync(process.env.ANTORDER_PAGE, path.join(folder, 'antorder.html'));
const pageUrl = `file://${folder}/antorder.html`;

const report = fs.readFileSync(path.join(here, '..', 'expected_report.txt'), 'latin1');
const reportScores = [...report.matchAll(/APFD = (\d\.\d{6})/g)].map((match) => match[1]);
const trace = JSON.parse(programOutput(process.env.ANTORDER_TRACE));

test('is one file of at most 170 kB', () => {
  const size = fs.statSync(process.env.ANTORDER_PAGE).size;
  assert.ok(size <= 170 * 1024, `${size} bytes`);
});

// What the replay shows: where the step stands, its sentence, its numbers, the pheromone cells,
// and the address.
const shown = () => ({
  position: document.getElementById('position').textContent,
  status: document.getElementById('step-status').textContent,
  numbers: [...document.querySelectorAll('#numbers tbody tr')].map((line) => ({
    pick: line.classList.contains('pick'),
    cells: [...line.cells].map((cell) => cell.textContent),
  })),
  cells: [...document.querySelectorAll('#pheromone td')].map((cell) => cell.firstChild.textContent),
  colours: [...document.querySelectorAll('#pheromone td')].map((cell) => cell.style.background),
  changes: [...document.querySelectorAll('#pheromone td .change')].map((span) => span.textContent),
  lit: document.querySelector('#procedure [aria-current]').dataset.line,
  address: location.hash,
});

// Moves the range to the step numbered `step` from 1, as a reader's drag does.
const setRange = (step) => {
  const range = document.getElementById('step');
  range.value = String(step);
  range.dispatchEvent(new Event('input', { bubbles: true }));
};

// The steps of an iteration: its starts, each ant's move and each pass's local update, its end
// and its global update; the number from 1 of a step of an iteration, and of an iteration's end.
const passes = trace.iterations[0].passes.length;
const ants = trace.iterations[0].passes[0].moves.length;
const perIteration = 1 + passes * (ants + 1) + 2;
const stepOf = (iteration, within) => (iteration - 1) * perIteration + within;
// A changed run, as the page's panel and address name it, and the trace its options write.
const CHANGED = { seed: '7', q0: '0.9', rho: '0.25', iterations: '40', keep: 'largest' };
const changedTrace = JSON.parse(
  programOutput(
    process.env.ANTORDER_TRACE,
    Object.entries(CHANGED).flatMap(([name, value]) => [`--${name}`, value]),
  ),
);
const changedAddress = Object.entries(CHANGED)
  .map(([name, value]) => `${name}=${value}`)
  .join('&');
// The line that says which run the replay shows, whether the comparison shows, the run's chart
// series, the panel's fields and what it says, once the address has followed the step.
const runShown = () =>
  new Promise((resolve) => setTimeout(resolve, 20)).then(() => ({
    title: document.getElementById('run-shown').textContent,
    comparison: !document.getElementById('comparison').hidden,
    series: document.querySelectorAll('#chart polyline.scores').length,
    fields: Object.fromEntries(
      ['seed', 'q0', 'rho', 'iterations', 'keep'].map((name) => [
        name,
        document.getElementById(`run-${name}`).value,
      ]),
    ),
    said: document.getElementById('change-status').textContent,
    address: location.hash,
  }));
// Fills the panel's fields with `options` and presses Run.
const runWith = (options) => {
  document.getElementById('change-run').open = true;
  for (const [name, value] of Object.entries(options)) {
    document.getElementById(`run-${name}`).value = value;
  }
  document.getElementById('run').click();
};
// What antorder-trace says when it refuses the arguments `args`.
const refusal = (args) => runProgram(process.env.ANTORDER_TRACE, args).stderr.trim();
const endOf = (iteration) => stepOf(iteration, perIteration - 1);
const moveOf = (iteration, pass, ant) => stepOf(iteration, 1 + (pass - 1) * (ants + 1) + ant);

for (const engine of engines) {
  describe(engine.name, () => {
    let browser;
    before(async () => {
      browser = await engine.launch();
    });
    after(() => browser && browser.close());

    test('shows the report byte for byte', async () => {
      await browser.open(pageUrl);
      const text = await browser.evaluate(() => document.getElementById('report').textContent);
      assert.equal(text, report);
    });

    test('steps one action at a time by the buttons, and to any step by the range', async () => {
      await browser.open(pageUrl);
      const first = await browser.evaluate(shown);
      assert.equal(first.position, 'Step 1 of 3,300: iteration 1');
      assert.equal(first.lit, 'starts');
      await browser.evaluate(() => document.getElementById('next').click());
      const second = await browser.evaluate(shown);
      assert.equal(second.position, 'Step 2 of 3,300: iteration 1, pass 1 of 5, ant 1');
      assert.match(second.status, /^Ant 1, on test \d, drew \d+/);
      await browser.evaluate(() => document.getElementById('previous').click());
      assert.deepEqual(await browser.evaluate(shown), first);
      await browser.evaluate(setRange, endOf(37));
      const end = await browser.evaluate(shown);
      assert.match(end.position, /^Step 1,220 of 3,300: iteration 37$/);
      assert.match(end.status, /^End of iteration 37: ant \d is kept/);
      assert.equal(end.lit, 'select');
      await browser.evaluate(() => document.getElementById('next').click());
      assert.match((await browser.evaluate(shown)).status, /^The global update pulled/);
    });

    test("shows the report's kept score and the trace's pheromone table", async () => {
      await browser.open(pageUrl);
      for (const iteration of [1, 50, 100]) {
        const { kept, scores, pheromone } = trace.iterations[iteration - 1];
        await browser.evaluate(setRange, endOf(iteration));
        const end = await browser.evaluate(shown);
        const keptRow = end.numbers.find((line) => line.pick);
        assert.equal(keptRow.cells[0], `${kept} (kept)`, `iteration ${iteration}`);
        assert.equal(keptRow.cells[4], reportScores[iteration - 1], `iteration ${iteration}`);
        assert.equal(keptRow.cells[4], scoreText(scores[kept - 1]));
        await browser.evaluate(setRange, endOf(iteration) + 1);
        const global = await browser.evaluate(shown);
        assert.deepEqual(
          global.cells,
          pheromone.flat().map((level) => valueText(level)),
          `iteration ${iteration}`,
        );
      }
    });

    test('puts the step in the address, and opens the step an address names', async () => {
      await browser.open(`${pageUrl}#iteration=51&step=12`);
      const named = await browser.evaluate(shown);
      assert.equal(named.position, 'Step 1,662 of 3,300: iteration 51, pass 2 of 5, ant 5');
      const length = await browser.evaluate(() => history.length);
      await browser.evaluate(() => document.getElementById('next').click());
      const next = await browser.evaluate(shown);
      assert.equal(next.address, '#iteration=51&step=13');
      assert.equal(await browser.evaluate(() => history.length), length, 'no entry a step');
      for (const address of ['#iteration=x&step=-3', '#iteration=900&step=900']) {
        await browser.open(`${pageUrl}${address}`);
        assert.match((await browser.evaluate(shown)).position, /^Step (1|3,300) of 3,300/);
      }
    });

    test('steps by the keyboard alone', async () => {
      await browser.open(pageUrl);
      const focused = () => document.activeElement && document.activeElement.id;
      for (let presses = 0; (await browser.evaluate(focused)) !== 'next'; ++presses) {
        assert.ok(presses < 20, 'Tab reaches the next-step button');
        await browser.press('Tab');
      }
      await browser.press('Enter');
      assert.match((await browser.evaluate(shown)).position, /^Step 2 of/);
      // Back to the previous-step button, over Play, and to the first step, where it stays.
      await browser.press('Shift+Tab');
      await browser.press('Shift+Tab');
      assert.equal(await browser.evaluate(focused), 'previous');
      await browser.press('Enter');
      await browser.press('Enter');
      assert.match((await browser.evaluate(shown)).position, /^Step 1 of/);
      assert.equal(await browser.evaluate(focused), 'previous', 'the focus stays at the end');
      // Back to the range, and along it.
      await browser.press('Shift+Tab');
      assert.equal(await browser.evaluate(focused), 'step');
      await browser.press('ArrowRight');
      assert.match((await browser.evaluate(shown)).position, /^Step 2 of/);
    });

    test('steps by the keys anywhere on the page but in a control that takes them', async () => {
      await browser.open(pageUrl);
      const position = () => document.getElementById('position').textContent;
      const play = () => document.getElementById('play').textContent;
      await browser.evaluate(() => document.activeElement.blur());
      for (const [key, expected] of [
        ['ArrowRight', /^Step 2 of/],
        ['ArrowLeft', /^Step 1 of/],
        ['End', /^Step 3,300 of 3,300: iteration 100$/],
        ['Home', /^Step 1 of/],
        ['PageDown', /^Step 34 of 3,300: iteration 2$/],
        ['PageUp', /^Step 1 of/],
      ]) {
        await browser.press(key);
        assert.match(await browser.evaluate(position), expected, key);
      }
      await browser.press('Space');
      assert.equal(await browser.evaluate(play), 'Pause');
      await browser.press('Space');
      assert.equal(await browser.evaluate(play), 'Play');
    });

    test('asks first in the answering mode, then says whether the answer was right', async () => {
      await browser.open(`${pageUrl}#iteration=1&step=2`);
      const { moves } = trace.iterations[0].passes[0];
      const asked = () => ({
        status: document.getElementById('step-status').textContent,
        choices: [...document.querySelectorAll('#question button')].map((b) => b.dataset.choice),
        count: document.getElementById('answer-count').textContent,
        headings: [...document.querySelectorAll('#numbers thead th')].map((th) => th.textContent),
      });
      await browser.evaluate(() => document.getElementById('answer-mode').click());
      const first = await browser.evaluate(asked);
      assert.match(first.status, /Which test does it take\?$/);
      assert.deepEqual(
        first.headings.slice(1, 3),
        ['Pheromone', 'Run time²'],
        'what the rule reads',
      );
      assert.ok(!first.headings.includes('Weight'), 'the weights wait for the answer');
      assert.ok(first.choices.includes(String(moves[0].to)));
      await browser.evaluate(
        (to) => document.querySelector(`#question [data-choice="${to}"]`).click(),
        moves[0].to,
      );
      const right = await browser.evaluate(asked);
      assert.match(right.status, /^Right: ant 1 takes test \d\./);
      assert.equal(right.count, 'Right answers: 1 of 1');
      await browser.evaluate(() => document.getElementById('next').click());
      const wrong = (await browser.evaluate(asked)).choices.find((c) => c !== String(moves[1].to));
      // The keyboard alone: the choice focused, and Enter.
      await browser.evaluate(
        (choice) => document.querySelector(`#question [data-choice="${choice}"]`).focus(),
        wrong,
      );
      await browser.press('Enter');
      const after = await browser.evaluate(asked);
      assert.match(after.status, new RegExp(`^Not this time: you chose test ${wrong}`));
      assert.equal(after.count, 'Right answers: 1 of 2');
    });

    test('held Enter runs to either end and stays there', async () => {
      await browser.open(pageUrl);
      const holdEnter = async (id, presses) => {
        await browser.evaluate((button) => document.getElementById(button).focus(), id);
        for (let k = 0; k < presses; ++k) {
          await browser.press('Enter');
        }
        return browser.evaluate(() => ({
          position: document.getElementById('position').textContent,
          focused: document.activeElement.id,
          play: document.getElementById('play').textContent,
        }));
      };
      await browser.evaluate(setRange, 3295);
      const last = await holdEnter('next', 9);
      assert.match(last.position, /^Step 3,300 of 3,300/);
      assert.equal(last.focused, 'next');
      assert.equal(last.play, 'Play from the start');
      await browser.evaluate(setRange, 4);
      const first = await holdEnter('previous', 9);
      assert.match(first.position, /^Step 1 of/);
      assert.equal(first.focused, 'previous');
    });

    test('steps by the arrows right after "Answer first" is ticked, and Page Down in the last iteration goes to its end', async () => {
      await browser.open(pageUrl);
      const position = () => document.getElementById('position').textContent;
      await browser.evaluate(() => document.getElementById('answer-mode').focus());
      await browser.press('Space');
      assert.ok(await browser.evaluate(() => document.getElementById('answer-mode').checked));
      await browser.press('ArrowRight');
      assert.match(
        await browser.evaluate(position),
        /^Step 2 of/,
        'the arrow on the checkbox steps',
      );
      await browser.evaluate(setRange, stepOf(100, 3));
      await browser.evaluate(() => document.activeElement.blur());
      await browser.press('PageDown');
      assert.match(await browser.evaluate(position), /^Step 3,300 of 3,300/);
    });

    test('shades a level alike on every step, and a local update changes the shades of the levels it changes', async () => {
      // The last move of pass 1 of iteration 2, then the local update after it.
      await browser.open(`${pageUrl}#iteration=2&step=${1 + ants}`);
      const before = await browser.evaluate(shown);
      await browser.evaluate(() => document.getElementById('next').click());
      const after = await browser.evaluate(shown);
      assert.match(after.status, /local update moved every level/);
      let changed = 0;
      before.cells.forEach((text, k) => {
        if (text === after.cells[k]) {
          assert.equal(after.colours[k], before.colours[k], `the level ${text} keeps its shade`);
          assert.equal(after.changes[k], '', 'an unchanged level shows no change');
        } else {
          changed += 1;
          assert.notEqual(after.colours[k], before.colours[k], `${text} → ${after.cells[k]} shows`);
          assert.equal(after.changes[k], Number(after.cells[k]) > Number(text) ? '↑' : '↓');
        }
      });
      assert.ok(changed > 0, 'the update changes levels');
    });

    test('shows the numbers each decision was made from, as the trace has them', async () => {
      await browser.open(pageUrl);
      const suite = await browser.evaluate(() =>
        [...document.querySelectorAll('#suite-table tbody tr')].map((line) =>
          [...line.cells].map((cell) => cell.textContent),
        ),
      );
      const { instance } = trace;
      assert.deepEqual(
        suite,
        instance.faultMatrix.map((detects, t) => [
          String(t + 1),
          ...detects.map((on) => (on ? '✓' : '')),
          valueText(instance.execTime[t]),
        ]),
      );
      const moves = trace.iterations[0].passes[0].moves;
      const trail = moves.find((move) => move.rule === 'trail');
      await browser.evaluate(setRange, moveOf(1, 1, trail.ant));
      const weights = (await browser.evaluate(shown)).numbers;
      assert.deepEqual(
        weights.filter((line) => line.cells[3] !== 'taken').map((line) => line.cells[3]),
        trail.weights
          .map((weight, t) => valueText(weight) + (t + 1 === trail.to ? ' ← largest' : ''))
          .filter((_, t) => t + 1 !== trail.from),
      );
      assert.deepEqual(
        weights.filter((line) => line.pick).map((line) => line.cells[0]),
        [String(trail.to)],
      );
      const faults = moves.find((move) => move.rule === 'faults');
      await browser.evaluate(setRange, moveOf(1, 1, faults.ant));
      const counts = (await browser.evaluate(shown)).numbers;
      assert.deepEqual(
        counts.map((line) => line.cells[2].replace(' ← most', '')),
        faults.newFaults.map((count, t) => (t + 1 === faults.from ? 'taken' : String(count))),
      );
      assert.deepEqual(
        counts.filter((line) => line.pick).map((line) => line.cells[0]),
        [String(faults.to)],
      );
      await browser.evaluate(setRange, endOf(37));
      const iteration = trace.iterations[36];
      assert.deepEqual(
        (await browser.evaluate(shown)).numbers.map((line) => line.cells.slice(2)),
        iteration.firstFound.map((positions, k) => [
          positions.join(' '),
          valueText(iteration.positionSums[k]),
          scoreText(iteration.scores[k]),
        ]),
      );
    });

    test("runs a changed run from the panel, shows its numbers, and returns to the program's", async () => {
      await browser.open(pageUrl);
      await browser.evaluate(runWith, CHANGED);
      const changed = await browser.evaluate(runShown);
      assert.equal(
        changed.title,
        'A changed run, not the program’s: seed 7, q0 0.9, rho 0.25, 40 iterations, the ' +
          'largest score kept.',
      );
      assert.deepEqual(
        [changed.comparison, changed.series, changed.fields, changed.said],
        [true, 2, CHANGED, ''],
      );
      assert.equal(changed.address, `#${changedAddress}&iteration=1&step=1`);
      const { kept, scores, pheromone } = changedTrace.iterations[36];
      await browser.evaluate(setRange, endOf(37));
      const end = await browser.evaluate(shown);
      assert.match(end.position, /^Step 1,220 of 1,320: iteration 37$/);
      const keptRow = end.numbers.find((line) => line.pick).cells;
      assert.deepEqual([keptRow[0], keptRow[4]], [`${kept} (kept)`, scoreText(scores[kept - 1])]);
      await browser.evaluate(setRange, endOf(37) + 1);
      assert.deepEqual(
        (await browser.evaluate(shown)).cells,
        pheromone.flat().map((level) => valueText(level)),
      );
      await browser.evaluate(() => document.getElementById('program-run').click());
      const program = await browser.evaluate(runShown);
      assert.match(program.title, /^The program’s own run: seed 12345, q0 0\.5, rho 0\.8, 100 /);
      assert.deepEqual([program.comparison, program.series], [false, 1]);
      assert.equal(program.address, '#iteration=1&step=1');
      assert.equal((await browser.evaluate(shown)).position, 'Step 1 of 3,300: iteration 1');
    });

    test('opens a shared address at its run and step, and refuses a value from an address or the panel, staying', async () => {
      await browser.open(`${pageUrl}#${changedAddress}&iteration=3&step=2`);
      const { draw, from } = changedTrace.iterations[2].passes[0].moves[0];
      const opened = await browser.evaluate(shown);
      assert.equal(opened.position, 'Step 68 of 1,320: iteration 3, pass 1 of 5, ant 1');
      assert.match(opened.status, new RegExp(`^Ant 1, on test ${from}, drew ${draw}:`));
      assert.deepEqual((await browser.evaluate(runShown)).fields, CHANGED);
      await browser.evaluate(runWith, { q0: '1.5' });
      const refused = await browser.evaluate(runShown);
      assert.equal(refused.said, refusal(['--q0', '1.5']));
      assert.match(refused.title, /^A changed run, not the program’s: seed 7, q0 0\.9,/);
      assert.equal((await browser.evaluate(shown)).position, opened.position, 'the run stays');
      await browser.evaluate(() => {
        location.hash = '#keep=most&iteration=2&step=1';
      });
      await browser.evaluate(() => new Promise((resolve) => setTimeout(resolve, 50)));
      const followed = await browser.evaluate(runShown);
      assert.equal(followed.said, refusal(['--keep', 'most']));
      assert.equal(followed.title, refused.title, 'the run stays');
      await browser.open(`${pageUrl}#iterations=5000&iteration=2&step=1`);
      const opening = await browser.evaluate(runShown);
      assert.equal(opening.said, refusal(['--iterations', '5000']));
      assert.match(opening.title, /^The program’s own run/);
      assert.ok(await browser.evaluate(() => document.getElementById('change-run').open));
    });

    test('asks and answers a question on a changed run', async () => {
      await browser.open(`${pageUrl}#q0=0&iteration=1&step=2`);
      const faultsOnly = JSON.parse(programOutput(process.env.ANTORDER_TRACE, ['--q0', '0']));
      const { to } = faultsOnly.iterations[0].passes[0].moves[0];
      await browser.evaluate(() => document.getElementById('answer-mode').click());
      const status = () => document.getElementById('step-status').textContent;
      assert.match(await browser.evaluate(status), /Which test does it take\?$/);
      await browser.evaluate(
        (choice) => document.querySelector(`#question [data-choice="${choice}"]`).click(),
        to,
      );
      assert.match(await browser.evaluate(status), new RegExp(`^Right: ant 1 takes test ${to}\\.`));
    });
  });
}

describe('Chromium, for what one engine shows of all', () => {
  let browser;
  before(async () => {
    browser = await launchChromium();
  });
  after(() => browser && browser.close());

  const axeSource = fs.readFileSync(
    createRequire(import.meta.url).resolve('axe-core/axe.min.js'),
    'utf8',
  );
  for (const width of [360, 1280]) {
    test(`axe-core finds no WCAG 2.1 A or AA violation at ${width} px`, async () => {
      await browser.open(pageUrl, { width, height: 800 });
      await browser.evaluate(axeSource);
      const violations = () =>
        window.axe
          .run(document, {
            runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'] },
          })
          .then((result) => result.violations.map((v) => `${v.id}: ${v.nodes.length}`));
      assert.deepEqual(await browser.evaluate(violations), [], 'at the first step');
      await browser.evaluate(setRange, endOf(100));
      assert.deepEqual(await browser.evaluate(violations), [], "at the last iteration's end");
      await browser.evaluate(runWith, CHANGED);
      assert.deepEqual(await browser.evaluate(violations), [], 'the panel open on a changed run');
      await browser.evaluate(runWith, { rho: '-1' });
      assert.deepEqual(await browser.evaluate(violations), [], 'the panel saying why it refused');
    });
  }

  // The ids of the elements that are not wholly inside the window.
  const outside = (ids) =>
    ids.filter((id) => {
      const box = document.getElementById(id).getBoundingClientRect();
      return box.top < 0 || box.bottom > innerHeight || box.left < 0 || box.right > innerWidth;
    });

  test("a click on the chart's dot of an iteration shows that iteration's end, in view", async () => {
    await browser.open(pageUrl);
    await browser.page.click('#chart circle[data-iteration="37"]');
    const status = await browser.evaluate(() => document.getElementById('step-status').textContent);
    assert.match(status, /^End of iteration 37:/);
    assert.deepEqual(await browser.evaluate(outside, ['step-status', 'graph', 'numbers']), []);
    await browser.open(`${pageUrl}#${changedAddress}`);
    await browser.page.click('#chart circle[data-iteration="37"]');
    assert.match(
      await browser.evaluate(() => document.getElementById('position').textContent),
      /^Step 1,220 of 1,320: iteration 37$/,
      "beside a changed run, its dot goes to the changed run's iteration",
    );
  });

  test("a link to a step opens with the step's sentence, its numbers and, on a wide screen, its graph in view", async () => {
    for (const [width, height, inView] of [
      [1280, 800, ['step-status', 'graph', 'numbers']],
      [360, 740, ['step-status', 'numbers']],
    ]) {
      await browser.open(`${pageUrl}#iteration=37&step=3`, { width, height });
      assert.deepEqual(await browser.evaluate(outside, inView), [], `at ${width} px`);
    }
  });

  test('a question shows the numbers it needs beside it', async () => {
    for (const [width, height] of [
      [1280, 800],
      [360, 740],
    ]) {
      for (const within of [3, perIteration - 1]) {
        await browser.open(`${pageUrl}#iteration=37&step=${within}`, { width, height });
        await browser.evaluate(() => document.getElementById('answer-mode').click());
        await browser.evaluate(() => document.getElementById('words').scrollIntoView());
        const open = await browser.evaluate(() => !document.getElementById('question').hidden);
        assert.ok(open, 'a question is open');
        assert.deepEqual(
          await browser.evaluate(outside, ['question', 'numbers']),
          [],
          `at ${width} px, step ${within}`,
        );
      }
    }
  });

  test('Play stops at an open question, and does not skip it', async () => {
    await browser.open(`${pageUrl}#iteration=2&step=1`);
    await browser.evaluate(() => {
      document.getElementById('answer-mode').click();
      document.getElementById('speed').value = '200';
      document.getElementById('play').click();
    });
    await new Promise((resolve) => setTimeout(resolve, 1000));
    const state = await browser.evaluate(() => ({
      position: document.getElementById('position').textContent,
      play: document.getElementById('play').textContent,
      asking: !document.getElementById('question').hidden,
    }));
    assert.deepEqual(state, {
      position: 'Step 35 of 3,300: iteration 2, pass 1 of 5, ant 1',
      play: 'Play',
      asking: true,
    });
    await browser.evaluate(() => document.getElementById('play').click());
    assert.equal(
      await browser.evaluate(() => document.getElementById('position').textContent),
      state.position,
      'Play on the open question leaves it open',
    );
  });

  test('at 360 px no step scrolls sideways, asked or shown', async () => {
    await browser.open(pageUrl, { width: 360, height: 740 });
    const wide = await browser.evaluate((steps) => {
      const found = [];
      const range = document.getElementById('step');
      for (const answering of [false, true]) {
        if (document.getElementById('answer-mode').checked !== answering) {
          document.getElementById('answer-mode').click();
        }
        for (let step = 1; step <= steps; ++step) {
          range.value = String(step);
          range.dispatchEvent(new Event('input', { bubbles: true }));
          if (document.documentElement.scrollWidth > innerWidth) {
            found.push(`step ${step}${answering ? ', asked' : ''}`);
          }
        }
      }
      return found;
    }, 10 * perIteration);
    assert.deepEqual(wide, []);
  });

  test('says why where the trace is no trace, or its program cannot run', async () => {
    const html = fs.readFileSync(process.env.ANTORDER_PAGE, 'utf8');
    const program = (id) =>
      new RegExp(`(<script type="application/wasm;base64" id="${id}">)([^<]*)(</script>)`);
    const report = program('antorder-program').exec(html)[2];
    for (const [content, reason] of [
      [report, /^antorder-trace did not write its trace \(.+\)\.$/],
      ['AAAA', /^antorder-trace did not write its trace \(.+\)\.$/],
    ]) {
      const file = path.join(folder, 'broken.html');
      fs.writeFileSync(
        file,
        html.replace(program('trace-program'), (_, a, __, b) => a + content + b),
      );
      await browser.page.goto(`file://${file}`);
      await browser.page.waitForFunction(() =>
        /did not/.test(document.getElementById('status').textContent),
      );
      const status = await browser.evaluate(() => document.getElementById('status').textContent);
      assert.match(status, reason);
    }
  });

  test("a level pointed at in a move's table is marked in the heat map and the graph", async () => {
    const moves = trace.iterations[0].passes[0].moves;
    const trail = moves.find((move) => move.rule === 'trail');
    await browser.open(`${pageUrl}#iteration=1&step=${1 + trail.ant}`);
    const edge = `${trail.from}-${trail.to}`;
    await browser.page.hover(`#numbers tr[data-edge="${edge}"]`);
    const marked = () => ({
      cells: [...document.querySelectorAll('#pheromone td.linked')].map((td) => td.dataset.edge),
      bands: document.querySelectorAll('#graph line.linked').length,
    });
    assert.deepEqual(await browser.evaluate(marked), { cells: [edge], bands: 1 });
    await browser.page.hover(`#pheromone td[data-edge="${edge}"]`);
    assert.deepEqual(
      await browser.evaluate(() =>
        [...document.querySelectorAll('#numbers tr.linked')].map((tr) => tr.dataset.edge),
      ),
      [edge],
      'and the reverse',
    );
    await browser.page.hover('h1');
    assert.deepEqual(await browser.evaluate(marked), { cells: [], bands: 0 });
  });

  test('keeps the controls, and at 1280 px the graph and the heat map, in view as it steps', async () => {
    // At 1280 px the reader reads the step's words beside the drawings; at 360 px, further down.
    for (const [width, height, readAt, inView] of [
      [1280, 800, 'replay', ['next', 'graph', 'pheromone', 'step-status', 'numbers']],
      [360, 740, 'procedure', ['next', 'step']],
    ]) {
      await browser.open(`${pageUrl}#iteration=37&step=20`, { width, height });
      await browser.evaluate((id) => document.getElementById(id).scrollIntoView(), readAt);
      await browser.evaluate(() => document.getElementById('next').click());
      const outside = await browser.evaluate(
        (ids) =>
          ids.filter((id) => {
            const box = document.getElementById(id).getBoundingClientRect();
            return box.top < 0 || box.bottom > innerHeight || box.right > innerWidth;
          }),
        inView,
      );
      assert.deepEqual(outside, [], `at ${width} px`);
    }
  });

  test('at 360 px nothing is wider than the window, and the drawings are readable', async () => {
    await browser.open(pageUrl, { width: 360, height: 800 });
    const sizes = await browser.evaluate(() => {
      const scale = (svg) => svg.getBoundingClientRect().width / svg.viewBox.baseVal.width;
      const texts = [...document.querySelectorAll('#chart text, #graph text')].map(
        (text) => parseFloat(getComputedStyle(text).fontSize) * scale(text.ownerSVGElement),
      );
      const dots = [...document.querySelectorAll('#chart circle')].map(
        (dot) => 2 * dot.r.baseVal.value * scale(dot.ownerSVGElement),
      );
      return {
        documentWidth: document.documentElement.scrollWidth,
        windowWidth: window.innerWidth,
        smallestText: Math.min(...texts),
        smallestDot: Math.min(...dots),
      };
    });
    assert.ok(sizes.documentWidth <= sizes.windowWidth, JSON.stringify(sizes));
    assert.ok(sizes.smallestText >= 11, JSON.stringify(sizes));
    assert.ok(sizes.smallestDot >= 5, JSON.stringify(sizes));
  });

  test('its Content-Security-Policy refuses a network request, and nothing else', async () => {
    let requests = 0;
    const server = http.createServer((request, response) => {
      ++requests;
      response.end('reached');
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    try {
      await browser.page.evaluateOnNewDocument(() => {
        window.violations = [];
        document.addEventListener('securitypolicyviolation', (event) =>
          window.violations.push(event.violatedDirective),
        );
      });
      await browser.open(pageUrl);
      assert.deepEqual(await browser.evaluate(() => window.violations), [], 'while it runs');
      const url = `http://127.0.0.1:${server.address().port}/`;
      const fetched = await browser.evaluate(
        (address) =>
          fetch(address).then(
            () => 'fetched',
            () => 'refused',
          ),
        url,
      );
      assert.equal(fetched, 'refused');
      assert.equal(requests, 0);
      assert.deepEqual(await browser.evaluate(() => window.violations), ['connect-src']);
    } finally {
      server.close();
    }
  });
});
