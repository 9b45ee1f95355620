// The view of the replay: the steps a reader moves through, one action each, and, for each step,
// everything the page shows of it: where it stands, the line of the procedure it applies, its
// sentence, its table's rows, the cells and arrows it marks, the heat map's cells and shades, the
// question it asks first and the verdict on an answer. Every number comes from the trace that
// antorder-trace writes; this module decides nothing of the search, and holds the page's wording
// and the page's navigation. It has no DOM: the page renders what it returns, and node's tests
// read it.
import {
  approximately,
  fractionText,
  heatColour,
  listText,
  numbersOf,
  scoreText,
  tourText,
  valueText,
} from './format.js';

// Each iteration's steps, in order: the starts; in each pass, each ant's move, then the local
// update; the iteration's end, where the scores select the kept ant; the global update. A trace
// of another shape is refused, saying what it lacks.
export function shapeOf(trace) {
  const all = trace.iterations ?? [];
  const passes = all[0]?.passes?.length ?? 0;
  const ants = all[0]?.passes[0]?.moves?.length ?? 0;
  const even = all.every(
    (iteration) =>
      iteration.passes?.length === passes &&
      iteration.passes.every((pass) => pass.moves?.length === ants),
  );
  const iterations = all.length;
  if (ants === 0 || !even) {
    throw new Error('the trace has no iterations of passes of moves of one shape');
  }
  const perIteration = 1 + passes * (ants + 1) + 2;
  return { iterations, passes, ants, perIteration, steps: iterations * perIteration };
}

// The step numbered `index` from 0 over the whole run: its iteration, its number within the
// iteration from 1, its kind, and for a move or a local update its pass, for a move its ant.
export function stepAt(shape, index) {
  const iteration = Math.floor(index / shape.perIteration) + 1;
  const within = (index % shape.perIteration) + 1;
  const step = { index, iteration, within };
  if (within === 1) {
    return { ...step, kind: 'starts' };
  }
  if (within === shape.perIteration - 1) {
    return { ...step, kind: 'end' };
  }
  if (within === shape.perIteration) {
    return { ...step, kind: 'global' };
  }
  const pass = Math.floor((within - 2) / (shape.ants + 1)) + 1;
  const ant = ((within - 2) % (shape.ants + 1)) + 1;
  return ant > shape.ants ? { ...step, kind: 'local', pass } : { ...step, kind: 'move', pass, ant };
}

// The index of the step numbered `within` from 1 in the iteration, and of an iteration's end.
export const indexOf = (shape, iteration, within) =>
  (iteration - 1) * shape.perIteration + within - 1;
export const endIndexOf = (shape, iteration) => indexOf(shape, iteration, shape.perIteration - 1);

const clamp = (value, low, high) => Math.min(high, Math.max(low, value));

// The step an address such as "#iteration=51&step=12" names, or where it names none, the nearest
// step there is: a number out of range goes to the end it passes, anything but decimal digits to
// the first.
export function indexFromAddress(shape, hash) {
  const parameters = new URLSearchParams(hash.slice(1));
  const whole = (name, high) => {
    const text = parameters.get(name);
    return /^\d+$/.test(text) ? clamp(Number(text), 1, high) : 1;
  };
  return indexOf(shape, whole('iteration', shape.iterations), whole('step', shape.perIteration));
}

// The options of antorder-trace that change a run, by the names the address and the panel give
// them.
export const RUN_OPTIONS = ['seed', 'q0', 'rho', 'iterations', 'keep'];

// The options a changed run was asked for, each as written, or null for the program's own run.
export function runFromAddress(hash) {
  const parameters = new URLSearchParams(hash.slice(1));
  const named = RUN_OPTIONS.filter((name) => parameters.has(name));
  return named.length === 0
    ? null
    : Object.fromEntries(named.map((name) => [name, parameters.get(name)]));
}

// The arguments that run antorder-trace with the options `options`, or with none.
export const traceArguments = (options) =>
  RUN_OPTIONS.filter((name) => options?.[name] !== undefined).flatMap((name) => [
    `--${name}`,
    options[name],
  ]);

// The options of the run a trace records, as the panel and the address write them.
export const optionsOf = ({ parameters }) => ({
  seed: String(parameters.seed),
  q0: plain(parameters.q0),
  rho: plain(parameters.rho),
  iterations: String(parameters.iterations),
  keep: parameters.keep,
});

