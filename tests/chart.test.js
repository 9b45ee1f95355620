// The chart script: reading the report, the scales, the reference line, and the chart README.md
// shows, which must be the one the script makes from the recorded report and the score range of
// the trace that antorder-trace, whose path ANTORDER_TRACE gives, writes.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { test } from 'node:test';
import { programOutput } from './wasi_run.js';
import { parseReport, chartLayout, iterationX, scoreAxis, scoreY, chartSvg } from '../web/chart.js';

const here = path.dirname(fileURLToPath(import.meta.url));

const root = path.join(here, '..');
const recorded = fs.readFileSync(path.join(root, 'tests/expected_report.txt'), 'latin1');
const range = { low: 0.38, high: 0.58 };
const axis = scoreAxis(range);

// A report of the given iteration scores, as the program prints it.
function report(scores, tour = '2 - 4 - 1 - 3 - 5 - 2 - ') {
  const lines = scores.map((score, k) => `\n Iteration=${k + 1}, APFD = ${score}`);
  return `initial APFD=0.540000 \n${lines.join('')}\n Final solution: \n:${tour}`;
}

test('reads every line of the recorded report', () => {
  const run = parseReport(recorded);
  assert.equal(run.initial, 0.54);
  assert.equal(run.scores.length, 100);
  assert.equal(run.scores[0], 0.5);
  assert.equal(run.scores[99], 0.42);
  assert.deepEqual(run.finalTour, [2, 4, 1, 3, 5, 2]);
});

test('refuses what is not a whole report, saying why as the page shows it', () => {
  const whole = /^not a whole antorder report$/;
  for (const [text, message, why] of [
    [recorded.slice(0, -3), whole, 'the final tour cut short'],
    [`${recorded}\n`, whole, 'a newline the program never prints'],
    [
      recorded.replace('Iteration=7,', 'Iteration=8,'),
      /^iteration 8 where 7 was due$/,
      'out of order',
    ],
    [
      recorded.replace(' Iteration=50, APFD = 0.420000\n', ''),
      /^iteration 51 where 50 was due$/,
      'an iteration missing',
    ],
    [recorded.replace('initial APFD=0.540000 \n', ''), whole, 'no initial line'],
    [`Segmentation fault\n${recorded}`, whole, 'text before the report'],
  ]) {
    assert.throws(() => parseReport(text), { message }, why);
  }
});

test('puts the scores inside the plot, none on its axis line, iterations left to right', () => {
  for (const width of [328, 640]) {
    const plot = chartLayout(width).plot;
    assert.ok(scoreY(0.38, axis, plot) < plot.bottom - 5, 'the smallest score above the axis line');
    assert.ok(scoreY(0.58, axis, plot) > plot.top);
    assert.ok(
      scoreY(0.42, axis, plot) < scoreY(0.38, axis, plot) &&
        scoreY(0.54, axis, plot) < scoreY(0.5, axis, plot),
    );
    assert.equal(iterationX(1, 100, plot), plot.left);
    assert.equal(iterationX(100, 100, plot), plot.right);
    assert.ok(iterationX(50, 100, plot) < iterationX(51, 100, plot));
    assert.ok(plot.right < width);
  }
});

