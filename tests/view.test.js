// The view of the replay: its steps, one action each, the address of a step, and, for every step
// of the run of antorder-trace, whose path ANTORDER_TRACE gives, what the page shows: read as a
// reader reads it, its words, rows and marks must make each decision again by the rule the page
// states, from the numbers the page shows.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { test } from 'node:test';
import { programOutput } from './wasi_run.js';
import * as View from '../web/view.js';
import { levelText, valueText } from '../web/format.js';

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
// The cell of a table's row under the heading `name`, as a reader finds it.
const cell = (table, cells, name) => {
  const column = table.headings.indexOf(name);
  assert.ok(column >= 0, `a column headed ${name}`);
  return cells[column];
};
// The edges a list of changes names, "1 → 2: 0.0167 → 0.0171", as "1 → 2".
const edgesOf = (changes) => changes.map((change) => change.split(':')[0]);
// The rule each step applies, as the procedure's lit line must state it.
const RULES = {
  starts: /drawn again/,
  trail: /largest pheromone \/ run time²/,
  faults: /most faults not yet detected/,
  home: /back to its start/,
  local: /old × \(1 − rho\) \+ tau0 × rho/,
  select: /smallest score is kept/,
  global: /old × \(1 − rho\) \+ \(1 \/ its score\) × rho/,
};

// The moment of the search whose levels the heat map shows, as its caption names it, by kind of
// step.
const HEAT = {
  starts: () => /The levels the iteration starts from/,
  move: (pass) =>
    new RegExp(
      `\\. The levels the ants read in pass ${pass}; the local update after the pass changes them\\.( The edge \\d → \\d the ant took is outlined\\.)? The darker`,
    ),
  local: (pass) => new RegExp(`After pass ${pass}'s local update;`),
  end: () => /After the last pass's local update, before the global update\./,
  global: () => /After the global update;/,
};

// The same, while the step asks first.
const ASKED_HEAT = {
  move: (pass) => new RegExp(`\\. The levels the ants read in pass ${pass}\\. The darker`),
  local: (pass) =>
    new RegExp(
      `\\. The levels before pass ${pass}'s local update; the edge asked about is outlined\\. The darker`,
    ),
  end: () => /\. After the last pass's local update, before the global update\. The darker/,
};