// The options of the run `trace` records where they are not the program's, whose trace is
// `program`, or null where they are: a run asked for with the program's own options is its run.
export function changedOptions(trace, program) {
  const [options, own] = [optionsOf(trace), optionsOf(program)];
  return RUN_OPTIONS.every((name) => options[name] === own[name]) ? null : options;
}

// The address of a step of the run with the options `options`, or of the program's run.
export function addressOf(step, options = null) {
  const run = options === null ? [] : RUN_OPTIONS.map((name) => `${name}=${options[name]}`);
  return `#${[...run, `iteration=${step.iteration}`, `step=${step.within}`].join('&')}`;
}

// The step a navigation key goes to from the step `index`: one back or on, the first or the
// last, or the start of the iteration before or after; never past either end, so that in the
// last iteration Page Down goes to its last step.
export function keyTarget(shape, index, key) {
  const { iteration } = stepAt(shape, index);
  const targets = {
    ArrowLeft: index - 1,
    ArrowRight: index + 1,
    Home: 0,
    End: shape.steps,
    PageUp: indexOf(shape, iteration - 1, 1),
    PageDown: indexOf(shape, iteration + 1, 1),
  };
  return key in targets ? clamp(targets[key], 0, shape.steps - 1) : undefined;
}

// What Play does at the step `index`: play, pause, or at the last step, play again from the first.
export function playLabel(shape, index, playing) {
  if (playing) {
    return 'Pause';
  }
  return index === shape.steps - 1 ? 'Play from the start' : 'Play';
}

// The word for the score the selection keeps: smallest or largest.
const keptWord = (parameters) => parameters.keep;

// The lines of the procedure, each with its name, which a step lights, and its depth, how far it
// is indented.
export function procedure(parameters) {
  return [
    ['iteration', 0, 'For each iteration:'],
    ['starts', 1, 'each ant draws a start test; a test another ant starts on is drawn again'],
    ['pass', 1, 'in each pass, each ant in turn draws d and takes q = d / the random limit:'],
    ['trail', 2, 'q below q0: the test not taken with the largest pheromone / run time²'],
    ['faults', 2, 'otherwise: the test not taken that adds the most faults not yet detected'],
    ['home', 2, 'no test left: back to its start'],
    ['local', 1, 'after the pass, every level: old × (1 − rho) + tau0 × rho'],
    ['score', 1, 'each tour scores 1 − S / (n · m) − 1 / (2n)'],
    [
      'select',
      1,
      `the tour with the ${keptWord(parameters)} score is kept (on a tie, the lowest ant)`,
    ],
    ['global', 1, "the kept tour's edges: old × (1 − rho) + (1 / its score) × rho"],
  ].map(([name, depth, text]) => ({ name, depth, text }));
}

const plain = (value) => String(Number(value.toPrecision(6)));
// An update moving the level `old` rho of the way towards `target`: "old × 0.2 + tau0 × 0.8".
const updateText = (parameters, old, target) =>
  `${old} × ${plain(1 - parameters.rho)} + ${target} × ${plain(parameters.rho)}`;
// The same, worked out to `result`, which the program computed from the unrounded values: "=" where
// the printed operands give it, "≈" where their rounding shows.
const workedText = (parameters, old, target, result) => {
  const fromPrinted =
    Number(old) * Number(plain(1 - parameters.rho)) +
    Number(target) * Number(plain(parameters.rho));
  return `${updateText(parameters, old, target)} ${approximately(fromPrinted, result)} ${valueText(result)}`;
};
// Each ant's path in words: "Ant 1: 2 → 4 → 1".
const pathsText = (tours) => tours.map((tour, k) => `Ant ${k + 1}: ${tourText(tour)}`);
const count = (number) => number.toLocaleString('en-GB');

// The numbers of the search that the page's text names, from the trace, formatted.
export function facts(trace) {
  const { instance, parameters } = trace;
  const tests = instance.faultMatrix.length;
  const faults = instance.faultMatrix[0].length;
  return {
    tests,
    faults,
    nm: instance.scoreDivisors[0],
    twoN: instance.scoreDivisors[1],
    costRow: instance.cost[0].map((cost) => valueText(cost)).join(', '),
    cycleTour: tourText(instance.referenceTour),
    cycle: valueText(instance.referenceCycle),
    tau0: valueText(trace.tau0),
    scoreLow: instance.scoreRange[0].toFixed(2),
    scoreHigh: instance.scoreRange[1].toFixed(2),
    ants: parameters.ants,
    passes: shapeOf(trace).passes,
    iterations: parameters.iterations,
    seed: parameters.seed,
    multiplier: parameters.generator.multiplier,
    modulus: parameters.generator.modulus,
    shift: parameters.generator.shift,
    randLimit: parameters.randLimit,
    q0: plain(parameters.q0),
    rho: plain(parameters.rho),
    keep: keptWord(parameters),
  };
}

