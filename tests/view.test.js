// The view of the replay: its steps, one action each, the address of a step, and, for every step
// of the run of antorder-trace, whose path ANTORDER_TRACE gives, what the page shows: read as a
// reader reads it, its words, rows and marks must make each decision again by the rule the page
// states, from the numbers the page shows.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { programOutput } from './wasi_run.js';
import * as View from '../web/view.js';

const trace = JSON.parse(programOutput(process.env.ANTORDER_TRACE));
const shape = View.shapeOf(trace);
const facts = View.facts(trace);

test('steps through the starts, each ant of each pass and its local update, the end and the global update', () => {
  assert.deepEqual(
    [shape.iterations, shape.passes, shape.ants, shape.perIteration, shape.steps],
    [100, 5, 5, 33, 3300],
  );
  const kinds = Array.from({ length: shape.perIteration }, (_, k) => {
    const step = View.stepAt(shape, shape.perIteration + k);
    return [step.iteration, step.within, step.kind, step.pass, step.ant];
  });
  assert.deepEqual(kinds.slice(0, 3), [
    [2, 1, 'starts', undefined, undefined],
    [2, 2, 'move', 1, 1],
    [2, 3, 'move', 1, 2],
  ]);
  assert.deepEqual(kinds.slice(6, 9), [
    [2, 7, 'local', 1, undefined],
    [2, 8, 'move', 2, 1],
    [2, 9, 'move', 2, 2],
  ]);
  assert.deepEqual(kinds.slice(-3), [
    [2, 31, 'local', 5, undefined],
    [2, 32, 'end', undefined, undefined],
    [2, 33, 'global', undefined, undefined],
  ]);
  assert.equal(View.endIndexOf(shape, 37), 36 * 33 + 31);
});

test('opens the step an address names, or the nearest there is', () => {
  for (const [hash, iteration, within] of [
    ['#iteration=51&step=12', 51, 12],
    ['', 1, 1],
    ['#garbage', 1, 1],
    ['#iteration=0&step=-4', 1, 1],
    ['#iteration=101&step=40', 100, 33],
    ['#iteration=2.5&step=3', 1, 3],
    ['#iteration=7', 7, 1],
  ]) {
    const step = View.stepAt(shape, View.indexFromAddress(shape, hash));
    assert.deepEqual([step.iteration, step.within], [iteration, within], hash);
    assert.equal(View.indexFromAddress(shape, View.addressOf(step)), step.index);
  }
});

// The numbers of a text, in order, but for the digits of a name such as q0 or tau0.
const numbers = (text) =>
  [...text.matchAll(/(?<![\w.])-?\d+(?:\.\d+)?/g)].map((match) => Number(match[0]));
// A list of numbers in words, "1, 2 and 3" or "none", as numbers.
const listed = (text) => (text === 'none' ? [] : numbers(text));
// Whether a value the page worked out from rounded values is, within their rounding, `exact`.
const close = (shown, exact) => Math.abs(shown - exact) <= Math.abs(exact) * 1.5e-3;
const rho = Number(facts.rho);
const tests = Number(facts.tests);

