// The trace that antorder-trace writes, whose path ANTORDER_TRACE gives: it agrees with the report
// and with itself, and an independent computation of the same search, written here from the
// search's description, agrees with it value for value.
'use strict';
const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const { test } = require('node:test');
const { parseReport } = require('../web/chart.js');
const { scoreText, tourEdges } = require('../web/replay.js');

const trace = JSON.parse(execFileSync(process.env.ANTORDER_TRACE, { maxBuffer: 1 << 24 }));
const report = parseReport(fs.readFileSync(path.join(__dirname, 'expected_report.txt'), 'latin1'));

test('has the members the page reads, and no others', () => {
  assert.deepEqual(Object.keys(trace), ['tau0', 'initialScore', 'iterations']);
  assert.equal(trace.iterations.length, 100);
  trace.iterations.forEach((iteration, i) => {
    assert.equal(iteration.iteration, i + 1);
    assert.deepEqual(Object.keys(iteration), [
      'iteration',
      'startDraws',
      'starts',
      'passes',
      'tours',
      'scores',
      'kept',
      'pheromone',
    ]);
    for (const pass of iteration.passes) {
      assert.deepEqual(Object.keys(pass), ['moves', 'pheromone']);
      pass.moves.forEach((move, k) => {
        assert.deepEqual(Object.keys(move), ['ant', 'from', 'to', 'draw', 'rule']);
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

test("the global update changes the last pass's table on the kept tour's five edges alone", () => {
  for (const iteration of trace.iterations) {
    const before = iteration.passes[4].pheromone;
    const score = Math.fround(iteration.scores[iteration.kept - 1]);
    const edges = tourEdges(iteration.tours[iteration.kept - 1]);
    before.forEach((row, a) =>
      row.forEach((level, b) => {
        const onTour = edges.some(([from, to]) => from === a + 1 && to === b + 1);
        const expected = onTour
          ? Math.fround(Math.fround(level) * (1 - 0.8) + (1 / score) * 0.8)
          : Math.fround(level);
        assert.equal(Math.fround(iteration.pheromone[a][b]), expected);
      }),
    );
  }
});

// The search again, from its description: std::minstd_rand seeded with 12345, each draw its
// value shifted right by 16 bits; single-precision values rounded with Math.fround after every
// step that the search takes in single precision.
function independentSearch() {
  const f = Math.fround;
  const faults = [
    [1, 0, 0, 1, 0],
    [0, 1, 0, 0, 1],
    [1, 1, 1, 0, 0],
    [0, 1, 0, 0, 1],
    [1, 0, 1, 0, 1],
  ];
  const cost = [4, 2, 1, 3, 2].map(f);
  let state = 12345;
  const draw = () => {
    state = (state * 48271) % 2147483647;
    return Math.floor(state / 65536);
  };
  const score = (order) => {
    let sum = f(0);
    for (let fault = 0; fault < 5; ++fault) {
      const p = order.slice(0, 5).findIndex((t) => faults[t][fault] === 1);
      if (p >= 0) {
        sum = f(sum + (p + 1));
      }
    }
    return f(f(1 - f(sum / 25)) - f(1 / 10));
  };
  const length = [1, 2, 3, 4, 0].reduce((sum, b) => f(sum + cost[b]), f(0));
  const tau0 = f(1 / f(length * 5));
  const pheromone = Array.from({ length: 5 }, () => Array(5).fill(tau0));
  const result = { tau0, initialScore: score([0, 1, 2, 3, 4]), iterations: [] };
  for (let it = 1; it <= 100; ++it) {
    const iteration = { startDraws: [], starts: [], passes: [] };
    const taken = new Set();
    const visited = [];
    const detected = [];
    const tours = [];
    for (let k = 0; k < 5; ++k) {
      let start;
      do {
        const value = draw();
        iteration.startDraws.push(value);
        start = value % 5;
      } while (taken.has(start));
      taken.add(start);
      iteration.starts.push(start + 1);
      visited.push(new Set([start]));
      detected.push(new Set(faults[start].flatMap((on, fault) => (on ? [fault] : []))));
      tours.push([start]);
    }
    for (let pass = 1; pass <= 5; ++pass) {
      const moves = [];
      for (let k = 0; k < 5; ++k) {
        const from = tours[k][pass - 1];
        let move;
        if (visited[k].size < 5) {
          let best = 0;
          const weights = [0, 1, 2, 3, 4].map((t) =>
            visited[k].has(t) ? 0 : f(pheromone[from][t] / f(cost[t] * cost[t])),
          );
          weights.forEach((weight, t) => {
            if (!visited[k].has(t) && weight > weights[best]) {
              best = t;
            }
          });
          const value = draw();
          let to = best;
          let rule = 'trail';
          if (f(f(value) / f(32767)) >= 0.5) {
            const gains = [0, 1, 2, 3, 4].map((t) =>
              visited[k].has(t)
                ? -1
                : faults[t].filter((on, x) => on && !detected[k].has(x)).length,
            );
            to = gains.indexOf(Math.max(...gains));
            rule = 'faults';
          }
          visited[k].add(to);
          faults[to].forEach((on, x) => on && detected[k].add(x));
          move = { to, draw: value, rule };
        } else {
          move = { to: tours[k][0], draw: null, rule: 'home' };
        }
        tours[k].push(move.to);
        moves.push({
          ant: k + 1,
          from: from + 1,
          to: move.to + 1,
          draw: move.draw,
          rule: move.rule,
        });
      }
      for (const row of pheromone) {
        row.forEach((level, b) => (row[b] = f(level * (1 - 0.8) + tau0 * 0.8)));
      }
      iteration.passes.push({ moves, pheromone: pheromone.map((row) => row.slice()) });
    }
    iteration.scores = tours.map(score);
    const kept = iteration.scores.indexOf(Math.min(...iteration.scores));
    iteration.tours = tours.map((tour) => tour.map((t) => t + 1));
    iteration.kept = kept + 1;
    for (let q = 0; q < 5; ++q) {
      const [a, b] = [tours[kept][q], tours[kept][q + 1]];
      pheromone[a][b] = f(pheromone[a][b] * (1 - 0.8) + (1 / iteration.scores[kept]) * 0.8);
    }
    iteration.pheromone = pheromone.map((row) => row.slice());
    result.iterations.push(iteration);
  }
  return result;
}

// The trace with every number read as single precision, and without the iterations' numbers.
function asSingle(value) {
  if (Array.isArray(value)) {
    return value.map(asSingle);
  }
  if (value !== null && typeof value === 'object') {
    return Object.fromEntries(
      Object.entries(value)
        .filter(([key]) => key !== 'iteration')
        .map(([key, item]) => [key, asSingle(item)]),
    );
  }
  return typeof value === 'number' ? Math.fround(value) : value;
}

test('an independent computation of the search agrees with the trace value for value', () => {
  assert.deepEqual(asSingle(trace), asSingle(independentSearch()));
});