// The lowest and the highest level the run ever holds: the ends of the heat map's one scale.
const ranges = new WeakMap();
export function heatRange(trace) {
  if (!ranges.has(trace)) {
    let [low, high] = [Infinity, -Infinity];
    const see = (table) => {
      for (const row of table) {
        for (const level of row) {
          [low, high] = [Math.min(low, level), Math.max(high, level)];
        }
      }
    };
    for (const iteration of trace.iterations) {
      see(iteration.pheromoneAtStart);
      iteration.passes.forEach((pass) => see(pass.pheromone));
      see(iteration.pheromone);
    }
    ranges.set(trace, { low, high });
  }
  return ranges.get(trace);
}

// The pheromone table before the step's action: what the ants read in a pass, and what an update
// starts from.
function tableBefore(iteration, step) {
  if (step.kind === 'end' || step.kind === 'global') {
    return iteration.passes[iteration.passes.length - 1].pheromone;
  }
  if (step.kind === 'starts' || step.pass === 1) {
    return iteration.pheromoneAtStart;
  }
  return iteration.passes[step.pass - 2].pheromone;
}

// The pheromone table after the step's action.
function tableAfter(iteration, step) {
  if (step.kind === 'local') {
    return iteration.passes[step.pass - 1].pheromone;
  }
  return step.kind === 'global' ? iteration.pheromone : tableBefore(iteration, step);
}

// The tests each ant has stood on by the end of the step: its tour so far.
function toursSoFar(iteration, step) {
  let shown = 0;
  if (step.kind === 'end' || step.kind === 'global') {
    shown = iteration.passes.length;
  } else if (step.kind === 'local') {
    shown = step.pass;
  } else if (step.kind === 'move') {
    shown = step.pass - 1;
  }
  return iteration.tours.map((tour, k) =>
    tour.slice(0, shown + 1 + (step.kind === 'move' && k < step.ant ? 1 : 0)),
  );
}

// The cells whose levels an update changed, with their levels before and after.
function changes(before, after) {
  return before.flatMap((row, a) =>
    row.flatMap((level, b) =>
      level === after[a][b] ? [] : [{ from: a + 1, to: b + 1, before: level, after: after[a][b] }],
    ),
  );
}

// How many levels a local update changed, in words; where it changed none, why: every level was
// at tau0, or so near it that rho of the way is lost in single precision.
function changedWords(changed, before, tau0) {
  if (changed.length > 0) {
    return `${changed.length === 1 ? 'One level' : `${changed.length} levels`} changed.`;
  }
  return before.flat().every((level) => level === tau0)
    ? 'Every level was at tau0 already, and stays there.'
    : 'No level changed: each is so near tau0 that rho of the way is lost in single precision.';
}

const changeText = (change) =>
  `${change.from} → ${change.to}: ${valueText(change.before)} → ${valueText(change.after)}`;

// The heat map of the levels `levels`, the moment they stand at in words, `moment`, with the
// edges `marked` outlined and the changes `changed` shown by the way they went: its caption, its
// scale, and each cell's text, shade, outline and change.
function heatView(levels, moment, marked, changed, range) {
  const isMarked = (a, b) => marked.some(({ from, to }) => from === a + 1 && to === b + 1);
  const changeOf = (a, b) => changed.find(({ from, to }) => from === a + 1 && to === b + 1);
  return {
    caption: `From test (row) to test (column). ${moment} The darker, the higher, on one scale for the whole run.`,
    scale: [
      `Shade: white is the run's lowest level, ${valueText(range.low)}, `,
      ` and the darkest its highest, ${valueText(range.high)}, on a logarithmic scale.`,
    ],
    low: heatColour(range.low, range),
    high: heatColour(range.high, range),
    cells: levels.map((row, a) =>
      row.map((level, b) => {
        const change = changeOf(a, b);
        const went = change && (change.after > change.before ? 'rose' : 'fell');
        return {
          text: valueText(level),
          colour: heatColour(level, range),
          marked: isMarked(a, b),
          change: went ? { arrow: went === 'rose' ? '↑' : '↓', words: went } : null,
        };
      }),
    ),
  };
}

