// The chart script: reading the report, the scales, the reference line, and the chart README.md
// shows, which must be the one the script makes from the recorded report.
'use strict';
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { test } = require('node:test');
const { parseReport, iterationX, scoreY, chartSvg, PLOT } = require('../web/chart.js');

const root = path.join(__dirname, '..');
const recorded = fs.readFileSync(path.join(root, 'tests/expected_report.txt'), 'latin1');

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

test('refuses what is not a whole report', () => {
  for (const [text, why] of [
    [recorded.slice(0, -3), 'the final tour cut short'],
    [`${recorded}\n`, 'a newline the program never prints'],
    [recorded.replace('Iteration=7,', 'Iteration=8,'), 'an iteration out of order'],
    [recorded.replace(' Iteration=50, APFD = 0.420000\n', ''), 'an iteration missing'],
    [recorded.replace('initial APFD=0.540000 \n', ''), 'no initial line'],
  ]) {
    assert.throws(() => parseReport(text), Error, why);
  }
});

test('puts the smallest score at the bottom, the largest at the top, iterations left to right', () => {
  assert.equal(scoreY(0.38), PLOT.bottom);
  assert.ok(Math.abs(scoreY(0.58) - PLOT.top) < 1e-9);
  assert.ok(scoreY(0.42) < scoreY(0.38) && scoreY(0.54) < scoreY(0.5));
  assert.equal(iterationX(1, 100), PLOT.left);
  assert.equal(iterationX(100, 100), PLOT.right);
  assert.ok(iterationX(50, 100) < iterationX(51, 100));
});

test('draws each kept score at its iteration, and the given order as the reference line', () => {
  const svg = chartSvg(parseReport(report(['0.380000', '0.580000', '0.500000'])));
  const points = /<polyline class="scores" points="([^"]*)"/.exec(svg)[1];
  assert.equal(
    points,
    `${PLOT.left.toFixed(1)},${PLOT.bottom.toFixed(1)} ` +
      `${iterationX(2, 3).toFixed(1)},${PLOT.top.toFixed(1)} ` +
      `${PLOT.right.toFixed(1)},${scoreY(0.5).toFixed(1)}`,
  );
  const reference = /<line class="given-order" x1="[^"]*" y1="([^"]*)" x2="[^"]*" y2="([^"]*)"/.exec(svg);
  assert.deepEqual([reference[1], reference[2]], [scoreY(0.54).toFixed(1), scoreY(0.54).toFixed(1)]);
  assert.match(svg, /<title id="chart-title">[^<]+<\/title>/);
  assert.match(svg, /<desc id="chart-desc">[^<]*between 0\.38 and 0\.58[^<]*2, 4, 1, 3, 5\.<\/desc>/);
});

test('the chart README.md shows is the one the script makes from the recorded report', () => {
  const kept = fs.readFileSync(path.join(root, 'doc/scores.svg'), 'utf8');
  assert.equal(kept, chartSvg(parseReport(recorded)), 'run: node web/chart.js tests/expected_report.txt > doc/scores.svg');
});
