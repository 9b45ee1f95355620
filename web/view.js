// The view of the replay: the steps a reader moves through, one action each, and, for each step,
// everything the page shows of it: where it stands, the line of the procedure it applies, its
// sentence, its table's rows, the cells and arrows it marks. Every number comes from the trace
// that antorder-trace writes; this module decides nothing of the search, and holds the page's
// wording. It has no DOM: the page renders what it returns, and node's tests read it.
import {
  fractionText,
  levelText,
  listText,
  numbersOf,
  scoreText,
  tourText,
  valueText,
} from './format.js';

// Each iteration's steps, in order: the starts; in each pass, each ant's move, then the local
// update; the iteration's end, where the scores select the kept ant; the global update.
export function shapeOf(trace) {
  const iterations = trace.iterations.length;
  const passes = trace.iterations[0].passes.length;
  const ants = trace.iterations[0].passes[0].moves.length;
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

// The step an address such as "#iteration=51&step=12" names, or where it names none, the nearest
// step there is: a number out of range goes to the end it passes, anything else to the first.
export function indexFromAddress(shape, hash) {
  const parameters = new URLSearchParams(hash.replace(/^#/, ''));
  const whole = (name, high) => {
    const value = Number(parameters.get(name));
    return Number.isInteger(value) && parameters.get(name) !== ''
      ? Math.min(high, Math.max(1, value))
      : 1;
  };
  return indexOf(shape, whole('iteration', shape.iterations), whole('step', shape.perIteration));
}

// The address of a step.
export const addressOf = (step) => `#iteration=${step.iteration}&step=${step.within}`;

// The lines of the procedure, each with its name, which a step lights.
export const PROCEDURE = [
  ['iteration', 'For each iteration:'],
  ['starts', '  each ant draws a start test; a test another ant starts on is drawn again'],
  ['pass', '  in each pass, each ant in turn draws d and takes q = d / the random limit:'],
  ['trail', '    q below q0: the test not taken with the largest pheromone / run time²'],
  ['faults', '    otherwise: the test not taken that adds the most faults not yet detected'],
  ['home', '    no test left: back to its start'],
  ['local', '  after the pass, every level: old × (1 − rho) + tau0 × rho'],
  ['score', '  each tour scores 1 − S / (n · m) − 1 / (2n)'],
  ['select', '  the tour with the smallest score is kept (on a tie, the lowest ant)'],
  ['global', "  the kept tour's edges: old × (1 − rho) + (1 / its score) × rho"],
];

const plain = (value) => String(Number(value.toPrecision(6)));
// An update moving the level `old` rho of the way towards `target`: "old × 0.2 + tau0 × 0.8".
const updateText = (parameters, old, target) =>
  `${old} × ${plain(1 - parameters.rho)} + ${target} × ${plain(parameters.rho)}`;
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
  };
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

// One move in words, with its draw against q0.
function moveWords(move, parameters) {
  const where = `Ant ${move.ant}, on test ${move.from},`;
  if (move.rule === 'home') {
    return `${where} has taken every test: it returns to test ${move.to}, where it started.`;
  }
  const drew = `drew ${move.draw}: ${move.draw} / ${parameters.randLimit} = ${fractionText(move, parameters.q0)}`;
  if (move.rule === 'trail') {
    return `${where} ${drew}, below q0 = ${parameters.q0}, so it follows the heaviest trail, to test ${move.to}.`;
  }
  return (
    `${where} ${drew}, not below q0 = ${parameters.q0}, so it takes the test that adds the ` +
    `most faults it has not detected, test ${move.to}.`
  );
}

// The numbers a trail move was made from: each test's weight, pheromone over squared run time,
// from the levels the ant read.
function trailTable(move, read, cost) {
  return {
    caption:
      `From test ${move.from}: weight = pheromone ÷ run time². The largest weight wins; on a tie, ` +
      'the lower test. The pheromone is the level the ant read, before the local update; point ' +
      'at a row, or focus it, to find its edge in the graph and the heat map.',
    headings: ['Test', 'Pheromone', 'Run time²', 'Weight'],
    rows: move.weights.map((weight, t) => {
      const test = t + 1;
      if (move.taken.includes(test)) {
        return { cells: [String(test), '', '', 'taken'], pick: false };
      }
      const pick = test === move.to;
      return {
        edge: { from: move.from, to: test },
        cells: [
          String(test),
          valueText(read[move.from - 1][t]),
          `${valueText(cost[move.from - 1][t])}²`,
          `${valueText(weight)}${pick ? ' ← largest' : ''}`,
        ],
        pick,
      };
    }),
  };
}

// The numbers a faults move was made from: the faults the ant has detected, and what each test
// not taken would add.
function faultsTable(move, faultMatrix) {
  return {
    caption:
      `Detected so far: faults ${listText(numbersOf(move.detected))}. The most new faults win; ` +
      'on a tie, the lower test.',
    headings: ['Test', 'Detects faults', 'New'],
    rows: move.newFaults.map((newFaults, t) => {
      const test = t + 1;
      const detects = listText(numbersOf(faultMatrix[t]));
      if (move.taken.includes(test)) {
        return { cells: [String(test), detects, 'taken'], pick: false };
      }
      const pick = test === move.to;
      return { cells: [String(test), detects, `${newFaults}${pick ? ' ← most' : ''}`], pick };
    }),
  };
}

// The cells whose levels an update changed, with their levels before and after.
function changes(before, after) {
  return before.flatMap((row, a) =>
    row.flatMap((level, b) =>
      level === after[a][b] ? [] : [{ from: a + 1, to: b + 1, before: level, after: after[a][b] }],
    ),
  );
}

const changeText = (change) =>
  `${change.from} → ${change.to}: ${valueText(change.before)} → ${valueText(change.after)}`;

// The scores of an iteration's end as rows, and why the kept ant is kept.
function endView(iteration, divisors) {
  const kept = iteration.kept;
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
      `ant ${kept} is kept: its score, ${scoreText(iteration.scores[kept - 1])}, is the smallest ` +
      'of the iteration. Where ants share the smallest score, the lowest-numbered is kept.',
  };
}

// What a question shows before its answer: the step as it stood before its decision, with
// `prompt` for words and no cell marked unless `shown` marks it, the choices, the answer, and the
// words for a right and a wrong choice.
function question(shown, prompt, choices, answer, right, wrong) {
  return {
    shown: { ...shown, paths: pathsText(shown.tours), words: prompt, table: null, changes: [] },
    choices,
    answer,
    reply: (choice) => (choice === answer ? right : wrong(choice)),
  };
}

// Before a move: which test the ant takes, from the draw, its side of q0, and what the rule
// reads, the levels in the heat map and the faults detected so far.
function moveQuestion(move, parameters, shown, iteration, step) {
  const below = move.rule === 'trail';
  const tours = toursSoFar(iteration, { ...step, ant: step.ant - 1 });
  const rule = below
    ? 'it follows the heaviest trail: of the tests it has not taken, the largest pheromone ' +
      'level (the heat map, row ' +
      `${move.from}) over run time² (the suite)`
    : 'it takes the test that adds the most faults it has not detected: it has detected faults ' +
      `${listText(numbersOf(move.detected))}`;
  const prompt =
    `Ant ${move.ant}, on test ${move.from}, has taken test${move.taken.length > 1 ? 's' : ''} ` +
    `${listText(move.taken)} and drew ` +
    `${move.draw}: ${move.draw} / ${parameters.randLimit} = ` +
    `${fractionText(move, parameters.q0)}, ${below ? 'below' : 'not below'} q0 = ` +
    `${parameters.q0}, so ${rule}. Which test does it take?`;
  const open = numbersOf(move.weights.map((_, t) => (move.taken.includes(t + 1) ? 0 : 1)));
  return question(
    {
      ...shown,
      tours,
      moving: 0,
      heat: `The levels the ants read in pass ${step.pass}.`,
    },
    prompt,
    open.map((test) => ({ value: test, label: `Test ${test}` })),
    move.to,
    `Right: ant ${move.ant} takes test ${move.to}.`,
    (choice) =>
      `Not this time: you chose test ${choice}, and ant ${move.ant} takes test ${move.to}.`,
  );
}

// Before an iteration's end: which ant's tour is kept, from the tours and the rule.
function keptQuestion(iteration, step, divisors, shown) {
  const prompt =
    `Iteration ${step.iteration} ends with the tours ${iteration.tours.map(tourText).join('; ')} ` +
    `of ants ${listText(iteration.tours.map((_, k) => k + 1))}. Each scores ` +
    `1 − S / ${divisors[0]} − 1 / ${divisors[1]}, S the sum, over the faults, of the position of ` +
    'the first test that detects each; the smallest score is kept, the lowest ant on a tie. ' +
    'Which ant is kept?';
  return question(
    shown,
    prompt,
    iteration.tours.map((_, k) => ({ value: k + 1, label: `Ant ${k + 1}` })),
    iteration.kept,
    `Right: ant ${iteration.kept} is kept.`,
    (choice) => `Not this time: you chose ant ${choice}, and ant ${iteration.kept} is kept.`,
  );
}

// After a pass: the new level of the edge that stood highest, from its level and the rule. The
// choices are that level, the level unchanged, tau0, and the level with rho and 1 − rho
// swapped, each as the page writes it, in increasing order; an update that changes no level asks
// nothing.
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
  const worked = `${updateText(parameters, before, resting)} = ${after}`;
  return question(
    {
      ...shown,
      marked: [{ from: edge.from, to: edge.to }],
      heat: `The levels before pass ${step.pass}'s local update; the edge asked about is outlined.`,
    },
    `After pass ${step.pass}, the local update moves every level rho = ${plain(parameters.rho)} ` +
      `of the way back to tau0 = ${resting}: new = ${updateText(parameters, 'old', resting)}. The edge ${edge.from} → ${edge.to}, outlined in the heat map, ` +
      `stood at ${before}. What is its new level?`,
    choices.map((level) => ({ value: level, label: level })),
    after,
    `Right: ${worked}.`,
    (choice) => `Not this time: you chose ${choice}, and ${worked}.`,
  );
}