// The start draws of an iteration as rows: the draw, the test it names, and what became of it.
function startsView(iteration, tests) {
  const rows = iteration.startDraws.map((draw, k) => {
    const holder = iteration.startHolders[k];
    const outcome =
      holder === null
        ? `ant ${iteration.startAnts[k]} starts here`
        : `taken by ant ${holder}: drawn again`;
    return [String(draw), String(iteration.startPicks[k]), outcome];
  });
  const again = iteration.startHolders.filter((holder) => holder !== null).length;
  return {
    caption: `Each draw modulo ${tests}, plus 1, names a test; a test another ant already starts on is drawn again.`,
    headings: ['Draw', 'Test', 'Start'],
    rows: rows.map((cells) => ({ cells, pick: false })),
    words:
      `The ants draw their starts: ${iteration.starts.join(', ')} for ants ` +
      `${listText(iteration.starts.map((_, k) => k + 1))}` +
      (again > 0
        ? `; ${again} ${again === 1 ? 'draw named' : 'draws named'} a test already taken.`
        : '.'),
  };
}

// A draw against q0: "drew 13551: 13551 / 32767 = 0.41, below q0 = 0.5".
function drawText(move, parameters) {
  const side = move.rule === 'trail' ? 'below' : 'not below';
  return `drew ${move.draw}: ${move.draw} / ${parameters.randLimit} = ${fractionText(move, parameters.q0)}, ${side} q0 = ${plain(parameters.q0)}`;
}

// What each rule does, as a move's sentence says it.
const RULE_WORDS = {
  trail: 'it follows the heaviest trail',
  faults: 'it takes the test that adds the most faults it has not detected',
};

// The rules a draw may choose, as a question offers them.
const RULE_CHOICES = [
  { value: 'trail', label: 'The heaviest trail' },
  { value: 'faults', label: 'The most new faults' },
];

// One move in words, with its draw against q0.
function moveWords(move, parameters) {
  const where = `Ant ${move.ant}, on test ${move.from},`;
  if (move.rule === 'home') {
    return `${where} has taken every test: it returns to test ${move.to}, where it started.`;
  }
  return `${where} ${drawText(move, parameters)}, so ${RULE_WORDS[move.rule]}, to test ${move.to}.`;
}

// The tests a move could take: those its ant has not taken.
const openTests = (move) =>
  move.weights.map((_, t) => t + 1).filter((test) => !move.taken.includes(test));

// The significant digits a trail move's table writes its levels and weights with: four, or as
// many more as it takes for the test taken to stand above the lower tests and not below the
// others, as the program compared them, both by its weight as written and by its level as written
// over its run time², from the levels `read`.
function weightDigits(move, read, cost) {
  const weight = (test, digits) => Number(valueText(move.weights[test - 1], digits));
  const worked = (test, digits) =>
    Number(valueText(read[move.from - 1][test - 1], digits)) / cost[move.from - 1][test - 1] ** 2;
  const standsOut = (value, digits) =>
    openTests(move).every((test) =>
      test < move.to
        ? value(test, digits) < value(move.to, digits)
        : value(test, digits) <= value(move.to, digits),
    );
  for (let digits = 4; digits < 9; ++digits) {
    if (standsOut(weight, digits) && standsOut(worked, digits)) {
      return digits;
    }
  }
  return 9;
}

// A trail move's weight of `test` as the table writes it, with `digits` significant digits: the
// weight, or "≈" the weight where the printed level over the printed run time² gives another.
function weightText(move, read, cost, test, digits) {
  const level = valueText(read[move.from - 1][test - 1], digits);
  const time = valueText(cost[move.from - 1][test - 1]);
  const weight = move.weights[test - 1];
  const sign = approximately(Number(level) / Number(time) ** 2, weight, digits);
  return `${sign === '≈' ? '≈ ' : ''}${valueText(weight, digits)}`;
}