// The step's decision made again from what the page shows of it; each returns what the reader
// takes along to the next step.
const readers = {
  starts(view) {
    assert.match(view.table.caption, new RegExp(`modulo ${tests}, plus 1`));
    const holders = new Map();
    let again = 0;
    for (const { cells } of view.table.rows) {
      const draw = Number(cell(view.table, cells, 'Draw'));
      const picked = Number(cell(view.table, cells, 'Test'));
      const outcome = cell(view.table, cells, 'Start');
      assert.equal(picked, (draw % tests) + 1, 'the test a draw names');
      const starts = /^ant (\d+) starts here$/.exec(outcome);
      if (starts) {
        assert.ok(!holders.has(picked), `test ${picked} is free`);
        assert.equal(Number(starts[1]), holders.size + 1, 'the next ant starts');
        holders.set(picked, Number(starts[1]));
      } else {
        const [, holder] = /^taken by ant (\d+): drawn again$/.exec(outcome);
        assert.equal(holders.get(picked), Number(holder), `ant ${holder} holds test ${picked}`);
        again += 1;
      }
    }
    assert.equal(holders.size, Number(facts.ants));
    // The sentence: each ant's start, in the order of the ants, and how many draws were taken.
    const [startsText, antsText] = /starts: (.*) for ants ([^;.]*)/.exec(view.words).slice(1);
    const byAnt = [...holders].sort((a, b) => a[1] - b[1]).map(([test]) => test);
    assert.deepEqual(numbers(startsText), byAnt);
    assert.deepEqual(
      listed(antsText),
      byAnt.map((_, k) => k + 1),
    );
    const [, taken, draws] = /(?:; (\d+) (draws? named) a test already taken)?\.$/.exec(view.words);
    assert.equal(Number(taken ?? 0), again, 'the draws drawn again');
    assert.equal(draws, again > 0 ? `draw${again > 1 ? 's' : ''} named` : undefined, 'in words');
    assert.ok(
      view.table.rows.every(({ pick }) => !pick),
      'no draw singled out',
    );
    view.tours.forEach((tour, k) => assert.deepEqual(tour, [byAnt[k]], 'each ant on its start'));
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
    // The tests the ant has taken are its path before the move, and their rows say so alone.
    const path = view.tours[ant - 1].slice(0, -1);
    const [taken, open] = [true, false].map((which) =>
      view.table.rows.filter(({ cells }) => cells.includes('taken') === which),
    );
    assert.deepEqual(
      taken.map(({ cells }) => Number(cells[0])),
      [...path].sort((a, b) => a - b),
      'the rows of the tests taken',
    );
    for (const { cells } of taken) {
      assert.equal(cells.filter(Boolean).length, below ? 2 : 3, `nothing to weigh: ${cells}`);
    }
    if (below) {
      const weights = open.map(({ cells }) => {
        const [test, level, time, weight] = ['Test', 'Pheromone', 'Run time²', 'Weight'].map(
          (name) => numbers(cell(view.table, cells, name))[0],
        );
        assert.match(cell(view.table, cells, 'Run time²'), /²$/);
        assert.ok(close(weight, level / (time * time)), `weight of ${test}`);
        assert.equal(level, Number(valueText(view.levels[from - 1][test - 1])), 'the level read');
        return { test, weight };
      });
      open.forEach(({ edge, cells }) =>
        assert.deepEqual(edge, { from, to: Number(cells[0]) }, 'the edge a row points at'),
      );
      assert.deepEqual(view.marked, [{ from, to }], 'the edge taken marked in the heat map');
      assert.match(
        View.heatWords(view).caption,
        new RegExp(`The edge ${from} → ${to} the ant took is outlined\\.`),
      );
      assert.match(
        view.table.caption,
        new RegExp(
          `^From test ${from}: weight = pheromone ÷ run time²\\. The largest weight wins; on a tie, the lower test\\. The pheromone is the level the ant read, before the local update; point at a row, or focus it, to find its edge in the graph and the heat map\\.$`,
        ),
      );
      const best = weights.reduce((a, b) => (b.weight > a.weight ? b : a));
      assert.equal(best.test, to, 'the largest weight, the lower test on a tie');
    } else {
      const detected = listed(/faults (.*)\. The most/.exec(view.table.caption)[1]);
      const suite = trace.instance.faultMatrix;
      assert.deepEqual(
        detected,
        suite[0].flatMap((_, f) => (path.some((t) => suite[t - 1][f]) ? [f + 1] : [])),
        'the faults its path detects',
      );
      assert.deepEqual(view.marked, [], 'nothing marked in the heat map');
      assert.doesNotMatch(View.heatWords(view).caption, /outlined/);
      const gains = open.map(({ cells }) => {
        const test = Number(cell(view.table, cells, 'Test'));
        const detects = listed(cell(view.table, cells, 'Detects faults'));
        const gain = numbers(cell(view.table, cells, 'New'))[0];
        assert.equal(gain, detects.filter((fault) => !detected.includes(fault)).length);
        return { test, gain };
      });
      assert.match(view.table.caption, /The most new faults win; on a tie, the lower test\.$/);
      const best = gains.reduce((a, b) => (b.gain > a.gain ? b : a));
      assert.equal(best.test, to, 'the most new faults, the lower test on a tie');
    }
    const picks = view.table.rows.filter(({ pick }) => pick).map(({ cells }) => Number(cells[0]));
    assert.deepEqual(picks, [to]);
    for (const { cells, pick } of open) {
      assert.match(
        cells.at(-1),
        pick ? / ← (largest|most)$/ : /^\d+(\.\d+)?$/,
        'a number, no more',
      );
    }
    const pointed = view.table.rows.filter(({ cells }) => / ← (largest|most)$/.test(cells.at(-1)));
    assert.deepEqual(
      pointed.map(({ cells }) => Number(cells[0])),
      [to],
      'the arrow beside the winner alone',
    );
    // Asked first, the reader sees the draw and its side of q0, not the move, and may choose any
    // test the ant has not taken.
    const { question } = view;
    const [, asked, askedFrom, s, takenText, askedDraw, rule] =
      /^Ant (\d+), on test (\d+), has taken test(s?) (.*) and drew (.*), so (.*)\. Which test does it take\?$/.exec(
        question.shown.words,
      );
    assert.deepEqual([asked, askedFrom].map(Number), [ant, from]);
    assert.deepEqual(listed(takenText), path, 'the tests it has taken, in its order');
    assert.equal(s, path.length > 1 ? 's' : '');
    assert.equal(
      askedDraw,
      `${draw}: ${draw} / ${limit} = ${fraction}, ${below ? '' : 'not '}below q0 = ${q0}`,
    );
    assert.match(
      rule,
      below
        ? new RegExp(
            `^it follows the heaviest trail: .* the largest pheromone level \\(the heat map, row ${from}\\) over run time²`,
          )
        : new RegExp(
            `^it takes the test that adds the most faults it has not detected: it has detected faults ${/faults (.*)\. The most/.exec(view.table.caption)?.[1]}$`,
          ),
    );
    assert.equal(question.shown.tours[ant - 1].at(-1), from, 'the graph does not give it away');
    assert.deepEqual(question.shown.marked, []);
    assert.deepEqual(
      question.choices.map(({ value, label }) => [value, label]),
      open.map(({ cells }) => [Number(cells[0]), `Test ${cells[0]}`]),
    );
    assert.match(question.reply(to), new RegExp(`^Right: ant ${ant} takes test ${to}\\.$`));
    const wrong = question.choices.find(({ value }) => value !== to);
    if (wrong) {
      assert.match(
        question.reply(wrong.value),
        new RegExp(
          `^Not this time: you chose test ${wrong.value}, and ant ${ant} takes test ${to}\\.$`,
        ),
      );
    }
  },
  local(view) {
    const stated = numbers(view.words.split('of the way')[0]).at(-1);
    const [keep, tau0, towards] = numbers(view.words.split('tau0:')[1]);
    assert.deepEqual([stated, towards], [rho, rho]);
    assert.ok(close(keep, 1 - rho));
    assert.equal(String(tau0), facts.tau0);
    const [, one, many] = /(One level|(\d+) levels|Every level was at tau0 already)/.exec(
      view.words,
    );
    assert.equal(one === 'One level' ? 1 : Number(many ?? 0), view.changes.length, 'the count');
    assert.notEqual(many, '0', 'none changed, in words');
    assert.notEqual(many, '1', 'one changed, in words');
    for (const change of view.changes) {
      const [, , before, after] = numbers(change);
      assert.ok(close(after, before * keep + tau0 * towards), change);
    }
    // Asked first, the reader sees the levels before the update, the rule and one outlined edge
    // of those it changes, the highest, and picks its new level among levels of the update's own
    // terms.
    const { question } = view;
    if (view.changes.length === 0) {
      assert.equal(question, null, 'nothing changes, nothing to ask');
      return;
    }
    const asked =
      /^After pass (\d), the local update moves every level rho = (\S+) of the way back to tau0 = (\S+): new = old × (\S+) \+ (\S+) × (\S+)\. The edge (\d+) → (\d+), outlined in the heat map, stood at (\S+)\. What is its new level\?$/;
    const [askedPass, askedShare, askedTau, askedKeep, askedTau0, askedRho, from, to, stood] = asked
      .exec(question.shown.words)
      .slice(1)
      .map(Number);
    assert.deepEqual([askedPass, askedShare, askedTau], [view.step.pass, rho, tau0]);
    assert.deepEqual([askedKeep, askedTau0, askedRho], [keep, tau0, towards]);
    assert.deepEqual(question.shown.marked, [{ from, to }]);
    assert.equal(stood, Number(valueText(question.shown.levels[from - 1][to - 1])));
    const change = view.changes.find((text) => text.startsWith(`${from} → ${to}:`));
    assert.ok(change, `the edge ${from} → ${to} changes`);
    assert.equal(numbers(change)[2], stood);
    const highest = Math.max(...view.changes.map((text) => numbers(text)[2]));
    assert.equal(stood, highest, 'the edge that stood highest');
    // The choices: the new level, the level unchanged, tau0, and rho and 1 − rho swapped.
    const values = question.choices.map(({ value }) => Number(value));
    assert.deepEqual(
      values,
      [...new Set(values)].sort((a, b) => a - b),
      'in increasing order',
    );
    const after = numbers(change)[3];
    for (const expected of [after, stood, tau0, stood * towards + tau0 * keep]) {
      assert.ok(
        values.some((value) => close(value, expected)),
        `${expected} among ${values}`,
      );
    }
    assert.equal(values.length, 4, 'and nothing else');
    assert.equal(Number(question.answer), after);
    // Each reply works the answer out: old × (1 − rho) + tau0 × rho = new.
    const wrong = question.choices.find(({ value }) => value !== question.answer);
    for (const [choice, said] of [
      [question.answer, /^Right: /],
      [wrong.value, new RegExp(`^Not this time: you chose ${wrong.value}, `)],
    ]) {
      const reply = question.reply(choice);
      assert.match(reply, said);
      const [old, share, rest, restShare, worked] = / (\S+) × (\S+) \+ (\S+) × (\S+) = (\S+)\.$/
        .exec(reply)
        .slice(1)
        .map(Number);
      assert.deepEqual([old, share, rest, restShare, worked], [stood, keep, tau0, towards, after]);
      assert.ok(close(worked, old * share + rest * restShare), reply);
    }
  },
  end(view) {
    const [, nm, twoN] =
      /^Each tour's score: for each fault, from fault 1, the position in the tour of the first test that detects it; S, the sum of those positions; and the score, 1 − S \/ (\d+) − 1 \/ (\d+)\.$/
        .exec(view.table.caption)
        .map(Number);
    assert.deepEqual([nm, twoN], [Number(facts.nm), Number(facts.twoN)]);
    const ants = view.table.rows.map(({ cells }) => numbers(cell(view.table, cells, 'Ant'))[0]);
    assert.deepEqual(
      ants,
      view.tours.map((_, k) => k + 1),
      'a row an ant, in order',
    );
    const scores = view.table.rows.map(({ cells }, k) => {
      const tour = numbers(cell(view.table, cells, 'Tour'));
      assert.deepEqual(tour, view.tours[k], "the ant's tour, as the graph draws it");
      const positions = numbers(cell(view.table, cells, 'Positions'));
      trace.instance.faultMatrix[0].forEach((_, fault) => {
        const first = tour
          .slice(0, tests)
          .findIndex((t) => trace.instance.faultMatrix[t - 1][fault]);
        assert.equal(positions[fault], first + 1, `fault ${fault + 1} in ${cells[1]}`);
      });
      const sum = positions.reduce((a, b) => a + b, 0);
      const score = Number(cell(view.table, cells, 'Score'));
      assert.equal(Number(cell(view.table, cells, 'S')), sum);
      assert.ok(Math.abs(score - (1 - sum / nm - 1 / twoN)) < 1e-6, cells.join(' | '));
      return score;
    });
    const smallest = scores.indexOf(Math.min(...scores)) + 1;
    const kept = ants[view.table.rows.findIndex(({ pick }) => pick)];
    view.table.rows.forEach(({ cells }) => assert.match(cells[0], /^\d+( \(kept\))?$/));
    const keptRows = view.table.rows.filter(({ cells }) => /\(kept\)$/.test(cells[0]));
    assert.deepEqual(
      keptRows.map(({ pick }) => pick),
      [true],
      'one row says kept, the one marked',
    );
    assert.equal(kept, smallest, 'the smallest score, the lowest ant on a tie');
    const [, saidAnt, saidScore] =
      /^End of iteration \d+: ant (\d+) is kept: its score, (\S+), is the smallest of the iteration\./.exec(
        view.words,
      );
    assert.deepEqual([Number(saidAnt), Number(saidScore)], [kept, scores[kept - 1]]);
    assert.equal(view.kept, kept, 'the graph draws the kept tour strong');
    // Asked first, the reader sees every tour, the formula and the rule, and no score.
    const { question } = view;
    const [, iteration, toursText, antsText, askedNm, askedTwoN] =
      /^Iteration (\d+) ends with the tours (.*) of ants (.*)\. Each scores 1 − S \/ (\d+) − 1 \/ (\d+), .* the smallest score is kept, the lowest ant on a tie\. Which ant is kept\?$/.exec(
        question.shown.words,
      );
    assert.equal(Number(iteration), view.step.iteration);
    assert.deepEqual(
      toursText.split('; ').map(numbers),
      view.tours,
      'the tours as the graph draws them',
    );
    assert.deepEqual(listed(antsText), ants);
    assert.deepEqual([askedNm, askedTwoN].map(Number), [nm, twoN]);
    assert.doesNotMatch(question.shown.words, /\d\.\d{6}/, 'no score given away');
    assert.deepEqual(
      question.choices.map(({ value, label }) => [value, label]),
      ants.map((ant) => [ant, `Ant ${ant}`]),
    );
    assert.equal(question.reply(kept), `Right: ant ${kept} is kept.`);
    const wrong = ants.find((ant) => ant !== kept);
    assert.equal(
      question.reply(wrong),
      `Not this time: you chose ant ${wrong}, and ant ${kept} is kept.`,
    );
    return { kept, tour: numbers(view.table.rows[kept - 1].cells[1]), score: scores[kept - 1] };
  },
  global(view, end) {
    const [edges, ant, one, score, deposit, keep, depositAgain, towards] = numbers(view.words);
    assert.deepEqual([edges, ant, one, score], [tests, end.kept, 1, end.score]);
    assert.equal(view.kept, end.kept, 'the kept tour strong in the graph');
    assert.ok(close(deposit, 1 / score), `deposit 1 / ${score}`);
    assert.equal(depositAgain, deposit);
    assert.equal(towards, rho);
    assert.ok(close(keep, 1 - rho));
    const tourEdges = end.tour.slice(0, -1).map((t, q) => `${t} → ${end.tour[q + 1]}`);
    assert.deepEqual(edgesOf(view.changes), tourEdges);
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
  let previous = null;
  for (let index = 0; index < shape.steps; ++index) {
    const view = View.stepView(trace, shape, index);
    const { kind, pass, ant } = view.step;
    const [, number, iteration, passShown, antShown] =
      /^Step ([\d,]+) of 3,300: iteration (\d+)(?:, pass (\d) of 5)?(?:, ant (\d))?$/.exec(
        view.position,
      );
    assert.deepEqual(
      [number, Number(iteration), passShown && Number(passShown), antShown && Number(antShown)],
      [(index + 1).toLocaleString('en-GB'), view.step.iteration, pass, ant],
      'where the step stands',
    );
    assert.match(View.heatWords(view).caption, HEAT[kind](pass), 'the moment the heat map shows');
    assert.equal(view.moving, kind === 'move' ? ant : 0, 'the move shown strong in the graph');
    if (kind !== 'end' && kind !== 'global') {
      assert.equal(view.kept, 0, 'no tour kept yet');
    }
    const lit = View.PROCEDURE.find(([name]) => name === view.line);
    assert.match(lit[1], RULES[view.line], `the lit line states the rule of step ${index + 1}`);
    if (view.question !== null) {
      assert.equal(view.question.shown.line, view.line, 'the line lit while the step asks');
    }
    const taken = readers[kind](view, end);
    if (kind === 'end') {
      end = taken;
    }
    if (previous !== null) {
      // The graph: a move adds the moving ant's step to its path, and nothing else changes it.
      if (kind !== 'starts') {
        view.tours.forEach((tour, k) =>
          assert.deepEqual(
            kind === 'move' && k === ant - 1 ? tour.slice(0, -1) : tour,
            previous.tours[k],
            `ant ${k + 1}'s path at step ${index + 1}`,
          ),
        );
      }
      // The heat map: an update changes exactly the levels it lists, from the levels shown
      // before it; every other step shows the levels of the step before.
      const changed = previous.levels.flatMap((row, a) =>
        row.flatMap((level, b) => (level === view.levels[a][b] ? [] : [`${a + 1} → ${b + 1}`])),
      );
      if (kind === 'local' || kind === 'global') {
        assert.deepEqual([...edgesOf(view.changes)].sort(), [...changed].sort(), 'every change');
        for (const change of view.changes) {
          const [a, b, before, after] = numbers(change);
          assert.equal(before, Number(valueText(previous.levels[a - 1][b - 1])), change);
          assert.equal(after, Number(valueText(view.levels[a - 1][b - 1])), change);
        }
        assert.deepEqual(
          view.marked.map(({ from, to }) => `${from} → ${to}`).sort(),
          [...changed].sort(),
          'the cells it changed are marked',
        );
      } else {
        assert.deepEqual(changed, [], `no level changes at step ${index + 1}`);
        assert.deepEqual(view.changes, [], 'and none is listed');
      }
      // Asked first, the reader sees the graph and the heat map as the step before left them,
      // and neither the numbers nor the changes of the step.
      const { question } = view;
      if (question !== null) {
        assert.deepEqual(question.shown.tours, previous.tours, 'the paths before');
        assert.deepEqual(
          question.shown.paths.map((path) => numbers(path)),
          previous.tours.map((tour, k) => [k + 1, ...tour]),
          'the paths before, in words',
        );
        assert.deepEqual(question.shown.levels, previous.levels, 'the levels before');
        assert.match(View.heatWords(question.shown).caption, ASKED_HEAT[kind](pass));
        assert.deepEqual([question.shown.table, question.shown.changes], [null, []]);
        assert.equal(question.shown.kept, 0, 'no tour drawn as kept before the answer');
      }
    }
    // Each ant's path in words is its path in the graph.
    assert.deepEqual(
      view.paths.map((path) => numbers(path)),
      view.tours.map((tour, k) => [k + 1, ...tour]),
      'the paths in words',
    );
    assert.match(View.heatWords(view).caption, /^From test \(row\) to test \(column\)\./);
    // The heat map's scale names the lowest and the highest level its cells show.
    const cells = view.levels.flat().map((level) => Number(levelText(level)));
    const scale = numbers(View.heatWords(view).scale.join(' '));
    assert.deepEqual(
      scale,
      Math.min(...cells) === Math.max(...cells)
        ? [cells[0]]
        : [Math.min(...cells), Math.max(...cells)],
      `the heat map's scale at step ${index + 1}`,
    );
    previous = view;
  }
});

