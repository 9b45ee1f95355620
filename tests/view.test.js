// The view of the replay: its steps, one action each, the address of a step and where each key
// goes, and, for every step of the run of antorder-trace, whose path ANTORDER_TRACE gives, what the
// page shows, read for its meaning by tests/reader.js; and the page's own text, its facts written
// in, as a reader reads it.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { test } from 'node:test';
import { programOutput, runProgram } from './wasi_run.js';
import { close, numbers, readRun } from './reader.js';
import { parseReport } from '../web/chart.js';
import * as View from '../web/view.js';

const trace = JSON.parse(programOutput(process.env.ANTORDER_TRACE));
const shape = View.shapeOf(trace);
const facts = View.facts(trace);
const tests = Number(facts.tests);

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

test('refuses a trace of another shape, saying so', () => {
  for (const broken of [
    {},
    { iterations: [] },
    { iterations: [{ passes: [] }] },
    { iterations: [{ passes: [{ moves: [] }] }] },
    { iterations: [{ passes: [{}] }] },
  ]) {
    assert.throws(() => View.shapeOf(broken), /the trace has no iterations/);
  }
  const uneven = structuredClone(trace);
  uneven.iterations[7].passes[2].moves.pop();
  assert.throws(() => View.shapeOf(uneven), /of one shape/);
  const short = structuredClone(trace);
  short.iterations[9].passes.pop();
  assert.throws(() => View.shapeOf(short), /of one shape/);
  delete short.iterations[9].passes;
  assert.throws(() => View.shapeOf(short), /of one shape/);
});

test('opens the step an address names in decimal digits, or the nearest there is', () => {
  for (const [hash, iteration, within] of [
    ['#iteration=51&step=12', 51, 12],
    ['', 1, 1],
    ['#garbage', 1, 1],
    ['#iteration=0&step=-4', 1, 1],
    ['#iteration=101&step=40', 100, 33],
    ['#iteration=2.5&step=3', 1, 3],
    ['#iteration=7', 7, 1],
    ['#iteration=0x21&step=1e1', 1, 1],
    ['#iteration=+5&step= 3', 1, 1],
  ]) {
    const step = View.stepAt(shape, View.indexFromAddress(shape, hash));
    assert.deepEqual([step.iteration, step.within], [iteration, within], hash);
    assert.equal(View.indexFromAddress(shape, View.addressOf(step)), step.index);
  }
});

test('each key goes where the page says, and no further than either end', () => {
  const at = (iteration, within) => View.indexOf(shape, iteration, within);
  for (const [from, key, to] of [
    [at(5, 7), 'ArrowRight', at(5, 8)],
    [at(5, 1), 'ArrowLeft', at(4, 33)],
    [0, 'ArrowLeft', 0],
    [shape.steps - 1, 'ArrowRight', shape.steps - 1],
    [at(5, 7), 'Home', 0],
    [at(5, 7), 'End', shape.steps - 1],
    [at(5, 7), 'PageDown', at(6, 1)],
    [at(5, 7), 'PageUp', at(4, 1)],
    [at(1, 7), 'PageUp', 0],
    [at(100, 7), 'PageDown', shape.steps - 1],
    [shape.steps - 1, 'PageDown', shape.steps - 1],
  ]) {
    assert.equal(View.keyTarget(shape, from, key), to, `${key} from step ${from + 1}`);
  }
  assert.equal(View.keyTarget(shape, 0, 'a'), undefined, 'a key that goes nowhere');
});

test("Play's button says what it does, and the status names the program that failed and why", () => {
  assert.deepEqual(
    [
      View.playLabel(shape, 5, false),
      View.playLabel(shape, 5, true),
      View.playLabel(shape, shape.steps - 1, false),
      View.playLabel(shape, shape.steps - 1, true),
    ],
    ['Play', 'Pause', 'Play from the start', 'Pause'],
  );
  assert.match(View.RUNNING_TRACE, /^Running antorder-trace/);
  assert.match(View.reportFailure('its reason'), /^antorder did not .*\(its reason\)\.$/);
  assert.match(View.traceFailure('its reason'), /^antorder-trace did not .*\(its reason\)\.$/);
});

test('counts the right answers of those given', () => {
  assert.equal(
    View.answerCountWords([{ right: true }, { right: false }, { right: true }]),
    'Right answers: 2 of 3',
  );
});

test('every step reads true: each sentence, table and procedure line, for its meaning', () => {
  const run = readRun(trace);
  assert.deepEqual([...run.kinds].sort(), ['end', 'local', 'move'], 'the steps that ask');
});

