// The replay's pure functions: the steps, the words of a move and of a step, the starts, the
// tables a step reads, and the formatting of scores, draws and levels.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import * as Replay from '../web/replay.js';

const { firstStep, endOf, nextStep, previousStep, isFirstStep, isLastStep } = Replay;

test('steps through the passes and the end of each iteration, and stops at either end', () => {
  const shape = { iterations: 3, passes: 5 };
  const steps = [firstStep()];
  while (!isLastStep(steps[steps.length - 1], shape)) {
    steps.push(nextStep(steps[steps.length - 1], shape));
  }
  assert.equal(steps.length, 3 * 6);
  assert.deepEqual(steps.slice(4, 8), [
    { iteration: 1, pass: 5 },
    endOf(1),
    { iteration: 2, pass: 1 },
    { iteration: 2, pass: 2 },
  ]);
  assert.deepEqual(nextStep(endOf(3), shape), endOf(3), 'no step after the last');
  assert.deepEqual(previousStep(firstStep(), shape), firstStep(), 'no step before the first');
  for (let k = 1; k < steps.length; ++k) {
    assert.deepEqual(previousStep(steps[k], shape), steps[k - 1]);
  }
  assert.ok(isFirstStep(steps[0]) && !isFirstStep(steps[6]) && !isFirstStep(endOf(1)));
  for (const [step, delta, first] of [
    [{ iteration: 2, pass: 3 }, 1, 3],
    [endOf(2), -1, 1],
    [endOf(3), 1, 3],
    [{ iteration: 1, pass: 4 }, -1, 1],
  ]) {
    assert.deepEqual(Replay.iterationStep(step, shape, delta), { iteration: first, pass: 1 });
  }
});

test('writes scores as the report does, and levels with three significant digits', () => {
  for (const [score, text] of [
    [0.539999962, '0.540000'],
    [0.419999987, '0.420000'],
    [0.5, '0.500000'],
    [0.379999995, '0.380000'],
    [0.579999983, '0.580000'],
  ]) {
    assert.equal(Replay.scoreText(score), text);
  }
  assert.equal(Replay.levelText(0.0166666675), '0.0167');
  assert.equal(Replay.levelText(1.7424637), '1.74');
  assert.equal(Replay.valueText(0.00416666688), '0.004167');
  assert.equal(Replay.valueText(12), '12');
});

test('puts a move into words, its draw always on the side of q0 that its rule shows', () => {
  const parameters = { q0: 0.5, randLimit: 32767 };
  assert.equal(
    Replay.moveWords(
      { ant: 2, from: 3, to: 5, draw: 12124, q: 0.370005488, rule: 'trail' },
      parameters,
    ),
    'Ant 2, on test 3, drew 12124: 12124 / 32767 = 0.37, below q0 = 0.5, so it follows the ' +
      'heaviest trail, to test 5.',
  );
  assert.equal(
    Replay.moveWords(
      { ant: 1, from: 1, to: 2, draw: 20000, q: 0.610370159, rule: 'faults' },
      parameters,
    ),
    'Ant 1, on test 1, drew 20000: 20000 / 32767 = 0.61, not below q0 = 0.5, so it takes the ' +
      'test that adds the most faults it has not detected, test 2.',
  );
  assert.equal(
    Replay.moveWords({ ant: 4, from: 5, to: 3, draw: null, q: null, rule: 'home' }, parameters),
    'Ant 4, on test 5, has taken every test: it returns to test 3, where it started.',
  );
  for (const [q, rule, text] of [
    [0.499984741, 'trail', '0.49998'],
    [0.500015259, 'faults', '0.50'],
    [0, 'trail', '0.00'],
    [1, 'faults', '1.00'],
  ]) {
    assert.equal(Replay.fractionText({ q, rule }, 0.5), text);
  }
});

test('tells each start draw the test it names, and which were drawn again', () => {
  const iteration = {
    startDraws: [9092, 23775, 22869, 30841, 13537, 23600, 12338],
    startPicks: [3, 1, 5, 2, 3, 1, 4],
    startAnts: [1, 2, 3, 4, 5, 5, 5],
    startHolders: [null, null, null, null, 1, 2, null],
  };
  assert.deepEqual(
    Replay.startRows(iteration).map((start) => [start.draw, start.test, start.ant, start.holder]),
    [
      [9092, 3, 1, null],
      [23775, 1, 2, null],
      [22869, 5, 3, null],
      [30841, 2, 4, null],
      [13537, 3, null, 1],
      [23600, 1, null, 2],
      [12338, 4, 5, null],
    ],
  );
});

test('reads the table the ants saw in a pass, and the table after it', () => {
  const table = (level) => [
    [level, level],
    [level, level],
  ];
  const iteration = (atStart, first) => ({
    pheromoneAtStart: table(atStart),
    passes: [{ pheromone: table(first) }, { pheromone: table(first + 1) }],
    pheromone: table(first + 2),
  });
  const trace = { iterations: [iteration(0.5, 10), iteration(12, 20)] };
  for (const [step, before, after] of [
    [firstStep(), 0.5, 10],
    [{ iteration: 1, pass: 2 }, 10, 11],
    [endOf(1), 11, 12],
    [{ iteration: 2, pass: 1 }, 12, 20],
    [endOf(2), 21, 22],
  ]) {
    assert.deepEqual(Replay.tableBefore(trace, step), table(before), JSON.stringify(step));
    assert.deepEqual(Replay.tableAfter(trace, step), table(after), JSON.stringify(step));
  }
  assert.deepEqual(
    Replay.highestEdge([
      [1, 3],
      [3, 2],
    ]),
    { from: 1, to: 2, level: 3 },
  );
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
  const shape = { iterations: 1, passes: 5 };
  assert.equal(
    Replay.stepWords(iteration, firstStep(), shape),
    'Iteration 1, pass 1 of 5: ants 1, 4 and 5 followed the trail; ants 2 and 3 took the test ' +
      'that adds the most new faults.',
  );
  assert.match(
    Replay.stepWords(iteration, endOf(1), shape),
    /^End of iteration 1: ant 2 is kept, with score 0\.420000/,
  );
});

test("colours a table's heat map from white to blue, its text always 4.5:1 on it", () => {
  const table = [
    [0.0166666675, 0.0318],
    [0.0166666675, 0.0166666675],
  ];
  assert.equal(Replay.heatColour(0.0166666675, table), 'rgb(255, 255, 255)');
  const darkest = Replay.heatColour(0.0318, table).match(/\d+/g).map(Number);
  assert.deepEqual(darkest, [106, 161, 220], 'the highest level of the table is the darkest');
  // Relative luminance as WCAG defines it, and the contrast with the cells' text, #111.
  const luminance = (rgb) =>
    rgb
      .map((c) => c / 255)
      .map((c) => (c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4))
      .reduce((sum, c, k) => sum + [0.2126, 0.7152, 0.0722][k] * c, 0);
  const contrast = (luminance(darkest) + 0.05) / (luminance([17, 17, 17]) + 0.05);
  assert.ok(contrast >= 4.5, `contrast ${contrast}`);
});