// The numbers a trail move is made from: each test's pheromone and run time², and, once the move
// is shown, its weight, with the tests taken; before, the tests not taken alone.
function trailTable(move, read, cost, withWeights) {
  const digits = weightDigits(move, read, cost);
  return {
    caption:
      `From test ${move.from}: weight = pheromone ÷ run time². The largest weight wins; on a tie, ` +
      'the lower test. The pheromone is the level the ant read, before the local update; point ' +
      'at a row, or focus it, to find its edge in the graph and the heat map.',
    headings: ['Test', 'Pheromone', 'Run time²', ...(withWeights ? ['Weight'] : [])],
    rows: (withWeights ? move.weights.map((_, t) => t + 1) : openTests(move)).map((test) => {
      const t = test - 1;
      if (move.taken.includes(test)) {
        return { cells: [String(test), '', '', 'taken'], pick: false };
      }
      const pick = withWeights && test === move.to;
      const weight = `${weightText(move, read, cost, test, digits)}${pick ? ' ← largest' : ''}`;
      return {
        edge: { from: move.from, to: test },
        cells: [
          String(test),
          valueText(read[move.from - 1][t], digits),
          `${valueText(cost[move.from - 1][t])}²`,
          ...(withWeights ? [weight] : []),
        ],
        pick,
      };
    }),
  };
}

// The numbers a faults move is made from: the faults the ant has detected, what each test
// detects, and, once the move is shown, how many of them each test not taken would add, with the
// tests taken; before, the tests not taken alone.
function faultsTable(move, faultMatrix, withCounts) {
  return {
    caption:
      `Detected so far: faults ${listText(numbersOf(move.detected))}. The most new faults win; ` +
      'on a tie, the lower test.',
    headings: ['Test', 'Detects faults', ...(withCounts ? ['New'] : [])],
    rows: (withCounts ? faultMatrix.map((_, t) => t + 1) : openTests(move)).map((test) => {
      const t = test - 1;
      const cells = [String(test), listText(numbersOf(faultMatrix[t]))];
      if (move.taken.includes(test)) {
        return { cells: [...cells, 'taken'], pick: false };
      }
      const pick = withCounts && test === move.to;
      const added = `${move.newFaults[t]}${pick ? ' ← most' : ''}`;
      return { cells: [...cells, ...(withCounts ? [added] : [])], pick };
    }),
  };
}

// What each test of the suite detects, for a question on the scores.
function suiteTable(faultMatrix) {
  return {
    caption: 'The faults each test detects.',
    headings: ['Test', 'Detects faults'],
    rows: faultMatrix.map((detects, t) => ({
      cells: [String(t + 1), listText(numbersOf(detects))],
      pick: false,
    })),
  };
}

// The scores of an iteration's end as rows, and why the kept ant is kept.
function endView(iteration, divisors, parameters) {
  const kept = iteration.kept;
  const word = keptWord(parameters);
  return {
    caption:
      "Each tour's score: for each fault, from fault 1, the position in the tour of the first test " +
      `that detects it; S, the sum of those positions; and the score, 1 − S / ${divisors[0]} − ` +
      `1 / ${divisors[1]}.`,
    headings: ['Ant', 'Tour', 'Positions', 'S', 'Score'],
    rows: iteration.tours.map((tour, k) => ({
      cells: [
        `${k + 1}${k + 1 === kept ? ' (kept)' : ''}`,
        tourText(tour),
        iteration.firstFound[k].join(' '),
        valueText(iteration.positionSums[k]),
        scoreText(iteration.scores[k]),
      ],
      pick: k + 1 === kept,
    })),
    words:
      `ant ${kept} is kept: its score, ${scoreText(iteration.scores[kept - 1])}, is the ${word} ` +
      `of the iteration. Where ants share the ${word} score, the lowest-numbered is kept.`,
  };
}

// What a question shows before its answer: the step as it stood before its decision, with
// `prompt` for words, the numbers `table` it needs, and no cell outlined unless `shown` outlines it;
// the choices, the answer, and the words for each choice, right or not.
function question(shown, prompt, table, choices, answer, reply) {
  return {
    shown: { ...shown, paths: pathsText(shown.tours), words: prompt, table, changes: [] },
    choices,
    answer,
    verdict: (choice) => ({ right: choice === answer, words: reply(choice) }),
  };
}

// Why the chosen candidate lost to the winner, each named by `name`, on the `what` each has, as
// `value` writes it: "test 4's weight is 0.1; test 3's, 0.4, is the largest", or where both have
// the same, the tie rule.
function lostBecause({ chosen, winner, name, what, value, best, tieRule }) {
  const [loser, kept] = [name(chosen), name(winner)];
  if (value(chosen) === value(winner)) {
    return `${loser} has the ${what} ${kept} has, ${value(winner)}, and on a tie ${tieRule}`;
  }
  return `${loser}'s ${what} is ${value(chosen)}; ${kept}'s, ${value(winner)}, is the ${best}`;
}