test('draws each kept score at its iteration, and the given order as the reference line', () => {
  const svg = chartSvg(parseReport(report(['0.380000', '0.580000', '0.500000'])), range);
  const plot = chartLayout(640).plot;
  const at = (iteration, score) =>
    `${iterationX(iteration, 3, plot).toFixed(1)},${scoreY(score, axis, plot).toFixed(1)}`;
  const points = /<polyline class="scores" points="([^"]*)"/.exec(svg)[1];
  assert.equal(points, `${at(1, 0.38)} ${at(2, 0.58)} ${at(3, 0.5)}`);
  const reference =
    /<line class="given-order" x1="[^"]*" y1="([^"]*)" x2="[^"]*" y2="([^"]*)"/.exec(svg);
  const y = scoreY(0.54, axis, plot).toFixed(1);
  assert.deepEqual([reference[1], reference[2]], [y, y]);
  assert.match(svg, /<title id="chart-title">[^<]+<\/title>/);
  assert.match(
    svg,
    /<desc id="chart-desc">[^<]*between 0\.38 and 0\.58[^<]*2, 4, 1, 3, 5\.<\/desc>/,
  );
});

test('drawn at a given width, it is that many units wide, its text and dots readable', () => {
  for (const width of [328, 736]) {
    const svg = chartSvg(parseReport(recorded), range, width);
    assert.match(svg, new RegExp(`viewBox="0 0 ${width} \\d+"`));
    assert.ok(Number(/font-size="(\d+)"/.exec(svg)[1]) >= 11, 'text at least 11 px');
    assert.ok(Number(/<circle [^>]*r="([\d.]+)"/.exec(svg)[1]) * 2 >= 5, 'dots at least 5 px');
  }
});

test('labels the ends of the score range and each score the report holds', () => {
  const svg = chartSvg(parseReport(report(['0.420000', '0.500000'])), range);
  const labels = [...svg.matchAll(/text-anchor="end" fill="#333">([\d.]+)</g)].map((m) => m[1]);
  assert.deepEqual(labels, ['0.38', '0.42', '0.50', '0.54', '0.58']);
});

test('beside a changed run, each run on one axis, only the changed dots lead to the replay', () => {
  const program = parseReport(report(['0.380000', '0.580000', '0.500000']));
  const changed = { initial: 0.54, scores: [0.42, 0.46, 0.5, 0.54, 0.58], finalTour: [1, 2] };
  const svg = chartSvg(program, range, 640, changed);
  const plot = chartLayout(640, true).plot;
  const at = (iteration, score) =>
    `${iterationX(iteration, 5, plot).toFixed(1)},${scoreY(score, axis, plot).toFixed(1)}`;
  const series = [...svg.matchAll(/<polyline class="scores" points="([^"]*)"/g)].map((m) => m[1]);
  assert.deepEqual(series, [
    `${at(1, 0.38)} ${at(2, 0.58)} ${at(3, 0.5)}`,
    changed.scores.map((score, k) => at(k + 1, score)).join(' '),
  ]);
  const leading = [...svg.matchAll(/data-iteration="(\d+)"/g)].map((m) => Number(m[1]));
  assert.deepEqual(leading, [1, 2, 3, 4, 5]);
  const ticks = [...svg.matchAll(/text-anchor="middle" fill="#333">(\d+)</g)].map((m) => m[1]);
  assert.deepEqual(ticks, ['1'], 'the axis of the longer run');
  const legendYs = [...svg.matchAll(/<circle cx="[^"]*" cy="([^"]*)" r="4"/g)].map((m) =>
    Number(m[1]),
  );
  assert.equal(legendYs.length, 2);
  assert.ok(
    legendYs.every((y) => y + 4 + 3 < scoreY(0.58, axis, plot)),
    'the legend above the plot, clear of the top score',
  );
  const desc = /<desc id="chart-desc">([^<]*)<\/desc>/.exec(svg)[1];
  assert.match(desc, /iterations of the program’s run keeps, between 0\.38 and 0\.58/);
  assert.match(
    desc,
    /The changed run's 5 iterations keep scores between 0\.42 and 0\.58, the last/,
  );
  // Each legend entry names a run in the colour of that run's dots, each reads clear of the next,
  // and the program's dots carry nothing but their place.
  const groups = [...svg.matchAll(/<g class="kept" fill="([^"]+)">([^]*?)<\/g>/g)];
  const lines = [...svg.matchAll(/<polyline class="scores" [^>]*stroke="([^"]+)"/g)].map(
    (m) => m[1],
  );
  assert.ok(lines[0] && lines[1] && lines[0] !== lines[1], 'each line its own colour');
  assert.match(groups[0][2], /^\n(<circle cx="[\d.]+" cy="[\d.]+" r="3"\/>\n)+$/);
  const entries = [
    ...svg.matchAll(
      /<circle cx="([\d.]+)" cy="[^"]*" r="4" fill="([^"]+)"\/><text x="([\d.]+)"[^>]*>([^<]+)</g,
    ),
  ].map(([, circle, fill, text, name]) => ({
    circle: Number(circle),
    fill,
    text: Number(text),
    name,
  }));
  assert.deepEqual(
    entries.map(({ fill, name }) => [fill, /program/.test(name), /changed/.test(name)]),
    [
      [groups[0][1], true, false],
      [groups[1][1], false, true],
    ],
  );
  assert.notEqual(groups[0][1], groups[1][1], 'each run its own colour');
  for (const colour of [...lines, ...groups.map((group) => group[1])]) {
    assert.match(colour, /^#[\da-f]{6}$/);
  }
  const [first, second] = entries;
  assert.ok(first.circle - 4 >= plot.left - 8 && first.text > first.circle + 4);
  assert.ok(second.text > second.circle + 4);
  assert.ok(first.text + first.name.length * 12 * 0.6 < second.circle - 4, 'clear of the next');
});

test('the chart README.md shows is the one the script makes from the recorded report', () => {
  const trace = JSON.parse(programOutput(process.env.ANTORDER_TRACE));
  const [low, high] = trace.instance.scoreRange;
  const kept = fs.readFileSync(path.join(root, 'doc/scores.svg'), 'utf8');
  assert.equal(
    kept,
    chartSvg(parseReport(recorded), { low, high }),
    'run: build/dev/antorder-trace | node web/chart_file.js tests/expected_report.txt /dev/stdin ' +
      '> doc/scores.svg',
  );
});
