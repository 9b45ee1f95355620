// The replay of the search on the web page: the steps a reader moves through, and what each step
// shows in words and numbers. Every number comes from the trace that antorder-trace writes, the
// sizes and parameters of the search among them; this script only lays them out and puts them
// into words. The page and node share it.

// The shape of the replay: how many iterations, and how many passes each has.
export function shapeOf(trace) {
  return { iterations: trace.iterations.length, passes: trace.iterations[0].passes.length };
}

// The steps, in order: each pass of an iteration, { iteration, pass }, then the iteration's
// end, { iteration, end: true }. Iterations and passes are numbered from 1.
export function firstStep() {
  return { iteration: 1, pass: 1 };
}

export function endOf(iteration) {
  return { iteration, end: true };
}

export function nextStep(step, shape) {
  if (step.end) {
    return step.iteration < shape.iterations ? { iteration: step.iteration + 1, pass: 1 } : step;
  }
  return step.pass < shape.passes
    ? { iteration: step.iteration, pass: step.pass + 1 }
    : endOf(step.iteration);
}

export function previousStep(step, shape) {
  if (step.end) {
    return { iteration: step.iteration, pass: shape.passes };
  }
  if (step.pass > 1) {
    return { iteration: step.iteration, pass: step.pass - 1 };
  }
  return step.iteration > 1 ? endOf(step.iteration - 1) : step;
}

// The first pass of the iteration `delta` iterations from the step's, within the run.
export function iterationStep(step, shape, delta) {
  const iteration = Math.min(shape.iterations, Math.max(1, step.iteration + delta));
  return { iteration, pass: 1 };
}

export const isFirstStep = (step) => !step.end && step.iteration === 1 && step.pass === 1;
export const isLastStep = (step, shape) => Boolean(step.end) && step.iteration === shape.iterations;

// A score as the report prints it: the single-precision value with six decimals, as "%f".
export function scoreText(score) {
  return Math.fround(score).toFixed(6);
}

// A single-precision value with `digits` significant digits, without trailing zeros.
export function valueText(value, digits = 4) {
  return String(Number(Math.fround(value).toPrecision(digits)));
}

// A pheromone level in the heat map, with three significant digits.
export function levelText(level) {
  return Math.fround(level).toPrecision(3);
}

// The fraction of the random limit a move's draw is, as the rule compared it with q0: with two
// decimals, or as many more as it takes for the text to fall on the side of q0 that the rule
// the program applied shows.
export function fractionText(move, q0) {
  let text = move.q.toFixed(2);
  for (let digits = 3; digits <= 6 && Number(text) < q0 !== (move.rule === 'trail'); ++digits) {
    text = move.q.toFixed(digits);
  }
  return text;
}

// A list of numbers in words: "none", "1", "1 and 2", "1, 2 and 3".
export function listText(numbers) {
  if (numbers.length === 0) {
    return 'none';
  }
  return numbers.length < 2
    ? numbers.join('')
    : `${numbers.slice(0, -1).join(', ')} and ${numbers[numbers.length - 1]}`;
}

// The numbers, from 1, of the entries of a list of yes/no flags that are 1.
export const numbersOf = (flags) => flags.flatMap((flag, k) => (flag === 1 ? [k + 1] : []));

// One move of the trace, in words, with its draw against q0 from the search's parameters.
export function moveWords(move, parameters) {
  const where = `Ant ${move.ant}, on test ${move.from},`;
  if (move.rule === 'home') {
    return `${where} has taken every test: it returns to test ${move.to}, where it started.`;
  }
  const drew =
    `drew ${move.draw}: ${move.draw} / ${parameters.randLimit} = ` +
    `${fractionText(move, parameters.q0)}`;
  if (move.rule === 'trail') {
    return (
      `${where} ${drew}, below q0 = ${parameters.q0}, so it follows the heaviest trail, ` +
      `to test ${move.to}.`
    );
  }
  return (
    `${where} ${drew}, not below q0 = ${parameters.q0}, so it takes the test that adds the ` +
    `most faults it has not detected, test ${move.to}.`
  );
}

// The start draws of an iteration, each with the test it names and what became of it, as the
// program recorded it: the start of the ant it was drawn for (`ant`), or, where another ant
// already starts there (`holder`), drawn again.
export function startRows(iteration) {
  return iteration.startDraws.map((draw, k) => {
    const holder = iteration.startHolders[k];
    return {
      draw,
      test: iteration.startPicks[k],
      ant: holder === null ? iteration.startAnts[k] : null,
      holder,
    };
  });
}