// Before a move: which test the ant takes, from the draw, its side of q0, and the numbers the rule
// reads; or, with one test left, which rule the draw chooses.
function moveQuestion(move, parameters, shown, iteration, step, cost, faultMatrix) {
  const below = move.rule === 'trail';
  const tours = toursSoFar(iteration, { ...step, ant: step.ant - 1 });
  const open = openTests(move);
  const before = { ...shown, tours, moving: 0 };
  const where = `Ant ${move.ant}, on test ${move.from},`;
  if (open.length === 1) {
    const fraction = fractionText(move, parameters.q0);
    const said = `${fraction} is ${below ? 'below' : 'not below'} q0 = ${plain(parameters.q0)}, so ${RULE_WORDS[move.rule]}; either way it takes test ${open[0]}, its last.`;
    return question(
      before,
      `${where} has one test left, test ${open[0]}, and drew ${move.draw}: ${move.draw} / ` +
        `${parameters.randLimit} = ${fraction}. Which rule does the draw choose?`,
      null,
      RULE_CHOICES,
      move.rule,
      (choice) =>
        choice === move.rule
          ? `Right: ${said}`
          : `Not this time: you chose ${RULE_CHOICES.find(({ value }) => value === choice).label.toLowerCase()}, and ${said}`,
    );
  }
  const rule = below
    ? 'it follows the heaviest trail: of the tests it has not taken, the largest pheromone ' +
      `level (the heat map, row ${move.from}) over run time²`
    : 'it takes the test that adds the most faults it has not detected: it has detected faults ' +
      `${listText(numbersOf(move.detected))}`;
  const prompt =
    `${where} has taken test${move.taken.length > 1 ? 's' : ''} ${listText(move.taken)} and ` +
    `${drawText(move, parameters)}, so ${rule}. Which test does it take?`;
  const table = below
    ? trailTable(move, shown.levels, cost, false)
    : faultsTable(move, faultMatrix, false);
  const lost = {
    winner: move.to,
    name: (test) => `test ${test}`,
    what: below ? 'weight' : 'count of new faults',
    value: below
      ? (test) => weightText(move, shown.levels, cost, test, weightDigits(move, shown.levels, cost))
      : (test) => String(move.newFaults[test - 1]),
    best: below ? 'largest' : 'most',
    tieRule: 'the lower test wins',
  };
  return question(
    before,
    prompt,
    table,
    open.map((test) => ({ value: test, label: `Test ${test}` })),
    move.to,
    (choice) =>
      choice === move.to
        ? `Right: ant ${move.ant} takes test ${move.to}.`
        : `Not this time: you chose test ${choice}, and ant ${move.ant} takes test ${move.to}: ` +
          `${lostBecause({ ...lost, chosen: choice })}.`,
  );
}

// Before an iteration's end: which ant's tour is kept, from the tours, the faults each test
// detects and the rule.
function keptQuestion(iteration, step, divisors, shown, parameters, faultMatrix) {
  const word = keptWord(parameters);
  const prompt =
    `Iteration ${step.iteration} ends with the tours ${iteration.tours.map(tourText).join('; ')} ` +
    `of ants ${listText(iteration.tours.map((_, k) => k + 1))}. Each scores ` +
    `1 − S / ${divisors[0]} − 1 / ${divisors[1]}, S the sum, over the faults, of the position of ` +
    `the first test that detects each; the ${word} score is kept, the lowest ant on a tie. ` +
    'Which ant is kept?';
  const lost = {
    winner: iteration.kept,
    name: (ant) => `ant ${ant}`,
    what: 'score',
    value: (ant) => scoreText(iteration.scores[ant - 1]),
    best: word,
    tieRule: 'the lowest ant is kept',
  };
  return question(
    shown,
    prompt,
    suiteTable(faultMatrix),
    iteration.tours.map((_, k) => ({ value: k + 1, label: `Ant ${k + 1}` })),
    iteration.kept,
    (choice) =>
      choice === iteration.kept
        ? `Right: ant ${iteration.kept} is kept.`
        : `Not this time: you chose ant ${choice}, and ant ${iteration.kept} is kept: ` +
          `${lostBecause({ ...lost, chosen: choice })}.`,
  );
}

