// The trace that antorder-trace writes, whose path ANTORDER_TRACE gives: it agrees with the report
// and with itself, and an independent computation of the same search, written here from the
// search's description, agrees with it value for value, with the program's parameters and with
// those the options give.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { test } from 'node:test';
import { programOutput } from '../wasi_run.js';
import { parseReport } from '../../web/chart.js';
import { scoreText } from '../../web/format.js';

const here = path.dirname(fileURLToPath(import.meta.url));

const trace = JSON.parse(programOutput(process.env.ANTORDER_TRACE));
const report = parseReport(fs.readFileSync(path.join(here, '..', 'expected_report.txt'), 'latin1'));

test('has the members the page reads, and no others', () => {
  assert.deepEqual(Object.keys(trace), [
    'instance',
    'parameters',
    'tau0',
    'initialScore',
    'iterations',
  ]);
  assert.deepEqual(Object.keys(trace.instance), [
    'faultMatrix',
    'execTime',
    'cost',
    'referenceTour',
    'referenceCycle',
    'scoreRange',
    'scoreDivisors',
  ]);
  assert.deepEqual(Object.keys(trace.parameters), [
    'seed',
    'generator',
    'ants',
    'iterations',
    'q0',
    'randLimit',
    'rho',
    'keep',
  ]);
  assert.equal(trace.iterations.length, 100);
  trace.iterations.forEach((iteration, i) => {
    assert.equal(iteration.iteration, i + 1);
    assert.deepEqual(Object.keys(iteration), [
      'iteration',
      'pheromoneAtStart',
      'startDraws',
      'startPicks',
      'startAnts',
      'startHolders',
      'starts',
      'passes',
      'tours',
      'scores',
      'kept',
      'firstFound',
      'positionSums',
      'reinforced',
      'deposit',
      'pheromone',
    ]);
    for (const pass of iteration.passes) {
      assert.deepEqual(Object.keys(pass), ['moves', 'pheromone']);
      pass.moves.forEach((move, k) => {
        assert.deepEqual(Object.keys(move), [
          'ant',
          'from',
          'to',
          'taken',
          'draw',
          'rule',
          'q',
          'weights',
          'newFaults',
          'detected',
        ]);
        assert.equal(move.ant, k + 1);
      });
    }
  });
});

test("each iteration's kept score is the report's line, and the last kept tour its final tour", () => {
  assert.equal(scoreText(trace.initialScore), report.initial.toFixed(6));
  trace.iterations.forEach((iteration, i) => {
    assert.equal(
      scoreText(iteration.scores[iteration.kept - 1]),
      report.scores[i].toFixed(6),
      `iteration ${i + 1}`,
    );
  });
  const last = trace.iterations[99];
  assert.deepEqual(last.tours[last.kept - 1], report.finalTour);
});

test('the moves rebuild the tours, from the starts to the starts again', () => {
  for (const iteration of trace.iterations) {
    iteration.tours.forEach((tour, k) => {
      assert.equal(tour[0], iteration.starts[k]);
      const moves = iteration.passes.map((pass) => pass.moves[k]);
      assert.deepEqual(
        moves.map((move) => move.from),
        tour.slice(0, -1),
      );
      assert.deepEqual(
        moves.map((move) => move.to),
        tour.slice(1),
      );
      assert.equal(moves[4].rule, 'home');
      assert.equal(moves[4].draw, null);
    });
  }
});

test('the global update changes the reinforced edges alone, each towards the deposit', () => {
  const { rho } = trace.parameters;
  for (const iteration of trace.iterations) {
    const before = iteration.passes[iteration.passes.length - 1].pheromone;
    before.forEach((row, a) =>
      row.forEach((level, b) => {
        const reinforced = iteration.reinforced.some(
          ([from, to]) => from === a + 1 && to === b + 1,
        );
        const expected = reinforced
          ? Math.fround(level * (1 - rho) + iteration.deposit * rho)
          : Math.fround(level);
        assert.equal(Math.fround(iteration.pheromone[a][b]), expected);
      }),
    );
  }
});

// The search's parameters without options: antorder's own.
const BUILT_IN = { seed: 12345, q0: 0.5, rho: 0.8, iterations: 100, keep: 'smallest' };