// Runs the learner may ask for: every draw to the faults or to the trail, updates that forget the
// old level, the other rule, a seed whose weights tie to four digits where they do not, updates
// that leave every level reading as tau0, and updates too small for single precision to show.
for (const args of [
  ['--q0', '0'],
  ['--q0', '1'],
  ['--rho', '1'],
  ['--keep', 'largest'],
  ['--seed', '1'],
  ['--seed', '2147483646', '--q0', '0', '--rho', '0.999999'],
  ['--rho', '0.000001', '--iterations', '20'],
]) {
  test(`every step of a changed run reads true: ${args.join(' ')}`, () => {
    readRun(JSON.parse(programOutput(process.env.ANTORDER_TRACE, args)));
  });
}

// The options a run title names, read back as the arguments that would run it.
function titleArguments(title) {
  const named = new RegExp(
    String.raw`^(?<which>A changed run, not the program’s|The program’s own run): seed (?<seed>\d+), ` +
      String.raw`q0 (?<q0>[\d.]+), rho (?<rho>[\d.]+), (?<iterations>[\d,]+) iterations, ` +
      String.raw`the (?<keep>smallest|largest) score kept\.$`,
  ).exec(title);
  assert.ok(named, title);
  const { which, iterations, ...rest } = named.groups;
  return { which, ...rest, iterations: iterations.replaceAll(',', '') };
}

test('a shared address runs the run it names, at its step, and the replay says which run it is', () => {
  const program = View.addressOf(View.stepAt(shape, 40));
  assert.deepEqual([...new URLSearchParams(program.slice(1)).keys()], ['iteration', 'step']);
  assert.equal(View.runFromAddress(program), null, 'the program’s run names no options');
  assert.deepEqual(View.traceArguments(null), []);
  assert.deepEqual(titleArguments(View.runTitle(trace, false)), {
    which: 'The program’s own run',
    seed: '12345',
    q0: '0.5',
    rho: '0.8',
    iterations: '100',
    keep: 'smallest',
  });
  const own = ['--seed', '12345', '--rho', '0.80', '--iterations', '100', '--keep', 'smallest'];
  const ownRun = JSON.parse(programOutput(process.env.ANTORDER_TRACE, own));
  assert.equal(View.changedOptions(ownRun, trace), null, 'asked with its own options, its run');
  const asked = { seed: '7', q0: '0.9', rho: '0.25', iterations: '40', keep: 'largest' };
  const args = Object.entries(asked).flatMap(([name, value]) => [`--${name}`, value]);
  const written = programOutput(process.env.ANTORDER_TRACE, args);
  const changed = JSON.parse(written);
  assert.deepEqual(View.changedOptions(changed, trace), asked);
  const changedShape = View.shapeOf(changed);
  const step = View.stepAt(changedShape, 39 * 33 + 4);
  const address = View.addressOf(step, View.optionsOf(changed));
  const options = View.runFromAddress(address);
  assert.equal(programOutput(process.env.ANTORDER_TRACE, View.traceArguments(options)), written);
  assert.equal(View.indexFromAddress(changedShape, address), step.index, address);
  assert.deepEqual(titleArguments(View.runTitle(changed, true)), {
    which: 'A changed run, not the program’s',
    ...asked,
  });
  // An address is passed on as written, so that the program refuses what it would refuse.
  for (const [hash, option] of [
    ['#q0=2&iteration=3', '--q0'],
    ['#iterations=1001', '--iterations'],
    ['#keep=most&step=2', '--keep'],
    ['#seed=-1', '--seed'],
    ['#rho=0.5%20', '--rho'],
    ['#q0=&step=2', '--q0'],
  ]) {
    const { status, stderr } = runProgram(
      process.env.ANTORDER_TRACE,
      View.traceArguments(View.runFromAddress(hash)),
    );
    assert.equal(status, 2, hash);
    assert.match(stderr, new RegExp(`^antorder-trace: ${option} `), hash);
  }
});