// After a pass: the new level of the edge that stood highest, from its level and the rule. The
// choices are that level, the level unchanged, tau0, and the level with rho and 1 − rho
// swapped, each as the page writes it, in increasing order; an update that changes no level, or
// whose choices all read alike, as where rho near 1 leaves every level at tau0, asks nothing.
function localQuestion(changed, parameters, tau0, shown, step) {
  if (changed.length === 0) {
    return null;
  }
  const edge = changed.reduce((a, b) => (b.before > a.before ? b : a));
  const [before, after, resting] = [valueText(edge.before), valueText(edge.after), valueText(tau0)];
  const candidates = [
    edge.after,
    edge.before,
    tau0,
    edge.before * parameters.rho + tau0 * (1 - parameters.rho),
  ].sort((a, b) => a - b);
  const choices = [...new Set(candidates.map((level) => valueText(level)))];
  if (choices.length < 2) {
    return null;
  }
  const worked = workedText(parameters, before, resting, edge.after);
  return question(
    {
      ...shown,
      heat: heatView(
        shown.levels,
        `The levels before pass ${step.pass}'s local update; the edge asked about is outlined.`,
        [{ from: edge.from, to: edge.to }],
        [],
        shown.range,
      ),
    },
    `After pass ${step.pass}, the local update moves every level rho = ${plain(parameters.rho)} ` +
      `of the way back to tau0 = ${resting}: new = ${updateText(parameters, 'old', resting)}. The edge ${edge.from} → ${edge.to}, outlined in the heat map, ` +
      `stood at ${before}. What is its new level?`,
    null,
    choices.map((level) => ({ value: level, label: level })),
    after,
    (choice) =>
      choice === after ? `Right: ${worked}.` : `Not this time: you chose ${choice}, and ${worked}.`,
  );
}

// The count of the reader's right answers, `answers` each { right }, in words.
export function answerCountWords(answers) {
  const right = answers.filter((answer) => answer.right).length;
  return `Right answers: ${right} of ${answers.length}`;
}

// Which run the replay shows: the program's, or a changed one, with its parameters.
export function runTitle(trace, changed) {
  const { parameters } = trace;
  const which = changed ? 'A changed run, not the program’s' : 'The program’s own run';
  return (
    `${which}: seed ${parameters.seed}, q0 ${plain(parameters.q0)}, rho ${plain(parameters.rho)}, ` +
    `${count(parameters.iterations)} iterations, the ${keptWord(parameters)} score kept.`
  );
}

// The scores a run kept, as the chart draws them: the suite's in its given order, each
// iteration's kept score, and the last kept tour.
export function keptScores(trace) {
  const last = trace.iterations.at(-1);
  return {
    initial: trace.initialScore,
    scores: trace.iterations.map((iteration) => iteration.scores[iteration.kept - 1]),
    finalTour: last.tours[last.kept - 1],
  };
}

// What a run came to, in a column of the comparison: the highest score any iteration kept and
// the first iteration that kept it, the last ordering kept, and how many moves followed the trail
// and how many the faults.
function summary(trace) {
  const { scores, finalTour } = keptScores(trace);
  const highest = Math.max(...scores);
  const moves = trace.iterations.flatMap((iteration) =>
    iteration.passes.flatMap((pass) => pass.moves),
  );
  const ruled = (rule) => count(moves.filter((move) => move.rule === rule).length);
  return [
    scoreText(highest),
    count(scores.indexOf(highest) + 1),
    finalTour.slice(0, -1).join(', '),
    ruled('trail'),
    ruled('faults'),
  ];
}

// The program's run and a changed one side by side, as a table.
export function comparison(program, changed) {
  const [ours, theirs] = [summary(program), summary(changed)];
  return {
    caption: 'What each run came to.',
    headings: ['', 'Program’s run', 'Changed run'],
    rows: [
      'Highest score kept',
      'First kept in iteration',
      'Last ordering kept',
      'Moves that followed the trail',
      'Moves that took the most new faults',
    ].map((label, k) => ({ cells: [label, ours[k], theirs[k]], pick: false })),
  };
}

// The page's status while it runs the programs, and where one fails.
export const RUNNING_TRACE = 'Running antorder-trace…';
export const reportFailure = (reason) => `antorder did not print a whole report (${reason}).`;
export const traceFailure = (reason) => `antorder-trace did not write its trace (${reason}).`;