// The search again, from its description, with `parameters` (BUILT_IN, with some changed):
// std::minstd_rand seeded with the seed, each draw its value shifted right by 16 bits;
// single-precision values rounded with Math.fround after every step that the search takes in
// single precision; q compared with q0 and the updates' 1 − rho in double precision.
function independentSearch({ seed, q0, rho, iterations, keep }) {
  const f = Math.fround;
  const tests = [0, 1, 2, 3, 4];
  const faults = [
    [1, 0, 0, 1, 0],
    [0, 1, 0, 0, 1],
    [1, 1, 1, 0, 0],
    [0, 1, 0, 0, 1],
    [1, 0, 1, 0, 1],
  ];
  const time = [4, 2, 1, 3, 2].map(f);
  let state = seed;
  const draw = () => {
    state = (state * 48271) % 2147483647;
    return Math.floor(state / 65536);
  };
  const derive = (order) => {
    const firstFound = [0, 1, 2, 3, 4].map(
      (fault) => order.slice(0, 5).findIndex((t) => faults[t][fault] === 1) + 1,
    );
    const sum = firstFound.reduce((total, p) => (p > 0 ? f(total + p) : total), f(0));
    return { firstFound, sum, score: f(f(1 - f(sum / 25)) - f(1 / 10)) };
  };
  const orderings = (rest) =>
    rest.length === 0
      ? [[]]
      : rest.flatMap((t) => orderings(rest.filter((u) => u !== t)).map((tail) => [t, ...tail]));
  const allScores = orderings(tests).map((order) => derive(order).score);
  const length = [1, 2, 3, 4, 0].reduce((sum, b) => f(sum + time[b]), f(0));
  const tau0 = f(1 / f(length * 5));
  const pheromone = Array.from({ length: 5 }, () => Array(5).fill(tau0));
  const result = {
    instance: {
      faultMatrix: faults,
      execTime: time,
      cost: tests.map(() => time),
      referenceTour: [1, 2, 3, 4, 5, 1],
      referenceCycle: length,
      scoreRange: [Math.min(...allScores), Math.max(...allScores)],
      scoreDivisors: [25, 10],
    },
    parameters: {
      seed,
      generator: { multiplier: 48271, modulus: 2147483647, shift: 16 },
      ants: 5,
      iterations,
      q0,
      randLimit: 32767,
      rho,
      keep,
    },
    tau0,
    initialScore: derive(tests).score,
    iterations: [],
  };
  for (let it = 1; it <= iterations; ++it) {
    const iteration = {
      pheromoneAtStart: pheromone.map((row) => row.slice()),
      startDraws: [],
      startPicks: [],
      startAnts: [],
      startHolders: [],
      starts: [],
      passes: [],
    };
    const taken = new Set();
    const visited = [];
    const detected = [];
    const tours = [];
    for (let k = 0; k < 5; ++k) {
      let start;
      do {
        const value = draw();
        start = value % 5;
        iteration.startDraws.push(value);
        iteration.startPicks.push(start + 1);
        iteration.startAnts.push(k + 1);
        iteration.startHolders.push(
          taken.has(start) ? tours.findIndex(([t]) => t === start) + 1 : null,
        );
      } while (taken.has(start));
      taken.add(start);
      iteration.starts.push(start + 1);
      visited.push(new Set([start]));
      detected.push(faults[start].slice());
      tours.push([start]);
    }
    for (let pass = 1; pass <= 5; ++pass) {
      const moves = [];
      for (let k = 0; k < 5; ++k) {
        const from = tours[k][pass - 1];
        const move = { ant: k + 1, from: from + 1, taken: tours[k].map((t) => t + 1) };
        const before = detected[k].slice();
        if (visited[k].size < 5) {
          const weights = tests.map((t) =>
            visited[k].has(t) ? 0 : f(pheromone[from][t] / f(time[t] * time[t])),
          );
          const heaviest = weights.indexOf(Math.max(...weights));
          const value = draw();
          const q = f(f(value) / f(32767));
          let to = heaviest;
          let newFaults = null;
          if (q >= q0) {
            newFaults = tests.map((t) =>
              visited[k].has(t) ? 0 : faults[t].filter((on, x) => on && !detected[k][x]).length,
            );
            const gains = newFaults.map((count, t) => (visited[k].has(t) ? -1 : count));
            to = gains.indexOf(Math.max(...gains));
          }
          visited[k].add(to);
          faults[to].forEach((on, x) => on && (detected[k][x] = 1));
          tours[k].push(to);
          Object.assign(move, {
            to: to + 1,
            draw: value,
            rule: newFaults ? 'faults' : 'trail',
            q,
            weights,
            newFaults,
          });
        } else {
          tours[k].push(tours[k][0]);
          Object.assign(move, {
            to: tours[k][0] + 1,
            draw: null,
            rule: 'home',
            q: null,
            weights: null,
            newFaults: null,
          });
        }
        moves.push({ ...move, detected: before });
      }
      for (const row of pheromone) {
        row.forEach((level, b) => (row[b] = f(level * (1 - rho) + tau0 * rho)));
      }
      iteration.passes.push({ moves, pheromone: pheromone.map((row) => row.slice()) });
    }
    const derivations = tours.map(derive);
    iteration.tours = tours.map((tour) => tour.map((t) => t + 1));
    iteration.scores = derivations.map((d) => d.score);
    const best = keep === 'smallest' ? Math.min : Math.max;
    const kept = iteration.scores.indexOf(best(...iteration.scores));
    iteration.kept = kept + 1;
    iteration.firstFound = derivations.map((d) => d.firstFound);
    iteration.positionSums = derivations.map((d) => d.sum);
    iteration.reinforced = tours[kept].slice(0, -1).map((a, q) => [a + 1, tours[kept][q + 1] + 1]);
    iteration.deposit = 1 / iteration.scores[kept];
    for (const [a, b] of iteration.reinforced) {
      pheromone[a - 1][b - 1] = f(pheromone[a - 1][b - 1] * (1 - rho) + iteration.deposit * rho);
    }
    iteration.pheromone = pheromone.map((row) => row.slice());
    result.iterations.push(iteration);
  }
  return result;
}

