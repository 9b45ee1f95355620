// The web page in Chromium, Firefox and WebKit, opened from disk with no network, as a reader
// opens it: its report byte for byte, stepping through the search by buttons, by the range and
// by the keyboard alone, to either end and no further, the kept score and pheromone table of the
// trace at the first, a middle and the last iteration, and the numbers behind the decisions: the
// suite, a trail move's weights, a faults move's counts and an iteration's scores. It is one file
// of at most 150 kB. In Chromium also: no WCAG 2.1 A or AA violation that axe-core finds at phone
// and desktop widths, nothing wider than a phone, readable chart and graph text, and a
// Content-Security-Policy that refuses every network request.
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
import { programOutput } from '../wasi_run.js';
import { engines, launchChromium } from './browsers.js';
import { scoreText, levelText, valueText } from '../../web/replay.js';

const here = path.dirname(fileURLToPath(import.meta.url));

// The page alone in an empty folder, as a reader who saved it would have it.
const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'antorder-page-'));
fs.copyFileSync(process.env.ANTORDER_PAGE, path.join(folder, 'antorder.html'));
const pageUrl = `file://${folder}/antorder.html`;

const report = fs.readFileSync(path.join(here, '..', 'expected_report.txt'), 'latin1');
const reportScores = [...report.matchAll(/APFD = (\d\.\d{6})/g)].map((match) => match[1]);
const trace = JSON.parse(programOutput(process.env.ANTORDER_TRACE));

test('is one file of at most 150 kB', () => {
  const size = fs.statSync(process.env.ANTORDER_PAGE).size;
  assert.ok(size <= 150 * 1024, `${size} bytes`);
});

// What the replay shows: the step's sentence, the moves, the pheromone cells and the kept score.
const shown = () => ({
  iteration: document.getElementById('iteration').value,
  status: document.getElementById('step-status').textContent,
  moves: [...document.querySelectorAll('#moves li')].map((item) => item.textContent),
  cells: [...document.querySelectorAll('#pheromone td')].map((cell) => cell.textContent),
  keptScore: document.getElementById('kept-score').textContent,
});