// The step's decision made again from what the page shows of it; each returns what the reader
// takes along to the next step.
const readers = {
  starts(view) {
    assert.match(view.table.caption, new RegExp(`modulo ${tests}, plus 1`));
    const holders = new Map();
    for (const { cells } of view.table.rows) {
      const [draw, picked, outcome] = [Number(cells[0]), Number(cells[1]), cells[2]];
      assert.equal(picked, (draw % tests) + 1, 'the test a draw names');
      const starts = /^ant (\d+) starts here$/.exec(outcome);
      if (starts) {
        assert.ok(!holders.has(picked), `test ${picked} is free`);
        assert.equal(Number(starts[1]), holders.size + 1, 'the next ant starts');
        holders.set(picked, Number(starts[1]));
      } else {
        const [, holder] = /^taken by ant (\d+): drawn again$/.exec(outcome);
        assert.equal(holders.get(picked), Number(holder), `ant ${holder} holds test ${picked}`);
      }
    }
    assert.equal(holders.size, Number(facts.ants));
  },
  move(view) {
    const [ant, from, ...rest] = numbers(view.words);
    assert.equal(ant, view.step.ant);
    assert.equal(view.tours[ant - 1].at(-2), from, 'the ant moves from where it stood');
    if (view.line === 'home') {
      assert.equal(rest[0], view.tours[ant - 1][0], 'home is the start');
      return;
    }
    const [draw, drawn, limit, q, q0, to] = rest;
    assert.equal(draw, drawn);
    assert.equal(limit, Number(facts.randLimit));
    assert.equal(q0, Number(facts.q0));
    const [, fraction] = / = (\d+\.\d+), /.exec(view.words);
    const decimals = fraction.split('.')[1].length;
    assert.ok(Math.abs(q - draw / limit) <= 0.5 * 10 ** -decimals + 1e-12, `${draw} / ${limit}`);
    const below = !/not below q0/.test(view.words);
    assert.equal(q < q0, below, `${q} against q0 = ${q0}`);
    assert.equal(view.line, below ? 'trail' : 'faults');
    assert.equal(view.tours[ant - 1].at(-1), to, 'the graph shows the move');
    const open = view.table.rows.filter(({ cells }) => !cells.includes('taken'));
    if (below) {
      const weights = open.map(({ cells }) => {
        const [test, level, time, weight] = cells.map((cell) => numbers(cell)[0]);
        assert.match(cells[2], /²$/);
        assert.ok(close(numbers(cells[3])[0], level / (time * time)), `weight of ${test}`);
        return { test, weight };
      });
      const best = weights.reduce((a, b) => (b.weight > a.weight ? b : a));
      assert.equal(best.test, to, 'the largest weight, the lower test on a tie');
    } else {
      const detected = listed(/faults (.*)\. The most/.exec(view.table.caption)[1]);
      const gains = open.map(({ cells }) => {
        const [test, detects, gain] = [Number(cells[0]), listed(cells[1]), numbers(cells[2])[0]];
        assert.equal(gain, detects.filter((fault) => !detected.includes(fault)).length);
        return { test, gain };
      });
      const best = gains.reduce((a, b) => (b.gain > a.gain ? b : a));
      assert.equal(best.test, to, 'the most new faults, the lower test on a tie');
    }
    const picks = view.table.rows.filter(({ pick }) => pick).map(({ cells }) => Number(cells[0]));
    assert.deepEqual(picks, [to]);
    // Asked first, the reader sees the draw and its side of q0, not the move, and may choose any
    // test the ant has not taken.
    const { question } = view;
    const [asked, askedFrom] = numbers(question.shown.words);
    assert.deepEqual([asked, askedFrom], [ant, from]);
    assert.match(question.shown.words, new RegExp(`drew ${draw}: ${draw} / ${limit} = ${q}`));
    assert.equal(/not below q0/.test(question.shown.words), !below);
    assert.equal(question.shown.tours[ant - 1].at(-1), from, 'the graph does not give it away');
    assert.deepEqual(question.shown.marked, []);
    assert.deepEqual(
      question.choices.map(({ value }) => value),
      [...open.map(({ cells }) => Number(cells[0]))],
    );
    assert.match(question.reply(to), /^Right/);
    const wrong = question.choices.find(({ value }) => value !== to);
    if (wrong) {
      assert.match(question.reply(wrong.value), new RegExp(`takes test ${to}\\.$`));
    }
  },
  local(view) {
    const stated = numbers(view.words.split('of the way')[0]).at(-1);
    const [keep, tau0, towards] = numbers(view.words.split('tau0:')[1]);
    assert.deepEqual([stated, towards], [rho, rho]);
    assert.ok(close(keep, 1 - rho));
    assert.equal(String(tau0), facts.tau0);
    for (const change of view.changes) {
      const [, , before, after] = numbers(change);
      assert.ok(close(after, before * keep + tau0 * towards), change);
    }
  },
  end(view) {
    const [, nm, twoN] = /1 − S \/ (\d+) − 1 \/ (\d+)/.exec(view.table.caption).map(Number);
    assert.deepEqual([nm, twoN], [Number(facts.nm), Number(facts.twoN)]);
    const scores = view.table.rows.map(({ cells }) => {
      const tour = numbers(cells[1]);
      const positions = numbers(cells[2]);
      trace.instance.faultMatrix[0].forEach((_, fault) => {
        const first = tour
          .slice(0, tests)
          .findIndex((t) => trace.instance.faultMatrix[t - 1][fault]);
        assert.equal(positions[fault], first + 1, `fault ${fault + 1} in ${cells[1]}`);
      });
      const sum = positions.reduce((a, b) => a + b, 0);
      assert.equal(Number(cells[3]), sum);
      assert.ok(Math.abs(Number(cells[4]) - (1 - sum / nm - 1 / twoN)) < 1e-6, cells.join(' | '));
      return Number(cells[4]);
    });
    const smallest = scores.indexOf(Math.min(...scores)) + 1;
    const kept = view.table.rows.findIndex(({ pick }) => pick) + 1;
    assert.match(view.table.rows[kept - 1].cells[0], /\(kept\)$/);
    assert.match(view.words, /is the smallest of the iteration/);
    assert.equal(kept, smallest, 'the smallest score, the lowest ant on a tie');
    assert.equal(numbers(view.words)[1], kept);
    assert.deepEqual(
      view.question.choices.map(({ value }) => value),
      scores.map((_, k) => k + 1),
    );
    assert.match(view.question.reply(kept), /^Right/);
    assert.doesNotMatch(view.question.shown.words, /\d\.\d{6}/, 'no score given away');
    return { kept, tour: numbers(view.table.rows[kept - 1].cells[1]), score: scores[kept - 1] };
  },
  global(view, end) {
    const [edges, ant, one, score, deposit, keep, depositAgain, towards] = numbers(view.words);
    assert.deepEqual([edges, ant, one, score], [tests, end.kept, 1, end.score]);
    assert.ok(close(deposit, 1 / score), `deposit 1 / ${score}`);
    assert.equal(depositAgain, deposit);
    assert.equal(towards, rho);
    assert.ok(close(keep, 1 - rho));
    const tourEdges = end.tour.slice(0, -1).map((t, q) => `${t} → ${end.tour[q + 1]}`);
    assert.deepEqual(
      view.changes.map((change) => change.split(':')[0]),
      tourEdges,
    );
    assert.deepEqual(
      view.marked.map(({ from, to }) => `${from} → ${to}`),
      tourEdges,
      'the heat map marks the edges reinforced',
    );
    for (const change of view.changes) {
      const [, , before, after] = numbers(change);
      assert.ok(close(after, before * keep + deposit * towards), change);
    }
  },
};

test('every step reads true: its numbers make its decision by the rule the page states', () => {
  let end = null;
  for (let index = 0; index < shape.steps; ++index) {
    const view = View.stepView(trace, shape, index);
    assert.match(
      view.position,
      new RegExp(
        `^Step ${(index + 1).toLocaleString('en-GB')} of 3,300: iteration ${view.step.iteration}`,
      ),
    );
    const taken = readers[view.step.kind](view, end);
    if (view.step.kind === 'end') {
      end = taken;
    }
  }
});