test('the procedure nests the rules as the steps apply them, and states the score as the ends work it out', () => {
  const indent = new Map(View.PROCEDURE.map(([name, text]) => [name, /^ */.exec(text)[0].length]));
  assert.equal(indent.get('iteration'), 0);
  assert.match(View.PROCEDURE[0][1], /^For each iteration:$/);
  for (const name of ['starts', 'pass', 'local', 'score', 'select', 'global']) {
    assert.ok(indent.get(name) > 0, `${name} within an iteration`);
    assert.equal(indent.get(name), indent.get('starts'), `${name} once an iteration`);
  }
  for (const name of ['trail', 'faults', 'home']) {
    assert.ok(indent.get(name) > indent.get('pass'), `${name} within a pass`);
  }
  const line = (name) => View.PROCEDURE.find(([lit]) => lit === name)[1];
  assert.match(line('pass'), /each ant in turn draws d and takes q = d \/ the random limit:$/);
  const [, n, m, twoN] = /scores 1 − S \/ \((\w) · (\w)\) − 1 \/ \(2(\w)\)$/.exec(line('score'));
  assert.deepEqual(
    [n, m, twoN],
    ['n', 'm', 'n'],
    'S over tests times faults, one over twice the tests',
  );
  assert.deepEqual([facts.nm, facts.twoN], [tests * facts.faults, 2 * tests]);
});