// The trace without the iterations' numbers, every number read as single precision but the
// doubles, q0, rho and the deposit, which must match to the last bit.
function comparable(value) {
  if (Array.isArray(value)) {
    return value.map(comparable);
  }
  if (value !== null && typeof value === 'object') {
    return Object.fromEntries(
      Object.entries(value)
        .filter(([key]) => key !== 'iteration')
        .map(([key, item]) => [
          key,
          ['q0', 'rho', 'deposit'].includes(key) ? item : comparable(item),
        ]),
    );
  }
  return typeof value === 'number' ? Math.fround(value) : value;
}

// Runs of the trace program, each with the options that change some of the parameters: every
// bound of every range, rho's small values, the other rule, and an option given twice, which
// the last one decides.
const RUNS = [
  [[], {}],
  [['--seed', '1'], { seed: 1 }],
  [['--seed', '2147483646'], { seed: 2147483646 }],
  [['--q0', '0'], { q0: 0 }],
  [['--q0', '1'], { q0: 1 }],
  [['--rho', '1'], { rho: 1 }],
  [['--rho', '0.05'], { rho: 0.05 }],
  [['--keep', 'largest'], { keep: 'largest' }],
  [['--iterations', '1'], { iterations: 1 }],
  [['--iterations', '1000'], { iterations: 1000 }],
  [
    ['--seed', '7', '--q0', '0.9', '--rho', '0.5', '--iterations', '10', '--keep', 'largest'],
    { seed: 7, q0: 0.9, rho: 0.5, iterations: 10, keep: 'largest' },
  ],
  [
    ['--seed', '1', '--keep', 'largest', '--q0=.25', '--seed=99', '--keep=smallest'],
    { seed: 99, q0: 0.25 },
  ],
  // A hair above the q of the run's first move, 13551 / 32767 in single precision, and the same
  // number in single precision: only a comparison in double precision sees q below it.
  [['--q0', '0.4135563076'], { q0: 0.4135563076 }],
  // The most decimal places a value may have, and a value of 1 written with them.
  [
    ['--q0', '0.123456789012345', '--rho', '1.000000000000000', '--iterations', '3'],
    { q0: 0.123456789012345, rho: 1, iterations: 3 },
  ],
];

for (const [args, changed] of RUNS) {
  test(`an independent computation agrees with the trace value for value: ${args.join(' ') || 'no options'}`, () => {
    const run =
      args.length === 0 ? trace : JSON.parse(programOutput(process.env.ANTORDER_TRACE, args));
    assert.deepEqual(comparable(run), comparable(independentSearch({ ...BUILT_IN, ...changed })));
  });
}