// Everything the page shows of the step numbered `index` from 0.
export function stepView(trace, shape, index, options = null) {
  const step = stepAt(shape, index);
  const iteration = trace.iterations[step.iteration - 1];
  const { parameters, instance } = trace;
  const range = heatRange(trace);
  const before = tableBefore(iteration, step);
  const after = tableAfter(iteration, step);
  const where = [`iteration ${step.iteration}`];
  if (step.pass !== undefined) {
    where.push(`pass ${step.pass} of ${shape.passes}`);
  }
  if (step.ant !== undefined) {
    where.push(`ant ${step.ant}`);
  }
  const view = {
    step,
    range,
    position: `Step ${count(index + 1)} of ${count(shape.steps)}: ${where.join(', ')}`,
    address: addressOf(step, options),
    tours: toursSoFar(iteration, step),
    moving: step.kind === 'move' ? step.ant : 0,
    kept: step.kind === 'end' || step.kind === 'global' ? iteration.kept : 0,
    levels: after,
    changes: [],
    question: null,
  };
  view.paths = pathsText(view.tours);
  const heat = (moment, marked, changed) => heatView(view.levels, moment, marked, changed, range);
  if (step.kind === 'starts') {
    const starts = startsView(iteration, instance.faultMatrix.length);
    return {
      ...view,
      line: 'starts',
      words: starts.words,
      table: starts,
      heat: heat(
        'The levels the iteration starts from, which the ants read in its first pass.',
        [],
        [],
      ),
    };
  }
  if (step.kind === 'move') {
    const move = iteration.passes[step.pass - 1].moves[step.ant - 1];
    const table =
      move.rule === 'trail'
        ? trailTable(move, before, instance.cost, true)
        : move.rule === 'faults'
          ? faultsTable(move, instance.faultMatrix, true)
          : null;
    const marked = move.rule === 'trail' ? [{ from: move.from, to: move.to }] : [];
    const read = `The levels the ants read in pass ${step.pass}`;
    const moment = `${read}; the local update after the pass changes them.`;
    const shown = { ...view, levels: before, line: move.rule, heat: heat(`${read}.`, [], []) };
    return {
      ...view,
      question:
        move.rule === 'home'
          ? null
          : moveQuestion(
              move,
              parameters,
              shown,
              iteration,
              step,
              instance.cost,
              instance.faultMatrix,
            ),
      line: move.rule,
      words: moveWords(move, parameters),
      table,
      heat: heat(
        moment +
          (move.rule === 'trail'
            ? ` The edge ${move.from} → ${move.to} the ant took is outlined.`
            : ''),
        marked,
        [],
      ),
    };
  }
  if (step.kind === 'local') {
    const changed = changes(before, after);
    const tau0 = valueText(trace.tau0);
    return {
      ...view,
      question: localQuestion(
        changed,
        parameters,
        trace.tau0,
        { ...view, levels: before, line: 'local' },
        step,
      ),
      line: 'local',
      words:
        `After pass ${step.pass}, the local update moved every level rho = ${plain(parameters.rho)} of the way back ` +
        `to tau0: new = ${updateText(parameters, 'old', tau0)}. ` +
        changedWords(changed, before, trace.tau0),
      table: null,
      changes: changed.map(changeText),
      heat: heat(
        `After pass ${step.pass}'s local update; the levels it changed are outlined.`,
        changed,
        changed,
      ),
    };
  }
  if (step.kind === 'end') {
    const end = endView(iteration, instance.scoreDivisors, parameters);
    const ended = {
      ...view,
      line: 'select',
      heat: heat(`After the last pass's local update, before the global update.`, [], []),
    };
    return {
      ...ended,
      question: keptQuestion(
        iteration,
        step,
        instance.scoreDivisors,
        { ...ended, kept: 0 },
        parameters,
        instance.faultMatrix,
      ),
      words: `End of iteration ${step.iteration}: ${end.words}`,
      table: end,
    };
  }
  const score = scoreText(iteration.scores[iteration.kept - 1]);
  const deposit = valueText(iteration.deposit, 6);
  const reinforced = iteration.reinforced.map(([from, to]) => ({
    from,
    to,
    before: before[from - 1][to - 1],
    after: after[from - 1][to - 1],
  }));
  return {
    ...view,
    line: 'global',
    words:
      `The global update pulled the ${iteration.reinforced.length} edges of ant ` +
      `${iteration.kept}'s tour towards the deposit 1 / ${score} ` +
      `${approximately(1 / Number(score), iteration.deposit, 6)} ${deposit}: ` +
      `new = ${updateText(parameters, 'old', deposit)}.`,
    table: null,
    changes: reinforced.map(changeText),
    heat: heat(
      'After the global update; the edges it reinforced are outlined.',
      reinforced,
      reinforced,
    ),
  };
}