// The page's own text around the replay, as a reader reads it once the page has written its facts
// in: the template's main part, its tags dropped.
const pageText = (() => {
  const html = fs.readFileSync(new URL('../web/antorder.html.in', import.meta.url), 'utf8');
  const filled = /<main>([\s\S]*)<\/main>/
    .exec(html)[1]
    .replace(/<span data-fact="(\w+)">…<\/span>/g, (_, name) => String(facts[name]));
  assert.doesNotMatch(filled, /data-fact|undefined/, 'every fact written in');
  return filled.replace(/<[^>]+>/g, '').replace(/\s+/g, ' ');
})();
// The numbers of the first sentence of the page's text that `pattern` finds.
const stated = (pattern) => {
  const found = pattern.exec(pageText);
  assert.ok(found, `the page says ${pattern}`);
  return found.slice(1).map(Number);
};

test("the page's text gives the suite's costs, tau0 and the score's range true to the suite", () => {
  const [faults, suite] = stated(/Which of the (\d+) faults each of the (\d+) tests/);
  assert.deepEqual([faults, suite], [trace.instance.faultMatrix[0].length, tests]);
  const costs = numbers(/every row of which then reads ([\d., ]+)\./.exec(pageText)[1]);
  const [cycleText, cycle] = /The reference cycle ([\d →]+) costs (\d+(?:\.\d+)?)/
    .exec(pageText)
    .slice(1);
  const cycleTour = numbers(cycleText);
  assert.equal(cycleTour.at(-1), cycleTour[0], 'a cycle ends where it starts');
  assert.equal(new Set(cycleTour).size, tests, 'and takes every test once');
  const walked = cycleTour.slice(1).reduce((sum, t) => sum + costs[t - 1], 0);
  assert.ok(close(walked, Number(cycle)), `the cycle ${cycleText} costs ${walked}`);
  const [n, cycleAgain, tau0] = stated(/tau0 = 1 \/ \((\d+) × (\d+(?:\.\d+)?)\) = (\d+(?:\.\d+)?)/);
  assert.deepEqual([n, cycleAgain], [tests, Number(cycle)]);
  assert.ok(close(tau0, 1 / (n * cycleAgain)), `tau0 = ${tau0}`);
  // The range of the score: its smallest and largest over every ordering of the suite.
  const [nm, twoN, low, high] = stated(
    /1 − S \/ (\d+) − 1 \/ (\d+)\. It ranks .* between (\d+(?:\.\d+)?) and (\d+(?:\.\d+)?) for this suite/,
  );
  assert.deepEqual([nm, twoN], [tests * faults, 2 * tests]);
  const orderings = (left) =>
    left.length === 0
      ? [[]]
      : left.flatMap((t) => orderings(left.filter((u) => u !== t)).map((rest) => [t, ...rest]));
  const scores = orderings(cycleTour.slice(1)).map((order) => {
    const sum = trace.instance.faultMatrix[0]
      .map((_, fault) => order.findIndex((t) => trace.instance.faultMatrix[t - 1][fault]) + 1)
      .reduce((a, b) => a + b, 0);
    return 1 - sum / nm - 1 / twoN;
  });
  assert.deepEqual(
    [low, high],
    [Math.min(...scores), Math.max(...scores)].map((score) => Number(score.toFixed(2))),
  );
  assert.deepEqual(
    stated(/from (\d+(?:\.\d+)?) to (\d+(?:\.\d+)?)\. Click a dot/),
    [low, high],
    'the chart',
  );
});

