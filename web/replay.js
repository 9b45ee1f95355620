// The replay of the search on the web page: the steps a reader moves through, what each step shows
// in words and numbers, and where the graph puts tests and ants. Every number comes from the
// trace that antorder-trace writes; this script only lays it out and puts it into words. The page
// and node share it.
'use strict';

// Each iteration is replayed in six steps: its five construction passes, then its end.
const PASSES = 5;
const END = PASSES + 1;

// A draw of the random source is read against the largest draw, and the ant follows the trail
// when that fraction is below one half.
const RAND_LIMIT = 32767;
const Q0 = 0.5;

// The steps, in order: { iteration: 1..count, pass: 1..PASSES, or END }.
function firstStep() {
  return { iteration: 1, pass: 1 };
}

function endOf(iteration) {
  return { iteration, pass: END };
}

function nextStep(step, count) {
  if (step.pass < END) {
    return { iteration: step.iteration, pass: step.pass + 1 };
  }
  return step.iteration < count ? { iteration: step.iteration + 1, pass: 1 } : step;
}

function previousStep(step) {
  if (step.pass > 1) {
    return { iteration: step.iteration, pass: step.pass - 1 };
  }
  return step.iteration > 1 ? endOf(step.iteration - 1) : step;
}

function isLastStep(step, count) {
  return step.iteration === count && step.pass === END;
}

// A score as the report prints it: the single-precision value with six decimals, as "%f".
function scoreText(score) {
  return Math.fround(score).toFixed(6);
}

// A pheromone level with three significant digits.
function levelText(level) {
  return Math.fround(level).toPrecision(3);
}

// A draw as the fraction the ant compared with one half, with two decimals, or as many more as
// it takes for the text to fall on the side of one half that the ant's rule shows.
function drawText(draw, rule) {
  const fraction = draw / RAND_LIMIT;
  let text = fraction.toFixed(2);
  for (let digits = 3; digits <= 5 && Number(text) < Q0 !== (rule === 'trail'); ++digits) {
    text = fraction.toFixed(digits);
  }
  return text;
}

// A list of numbers in words: "1", "1 and 2", "1, 2 and 3".
function listText(numbers) {
  return numbers.length < 2
    ? numbers.join('')
    : `${numbers.slice(0, -1).join(', ')} and ${numbers[numbers.length - 1]}`;
}

// One move of the trace, in words.
function moveWords(move) {
  const where = `Ant ${move.ant}, on test ${move.from},`;
  if (move.rule === 'home') {
    return `${where} has taken every test: it returns to test ${move.to}, where it started.`;
  }
  const drew = `drew ${drawText(move.draw, move.rule)}`;
  if (move.rule === 'trail') {
    return `${where} ${drew}, below 0.5: follows the trail to test ${move.to}.`;
  }
  return (
    `${where} ${drew}, not below 0.5: takes test ${move.to}, which adds the most faults ` +
    'it has not detected yet.'
  );
}

// A tour as its tests, in order: "2 → 4 → 1 → 3 → 5 → 2".
function tourText(tour) {
  return tour.join(' → ');
}

// The five edges of a closed tour, as [from, to] pairs of tests.
function tourEdges(tour) {
  return tour.slice(0, -1).map((from, q) => [from, tour[q + 1]]);
}

// Why the iteration keeps the ant it keeps: the smallest score, the first ant on a tie.
function keptWords(scores, kept) {
  const score = Math.fround(scores[kept - 1]);
  const sharing = scores
    .map((other, ant) => ({ ant: ant + 1, score: Math.fround(other) }))
    .filter((other) => other.score === score)
    .map((other) => other.ant);
  if (sharing.length === 1) {
    return `Ant ${kept} is kept: its score, ${scoreText(score)}, is the smallest of the five.`;
  }
  return (
    `Ants ${listText(sharing)} share the smallest score, ${scoreText(score)}; the first of ` +
    `them, ant ${kept}, is kept.`
  );
}

// What a step tells a screen reader, in one sentence.
function stepWords(iteration, step) {
  if (step.pass === END) {
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
  return `Iteration ${step.iteration}, pass ${step.pass} of ${PASSES}: ${parts.join('; ')}.`;
}

// The pheromone table a step shows: after the pass's local update, or at the end after the
// global update.
function stepPheromone(iteration, step) {
  return step.pass === END ? iteration.pheromone : iteration.passes[step.pass - 1].pheromone;
}

// The tests each ant has stood on by the step: its tour so far.
function toursSoFar(iteration, step) {
  return iteration.tours.map((tour) => tour.slice(0, Math.min(step.pass, PASSES) + 1));
}

// The range of the pheromone levels of a whole trace, for the heat map's scale.
function levelRange(trace) {
  const levels = trace.iterations.flatMap((iteration) =>
    [iteration.pheromone, ...iteration.passes.map((pass) => pass.pheromone)].flat(2),
  );
  return { low: Math.min(...levels), high: Math.max(...levels) };
}

// The heat map's colour of a level: white at the lowest level of the range, a mid blue at the
// highest, and between them on a logarithmic scale. Dark text keeps more than 4.5:1 contrast on
// every one of them.
const HEAT_DARKEST = [106, 161, 220];
function heatColour(level, range) {
  const share = Math.log(level / range.low) / Math.log(range.high / range.low);
  const weight = Math.min(1, Math.max(0, share || 0));
  const channels = HEAT_DARKEST.map((channel) => Math.round(255 - (255 - channel) * weight));
  return `rgb(${channels.join(', ')})`;
}

// Where the graph of a given width puts the five tests: on a circle, test 1 at the top and the
// others clockwise, with room around each for the ants that stand on it.
function graphLayout(width) {
  const size = Math.min(width, 400);
  const height = Math.round(size * 0.86);
  const radius = size * 0.3;
  const centre = { x: size / 2, y: height / 2 + 8 };
  const tests = Array.from({ length: 5 }, (_, k) => {
    const angle = -Math.PI / 2 + (2 * Math.PI * k) / 5;
    return { x: centre.x + radius * Math.cos(angle), y: centre.y + radius * Math.sin(angle) };
  });
  return { width: size, height, tests };
}

// The point `distance` from test `test` in the direction that belongs to ant `ant`: the five
// ants' directions are spread evenly around a test.
function besideTest(test, ant, distance, layout) {
  const angle = -Math.PI / 2 + (2 * Math.PI * (ant - 1)) / 5;
  const centre = layout.tests[test - 1];
  return { x: centre.x + distance * Math.cos(angle), y: centre.y + distance * Math.sin(angle) };
}

// The points of an ant's path through the tests of `tour`, each moved a little in the ant's own
// direction, so that the paths of ants that take the same edge lie side by side.
function antPath(tour, ant, layout) {
  return tour.map((test) => besideTest(test, ant, 5, layout));
}

// Where the marker of an ant that stands on test `test` goes: outside the test's circle, in the
// ant's own direction, so that neither the test's number nor another ant hides it.
function antSpot(test, ant, layout) {
  return besideTest(test, ant, 27, layout);
}

if (typeof module === 'object') {
  module.exports = {
    END,
    firstStep,
    endOf,
    nextStep,
    previousStep,
    isLastStep,
    scoreText,
    levelText,
    drawText,
    moveWords,
    tourText,
    tourEdges,
    keptWords,
    stepWords,
    stepPheromone,
    toursSoFar,
    levelRange,
    heatColour,
    graphLayout,
    antPath,
    antSpot,
  };
}