// Moves the range to `iteration`, as a reader's drag does.
const setRange = (iteration) => {
  const range = document.getElementById('iteration');
  range.value = String(iteration);
  range.dispatchEvent(new Event('input', { bubbles: true }));
};

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

    test('steps forward and back by the buttons, and to an iteration by the range', async () => {
      await browser.open(pageUrl);
      const first = await browser.evaluate(shown);
      assert.match(first.status, /^Iteration 1, pass 1 of 5:/);
      await browser.evaluate(() => document.getElementById('next').click());
      const second = await browser.evaluate(shown);
      assert.match(second.status, /^Iteration 1, pass 2 of 5:/);
      assert.notDeepEqual(second.moves, first.moves);
      await browser.evaluate(() => document.getElementById('previous').click());
      assert.deepEqual(await browser.evaluate(shown), first);
      await browser.evaluate(setRange, 37);
      const end = await browser.evaluate(shown);
      assert.equal(end.iteration, '37');
      assert.match(end.status, /^End of iteration 37:/);
      await browser.evaluate(() => document.getElementById('next').click());
      assert.match((await browser.evaluate(shown)).status, /^Iteration 38, pass 1 of 5:/);
    });

    test("shows the report's kept score and the trace's pheromone table", async () => {
      await browser.open(pageUrl);
      for (const iteration of [1, 50, 100]) {
        await browser.evaluate(setRange, iteration);
        const end = await browser.evaluate(shown);
        assert.equal(end.keptScore, reportScores[iteration - 1], `iteration ${iteration}`);
        const levels = trace.iterations[iteration - 1].pheromone.flat().map(levelText);
        assert.deepEqual(end.cells, levels, `iteration ${iteration}`);
        assert.equal(
          end.keptScore,
          scoreText(
            trace.iterations[iteration - 1].scores[trace.iterations[iteration - 1].kept - 1],
          ),
        );
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
      assert.match((await browser.evaluate(shown)).status, /^Iteration 1, pass 2 of 5:/);
      // Back to the previous-step button, over Play, and to the first step, where it stays.
      await browser.press('Shift+Tab');
      await browser.press('Shift+Tab');
      assert.equal(await browser.evaluate(focused), 'previous');
      await browser.press('Enter');
      await browser.press('Enter');
      assert.match((await browser.evaluate(shown)).status, /^Iteration 1, pass 1 of 5:/);
      assert.equal(await browser.evaluate(focused), 'previous', 'the focus stays at the end');
      // Back to the range, and along it.
      await browser.press('Shift+Tab');
      assert.equal(await browser.evaluate(focused), 'iteration');
      await browser.press('ArrowRight');
      const moved = await browser.evaluate(shown);
      assert.equal(moved.iteration, '2');
      assert.match(moved.status, /^End of iteration 2:/);
    });

    test('steps by the keys anywhere on the page but in a control that takes them', async () => {
      await browser.open(pageUrl);
      const status = () => document.getElementById('step-status').textContent;
      const play = () => document.getElementById('play').textContent;
      await browser.evaluate(() => document.activeElement.blur());
      for (const [key, expected] of [
        ['ArrowRight', /^Iteration 1, pass 2 of 5:/],
        ['ArrowLeft', /^Iteration 1, pass 1 of 5:/],
        ['End', /^End of iteration 100:/],
        ['Home', /^Iteration 1, pass 1 of 5:/],
        ['PageDown', /^Iteration 2, pass 1 of 5:/],
        ['PageUp', /^Iteration 1, pass 1 of 5:/],
      ]) {
        await browser.press(key);
        assert.match(await browser.evaluate(status), expected, key);
      }
      await browser.press('Space');
      assert.equal(await browser.evaluate(play), 'Pause');
      await browser.press('Space');
      assert.equal(await browser.evaluate(play), 'Play');
      await browser.evaluate(() => document.getElementById('iteration').focus());
      await browser.press('ArrowRight');
      assert.match(await browser.evaluate(status), /^End of iteration 2:/, 'the range moves');
    });

    test('held Enter runs to either end and stays there', async () => {
      await browser.open(pageUrl);
      const holdEnter = async (id, presses) => {
        await browser.evaluate((button) => document.getElementById(button).focus(), id);
        for (let k = 0; k < presses; ++k) {
          await browser.press('Enter');
        }
        return browser.evaluate(() => ({
          status: document.getElementById('step-status').textContent,
          focused: document.activeElement.id,
          play: document.getElementById('play').textContent,
        }));
      };
      await browser.evaluate(setRange, 99);
      const last = await holdEnter('next', 9);
      assert.match(last.status, /^End of iteration 100:/);
      assert.equal(last.focused, 'next');
      assert.equal(last.play, 'Play from the start');
      await browser.evaluate(setRange, 1);
      const first = await holdEnter('previous', 9);
      assert.match(first.status, /^Iteration 1, pass 1 of 5:/);
      assert.equal(first.focused, 'previous');
    });

    test('shows the numbers each decision was made from, as the trace has them', async () => {
      await browser.open(pageUrl);
      const tables = () =>
        [
          ...document.querySelectorAll('#suite-table tbody tr, #moves table tbody tr, #tours tr'),
        ].map((line) => ({
          table: line.closest('table').id || line.closest('table').className,
          pick: line.classList.contains('pick'),
          cells: [...line.cells].map((cell) => cell.textContent),
        }));
      const rows = await browser.evaluate(tables);
      const { instance } = trace;
      assert.deepEqual(
        rows.filter((line) => line.table === 'suite-table').map((line) => line.cells),
        instance.faultMatrix.map((detects, t) => [
          String(t + 1),
          ...detects.map((on) => (on ? '✓' : '')),
          valueText(instance.execTime[t]),
        ]),
      );
      const moves = trace.iterations[0].passes[0].moves;
      const trail = moves.find((move) => move.rule === 'trail');
      const weights = rows.filter((line) => line.table === 'weights').slice(0, 5);
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
      const counts = rows.filter((line) => line.table === 'new-faults').slice(0, 5);
      assert.deepEqual(
        counts.map((line) => line.cells[2].replace(' ← most', '')),
        faults.newFaults.map((count, t) => (t + 1 === faults.from ? 'taken' : String(count))),
      );
      assert.deepEqual(
        counts.filter((line) => line.pick).map((line) => line.cells[0]),
        [String(faults.to)],
      );
      await browser.evaluate(setRange, 37);
      const iteration = trace.iterations[36];
      const derivation = (await browser.evaluate(tables))
        .filter((line) => line.table === 'tours')
        .slice(1)
        .map((line) => line.cells.slice(2));
      assert.deepEqual(
        derivation,
        iteration.firstFound.map((positions, k) => [
          positions.join(' '),
          valueText(iteration.positionSums[k]),
          scoreText(iteration.scores[k]),
        ]),
      );
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
      await browser.evaluate(setRange, 100);
      assert.deepEqual(await browser.evaluate(violations), [], "at the last iteration's end");
    });
  }

  test("a click on the chart's dot of an iteration shows that iteration's end", async () => {
    await browser.open(pageUrl);
    await browser.page.click('#chart circle[data-iteration="37"]');
    const status = await browser.evaluate(() => document.getElementById('step-status').textContent);
    assert.match(status, /^End of iteration 37:/);
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
