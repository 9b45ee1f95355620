// The replay's pure functions: the steps, the words of a move and of a step, the formatting of
// scores, draws and levels, and where the graph puts tests and ants.
'use strict';
const assert = require('node:assert/strict');
const { test } = require('node:test');
const replay = require('../web/replay.js');

const { END, firstStep, endOf, nextStep, previousStep, isLastStep } = replay;

test('steps through five passes and the end of each iteration, and stops at either end', () => {
  const steps = [firstStep()];
  while (!isLastStep(steps[steps.length - 1], 3)) {
    steps.push(nextStep(steps[steps.length - 1], 3));
  }
  assert.equal(steps.length, 3 * 6);
  assert.deepEqual(steps.slice(4, 8), [
    { iteration: 1, pass: 5 },
    endOf(1),
    { iteration: 2, pass: 1 },
    { iteration: 2, pass: 2 },
  ]);
  assert.deepEqual(nextStep(endOf(3), 3), endOf(3), 'no step after the last');
  assert.deepEqual(previousStep(firstStep()), firstStep(), 'no step before the first');
  for (let k = 1; k < steps.length; ++k) {
    assert.deepEqual(previousStep(steps[k]), steps[k - 1]);
  }
  assert.equal(endOf(7).pass, END);
});

test('writes scores as the report does, and levels with three significant digits', () => {
  for (const [score, text] of [
    [0.539999962, '0.540000'],
    [0.419999987, '0.420000'],
    [0.5, '0.500000'],
    [0.379999995, '0.380000'],
    [0.579999983, '0.580000'],
  ]) {
    assert.equal(replay.scoreText(score), text);
  }
  assert.equal(replay.levelText(0.0166666675), '0.0167');
  assert.equal(replay.levelText(1.7424637), '1.74');
});

test('puts a move into words, its draw always on the side of one half that its rule shows', () => {
  assert.equal(
    replay.moveWords({ ant: 2, from: 3, to: 5, draw: 12124, rule: 'trail' }),
    'Ant 2, on test 3, drew 0.37, below 0.5: follows the trail to test 5.',
  );
  assert.equal(
    replay.moveWords({ ant: 1, from: 1, to: 2, draw: 20000, rule: 'faults' }),
    'Ant 1, on test 1, drew 0.61, not below 0.5: takes test 2, which adds the most faults it ' +
      'has not detected yet.',
  );
  assert.equal(
    replay.moveWords({ ant: 4, from: 5, to: 3, draw: null, rule: 'home' }),
    'Ant 4, on test 5, has taken every test: it returns to test 3, where it started.',
  );
  assert.equal(replay.drawText(16383, 'trail'), '0.49998', 'just below one half');
  assert.equal(replay.drawText(16384, 'faults'), '0.50');
  assert.equal(replay.drawText(0, 'trail'), '0.00');
  assert.equal(replay.drawText(32767, 'faults'), '1.00');
});

test('says why the iteration keeps its ant: the smallest score, the first ant on a tie', () => {
  const scores = [0.539999962, 0.419999987, 0.579999983, 0.419999987, 0.5];
  assert.equal(
    replay.keptWords(scores, 2),
    'Ants 2 and 4 share the smallest score, 0.420000; the first of them, ant 2, is kept.',
  );
  assert.equal(
    replay.keptWords([0.5, 0.46, 0.54, 0.58, 0.5], 2),
    'Ant 2 is kept: its score, 0.460000, is the smallest of the five.',
  );
  assert.deepEqual(replay.tourEdges([2, 4, 1, 3, 5, 2]), [
    [2, 4],
    [4, 1],
    [1, 3],
    [3, 5],
    [5, 2],
  ]);
  assert.equal(replay.tourText([2, 4, 1, 3, 5, 2]), '2 → 4 → 1 → 3 → 5 → 2');
});

test('puts a step into one sentence, grouping the ants by the rule they followed', () => {
  const move = (ant, rule) => ({ ant, from: 1, to: 2, draw: rule === 'home' ? null : 1, rule });
  const iteration = {
    passes: [
      {
        moves: ['trail', 'faults', 'faults', 'trail', 'trail'].map((rule, k) => move(k + 1, rule)),
      },
    ],
    scores: [0.54, 0.42, 0.58, 0.5, 0.46],
    kept: 2,
  };
  assert.equal(
    replay.stepWords(iteration, firstStep()),
    'Iteration 1, pass 1 of 5: ants 1, 4 and 5 followed the trail; ants 2 and 3 took the test ' +
      'that adds the most new faults.',
  );
  assert.match(
    replay.stepWords(iteration, endOf(1)),
    /^End of iteration 1: ant 2 is kept, with score 0\.420000/,
  );
});

test('lays the graph out inside its width, the ants beside the tests and apart', () => {
  for (const width of [328, 736]) {
    const layout = replay.graphLayout(width);
    assert.ok(layout.width <= width);
    for (let test = 1; test <= 5; ++test) {
      const spots = [1, 2, 3, 4, 5].map((ant) => replay.antSpot(test, ant, layout));
      for (const spot of spots) {
        assert.ok(spot.x - 9 >= 0 && spot.x + 9 <= layout.width, `x of a marker at test ${test}`);
        assert.ok(spot.y - 9 >= 0 && spot.y + 9 <= layout.height, `y of a marker at test ${test}`);
        const centre = layout.tests[test - 1];
        assert.ok(Math.hypot(spot.x - centre.x, spot.y - centre.y) >= 17 + 9, 'off the circle');
      }
      for (let a = 0; a < 5; ++a) {
        for (let b = a + 1; b < 5; ++b) {
          const apart = Math.hypot(spots[a].x - spots[b].x, spots[a].y - spots[b].y);
          assert.ok(apart >= 2 * 9, `ants ${a + 1} and ${b + 1} apart at test ${test}`);
        }
      }
    }
  }
});

test('colours the heat map from white, and never so dark that its text loses 4.5:1', () => {
  const range = { low: 0.0166666675, high: 2.6 };
  assert.equal(replay.heatColour(range.low, range), 'rgb(255, 255, 255)');
  const darkest = replay
    .heatColour(range.high * 10, range)
    .match(/\d+/g)
    .map(Number);
  // Relative luminance as WCAG defines it, and the contrast with the cells' text, #111.
  const luminance = (rgb) =>
    rgb
      .map((c) => c / 255)
      .map((c) => (c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4))
      .reduce((sum, c, k) => sum + [0.2126, 0.7152, 0.0722][k] * c, 0);
  const contrast = (luminance(darkest) + 0.05) / (luminance([17, 17, 17]) + 0.05);
  assert.ok(contrast >= 4.5, `contrast ${contrast}`);
});