// The heat map's words for a view: its caption, and its scale, from white at the table's lowest
// level to the darkest at its highest, as the text before and after the page's swatch, or one
// sentence where every level is the same.
export function heatWords(view) {
  const levels = view.levels.flat();
  const [low, high] = [Math.min(...levels), Math.max(...levels)];
  return {
    caption: `From test (row) to test (column). ${view.heat} The darker, the higher within this table.`,
    low,
    high,
    scale:
      low === high
        ? [`Every level of this table is ${levelText(low)}, so every cell is white.`]
        : [
            `Shade: white is this table's lowest level, ${levelText(low)}, `,
            ` and the darkest its highest, ${levelText(high)}, on a logarithmic scale.`,
          ],
  };
}

// The count of the reader's right answers, in words.
export const answerCountWords = (right, answered) => `Right answers: ${right} of ${answered}`;

// Everything the page shows of the step numbered `index` from 0.
export function stepView(trace, shape, index) {
  const step = stepAt(shape, index);
  const iteration = trace.iterations[step.iteration - 1];
  const { parameters, instance } = trace;
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
    position: `Step ${count(index + 1)} of ${count(shape.steps)}: ${where.join(', ')}`,
    address: addressOf(step),
    tours: toursSoFar(iteration, step),
    moving: step.kind === 'move' ? step.ant : 0,
    kept: step.kind === 'end' || step.kind === 'global' ? iteration.kept : 0,
    levels: after,
    marked: [],
    changes: [],
    question: null,
  };
  view.paths = pathsText(view.tours);
  if (step.kind === 'starts') {
    const starts = startsView(iteration, instance.faultMatrix.length);
    return {
      ...view,
      line: 'starts',
      words: starts.words,
      table: starts,
      heat: `The levels the iteration starts from, which the ants read in its first pass.`,
    };
  }
  if (step.kind === 'move') {
    const move = iteration.passes[step.pass - 1].moves[step.ant - 1];
    const table =
      move.rule === 'trail'
        ? trailTable(move, before, instance.cost)
        : move.rule === 'faults'
          ? faultsTable(move, instance.faultMatrix)
          : null;
    const question =
      move.rule === 'home'
        ? null
        : moveQuestion(
            move,
            parameters,
            { ...view, levels: before, line: move.rule },
            iteration,
            step,
          );
    return {
      ...view,
      question,
      line: move.rule,
      words: moveWords(move, parameters),
      table,
      marked: move.rule === 'trail' ? [{ from: move.from, to: move.to }] : [],
      heat:
        `The levels the ants read in pass ${step.pass}; the local update after the pass changes ` +
        'them.' +
        (move.rule === 'trail'
          ? ` The edge ${move.from} → ${move.to} the ant took is outlined.`
          : ''),
    };
  }
  if (step.kind === 'local') {
    const changed = changes(before, after);
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
        `to tau0: new = ${updateText(parameters, 'old', valueText(trace.tau0))}. ` +
        (changed.length === 0
          ? 'Every level was at tau0 already, and stays there.'
          : `${changed.length === 1 ? 'One level' : `${changed.length} levels`} changed.`),
      table: null,
      marked: changed,
      changes: changed.map(changeText),
      heat: `After pass ${step.pass}'s local update; the levels it changed are outlined.`,
    };
  }
  if (step.kind === 'end') {
    const end = endView(iteration, instance.scoreDivisors);
    const ended = {
      ...view,
      line: 'select',
      heat: `After the last pass's local update, before the global update.`,
    };
    return {
      ...ended,
      question: keptQuestion(iteration, step, instance.scoreDivisors, { ...ended, kept: 0 }),
      words: `End of iteration ${step.iteration}: ${end.words}`,
      table: end,
    };
  }
  const deposit = valueText(iteration.deposit, 6);
  return {
    ...view,
    line: 'global',
    words:
      `The global update pulled the ${iteration.reinforced.length} edges of ant ` +
      `${iteration.kept}'s tour towards the deposit 1 / ` +
      `${scoreText(iteration.scores[iteration.kept - 1])} = ${deposit}: ` +
      `new = ${updateText(parameters, 'old', deposit)}.`,
    table: null,
    marked: iteration.reinforced.map(([from, to]) => ({ from, to })),
    changes: iteration.reinforced.map(([from, to]) =>
      changeText({ from, to, before: before[from - 1][to - 1], after: after[from - 1][to - 1] }),
    ),
    heat: 'After the global update; the edges it reinforced are outlined.',
  };
}