// The tours and scores of an iteration's end: each ant's tour, the position at which it first
// finds each fault, their sum S and its score, as the selection derived them.
export function scoreRows(iteration) {
  return iteration.tours.map((tour, k) => ({
    ant: k + 1,
    tour,
    firstFound: iteration.firstFound[k],
    sum: iteration.positionSums[k],
    score: iteration.scores[k],
    kept: iteration.kept === k + 1,
  }));
}

// A tour as its tests, in order: "2 → 4 → 1 → 3 → 5 → 2".
export const tourText = (tour) => tour.join(' → ');

// Why the iteration keeps the ant it keeps.
export function keptWords(iteration) {
  const score = scoreText(iteration.scores[iteration.kept - 1]);
  return (
    `Ant ${iteration.kept} is kept: its score, ${score}, is the smallest of the iteration. ` +
    'Where ants share the smallest score, the lowest-numbered is kept.'
  );
}

// What a step tells a screen reader, in one sentence.
export function stepWords(iteration, step, shape) {
  if (step.end) {
    const kept = iteration.kept;
    return (
      `End of iteration ${step.iteration}: ant ${kept} is kept, with score ` +
      `${scoreText(iteration.scores[kept - 1])}, and the trail along its tour is reinforced.`
    );
  }
  const moves = iteration.passes[step.pass - 1].moves;
  const by = (rule) => moves.filter((move) => move.rule === rule).map((move) => move.ant);
  const parts = [];
  if (by('trail').length > 0) {
    parts.push(
      `${by('trail').length === 1 ? 'ant' : 'ants'} ${listText(by('trail'))} followed the trail`,
    );
  }
  if (by('faults').length > 0) {
    parts.push(
      `${by('faults').length === 1 ? 'ant' : 'ants'} ${listText(by('faults'))} took the test ` +
        'that adds the most new faults',
    );
  }
  if (by('home').length > 0) {
    parts.push('every ant returned to its start');
  }
  const pass = `pass ${step.pass} of ${shape.passes}`;
  return `Iteration ${step.iteration}, ${pass}: ${parts.join('; ')}.`;
}

// The pheromone table a step shows: after the pass's local update, or at the iteration's end
// after the global update.
export function tableAfter(trace, step) {
  const iteration = trace.iterations[step.iteration - 1];
  return step.end ? iteration.pheromone : iteration.passes[step.pass - 1].pheromone;
}

// The pheromone table the ants saw in a step's pass, and the one its update started from: the
// previous step's, or before the first pass of the search, tau0 on every edge.
export function tableBefore(trace, step) {
  const iteration = trace.iterations[step.iteration - 1];
  if (step.end) {
    return iteration.passes[iteration.passes.length - 1].pheromone;
  }
  return step.pass > 1 ? iteration.passes[step.pass - 2].pheromone : iteration.pheromoneAtStart;
}

// The edge whose level is the highest in a table, as { from, to, level }, tests from 1.
export function highestEdge(table) {
  let highest = { from: 1, to: 1, level: table[0][0] };
  table.forEach((row, a) =>
    row.forEach((level, b) => {
      if (level > highest.level) {
        highest = { from: a + 1, to: b + 1, level };
      }
    }),
  );
  return highest;
}

// The tests each ant has stood on by the step: its tour so far.
export function toursSoFar(iteration, step) {
  const shown = step.end ? iteration.passes.length : step.pass;
  return iteration.tours.map((tour) => tour.slice(0, shown + 1));
}

// The heat map's colour of a level in a table: white at the table's lowest level, a mid blue at
// its highest, and between them on a logarithmic scale, so that the levels of one step are told
// apart however close they are. Dark text keeps more than 4.5:1 contrast on every one of them.
const HEAT_DARKEST = [106, 161, 220];
export function heatColour(level, table) {
  const levels = table.flat();
  const [low, high] = [Math.min(...levels), Math.max(...levels)];
  const share = high > low ? Math.log(level / low) / Math.log(high / low) : 0;
  const weight = Math.min(1, Math.max(0, share));
  const channels = HEAT_DARKEST.map((channel) => Math.round(255 - (255 - channel) * weight));
  return `rgb(${channels.join(', ')})`;
}