test("the page's text names the generator so that every draw the replay shows follows from the seed", () => {
  const [iterations, seed, multiplier, modulus, shift, shiftAgain, limit] = stated(
    /runs (\d+) iterations\. Its random draws come from .* seeded with (\d+): each of its values is the one before times (\d+), modulo (\d+), and a draw is that value shifted right by (\d+) bits \(divided by 2 to the power (\d+), rounded down\), a number from 0 to (\d+)\./,
  );
  assert.equal(iterations, shape.iterations);
  assert.equal(shiftAgain, shift);
  assert.equal(limit, Math.floor((modulus - 1) / 2 ** shift), 'the largest draw');
  const [ants, passes, moveLimit] = stated(
    /Each of the (\d+) ants .* In each of (\d+) passes, .* draws a number from 0 to (\d+)/,
  );
  assert.deepEqual([ants, passes, moveLimit], [shape.ants, shape.passes, limit]);
  let value = seed;
  for (let index = 0; index < shape.steps; ++index) {
    const view = View.stepView(trace, shape, index);
    const shown =
      view.line === 'starts'
        ? view.table.rows.map(({ cells }) => Number(cell(view.table, cells, 'Draw')))
        : [...view.words.matchAll(/drew (\d+)/g)].map((match) => Number(match[1]));
    for (const draw of shown) {
      value = (value * multiplier) % modulus;
      assert.equal(draw, Math.floor(value / 2 ** shift), `a draw of step ${index + 1}`);
    }
  }
});

test("the page's note on answering first names the steps that ask", () => {
  const asking = new Set();
  for (let index = 0; index < shape.steps; ++index) {
    const view = View.stepView(trace, shape, index);
    if (view.question !== null) {
      asking.add(view.step.kind);
    }
  }
  assert.deepEqual([...asking].sort(), ['end', 'local', 'move']);
  assert.match(
    pageText,
    /Answer first: before each move, each local update and each iteration's end is shown, say which test the ant takes, the new level of the outlined edge, or which ant is kept;/,
  );
});