// A comparison's column for one run, each row read by what its label says it holds: as numbers
// and an ordering. No row is marked as a pick.
const COMPARED = {
  'Highest score kept': 'score',
  'First kept in iteration': 'first',
  'Last ordering kept': 'ordering',
  'Moves that followed the trail': 'trail',
  'Moves that took the most new faults': 'faults',
};
function columnOf(table, column) {
  assert.ok(
    table.rows.every(({ pick }) => !pick),
    'no row picked',
  );
  const read = Object.fromEntries(
    table.rows.map(({ cells }) => [COMPARED[cells[0]], cells[column]]),
  );
  assert.deepEqual(Object.keys(read).sort(), Object.values(COMPARED).sort(), 'every row, once');
  assert.match(read.score, /^\d\.\d{6}$/);
  const whole = (text) => Number(text.replaceAll(',', ''));
  return {
    score: Number(read.score),
    first: whole(read.first),
    ordering: numbers(read.ordering),
    trail: whole(read.trail),
    faults: whole(read.faults),
  };
}

// What a run came to, found from its report, or from each iteration's scores under its rule, and
// from each draw against q0.
function cameTo(run, report = null) {
  const pick = run.parameters.keep === 'largest' ? Math.max : Math.min;
  const kept = report?.scores ?? run.iterations.map(({ scores }) => pick(...scores));
  const score = Number(Math.max(...kept).toFixed(6));
  const last = run.iterations.at(-1);
  const lastKept = last.tours[last.scores.indexOf(pick(...last.scores))];
  const draws = run.iterations
    .flatMap(({ passes }) => passes.flatMap(({ moves }) => moves))
    .filter(({ draw }) => draw !== null);
  const trail = draws.filter(({ draw }) => draw / run.parameters.randLimit < run.parameters.q0);
  return {
    score,
    first: kept.findIndex((s) => s.toFixed(6) === score.toFixed(6)) + 1,
    ordering: (report?.finalTour ?? lastKept).slice(0, -1),
    trail: trail.length,
    faults: draws.length - trail.length,
  };
}

test('the comparison says what each run came to, as its report, its rule and its draws give it', () => {
  const report = parseReport(
    fs.readFileSync(new URL('expected_report.txt', import.meta.url), 'latin1'),
  );
  for (const args of [
    ['--q0', '0'],
    ['--q0', '1'],
    ['--keep', 'largest'],
    ['--seed', '1'],
  ]) {
    const changed = JSON.parse(programOutput(process.env.ANTORDER_TRACE, args));
    const table = View.comparison(trace, changed);
    assert.deepEqual(table.headings, ['', 'Program’s run', 'Changed run']);
    assert.notEqual(table.caption, '', 'a caption says what the table holds');
    assert.deepEqual(View.changedOptions(changed, trace), View.optionsOf(changed), 'one changed');
    const program = columnOf(table, 1);
    assert.deepEqual(program, cameTo(trace, report), 'the program’s run');
    assert.deepEqual(columnOf(table, 2), cameTo(changed), args.join(' '));
  }
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
        ? view.table.rows.map(({ cells }) => Number(cells[view.table.headings.indexOf('Draw')]))
        : [...view.words.matchAll(/drew (\d+)/g)].map((match) => Number(match[1]));
    for (const draw of shown) {
      value = (value * multiplier) % modulus;
      assert.equal(draw, Math.floor(value / 2 ** shift), `a draw of step ${index + 1}`);
    }
  }
});

test("the page's note on answering first names the steps that ask, and what each asks", () => {
  const asking = new Map();
  for (let index = 0; index < shape.steps; ++index) {
    const { question, step } = View.stepView(trace, shape, index);
    if (question !== null) {
      const asks = question.shown.words.split(/(?<=[.]) /).at(-1);
      asking.set(asks, step.kind);
    }
  }
  const note =
    /Answer first: before each (.+) is shown, say (.+); the page then says whether you were right, with the numbers why, and counts your right answers\./.exec(
      pageText,
    );
  assert.ok(note, 'the note on answering first');
  const KINDS = {
    move: 'move',
    'local update that changes a level': 'local',
    "iteration's end": 'end',
  };
  const named = note[1].split(/, each | and each /).map((kind) => KINDS[kind]);
  // What each kind asks, in the note's order, as its questions ask it.
  const ASKS = {
    'which test the ant takes': 'Which test does it take?',
    'with one test left, which rule its draw chooses': 'Which rule does the draw choose?',
    'the new level of the outlined edge': 'What is its new level?',
    'which ant is kept': 'Which ant is kept?',
  };
  const said = /^(.+) \(or, (.+)\), (.+), or (.+)$/.exec(note[2]).slice(1);
  assert.deepEqual(
    said.map((words) => asking.get(ASKS[words])),
    ['move', 'move', 'local', 'end'],
    'each question as the note names it',
  );
  assert.deepEqual(named, ['move', 'local', 'end']);
  assert.deepEqual(new Set(asking.values()), new Set(named), 'the kinds that ask');
});
