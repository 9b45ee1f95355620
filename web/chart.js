// Reads antorder's report and draws the score each iteration keeps as an SVG chart, on an axis
// that spans the scores an ordering of the suite can have, which the trace gives. The web page
// draws its chart with this module, and chart_file.js the chart README.md shows.

// The chart's width when none is given, as README.md shows it, in SVG units, which the page makes
// CSS pixels by drawing the chart at the width it has.
const DEFAULT_WIDTH = 640;

// The chart's size for a width and the plot area inside it: room for the score labels on the
// left, the iteration labels below and, with `legend`, a line above for the legend.
export function chartLayout(width, legend = false) {
  const height = Math.round(Math.min(320, Math.max(220, width / 2)));
  const top = legend ? 30 : 12;
  return { width, height, plot: { left: 58, right: width - 16, top, bottom: height - 46 } };
}

// Reads a report: the suite's score in its given order, the score of each iteration in order,
// and the final tour's test numbers. Throws when the text is not a whole report.
export function parseReport(text) {
  const whole =
    /^initial APFD=(\d+\.\d{6}) \n((?:\n Iteration=\d+, APFD = \d+\.\d{6})+)\n Final solution: \n:((?:\d+ - )+)$/;
  const match = whole.exec(text);
  if (!match) {
    throw new Error('not a whole antorder report');
  }
  const scores = [];
  for (const [, iteration, score] of match[2].matchAll(
    /\n Iteration=(\d+), APFD = (\d+\.\d{6})/g,
  )) {
    if (Number(iteration) !== scores.length + 1) {
      throw new Error(`iteration ${iteration} where ${scores.length + 1} was due`);
    }
    scores.push(Number(score));
  }
  const finalTour = match[3].match(/\d+/g).map(Number);
  return { initial: Number(match[1]), scores, finalTour };
}

// The horizontal position of iteration `iteration` (1-based) of `count` in the plot area.
export function iterationX(iteration, count, plot) {
  return plot.left + ((iteration - 1) / (count - 1)) * (plot.right - plot.left);
}

// The score axis for the scores from `range.low` to `range.high`: a tenth of the range more on
// each side, so that no dot sits on the axis line.
export function scoreAxis(range) {
  const margin = (range.high - range.low) / 10;
  return { low: range.low - margin, high: range.high + margin };
}

// The vertical position of a score on the axis `axis` in the plot area: the smallest at the
// bottom.
export function scoreY(score, axis, plot) {
  return plot.bottom - ((score - axis.low) / (axis.high - axis.low)) * (plot.bottom - plot.top);
}

// The iterations that get a tick: the first, then every twentieth, or of a longer run, every
// twentieth of each hundred, so that there are never more than six.
function iterationTicks(count) {
  const every = 20 * Math.ceil(count / 100);
  const ticks = [1];
  for (let iteration = every; iteration <= count; iteration += every) {
    ticks.push(iteration);
  }
  return ticks;
}

// The scores that get a grid line, from the smallest: the ends of the range and every score the
// runs hold, each as the report prints it, to two decimals.
function scoreTicks(runs, range) {
  const scores = [range.low, range.high, runs[0].initial, ...runs.flatMap((run) => run.scores)].map(
    (s) => s.toFixed(2),
  );
  return [...new Set(scores)].map(Number).sort((a, b) => a - b);
}

// The ordering of a tour: its first five test numbers, listed.
export function orderingText(tour) {
  return tour.slice(0, -1).join(', ');
}

// The chart's text alternative: what it shows, in words, of the program's run and of a changed
// run beside it, if any.
function chartDescription(run, changed) {
  const range = ({ scores }) =>
    `between ${Math.min(...scores).toFixed(2)} and ${Math.max(...scores).toFixed(2)}`;
  const program =
    `The score each of the ${run.scores.length} iterations ${changed ? 'of the program’s run ' : ''}` +
    `keeps, ${range(run)}. The dashed line is the suite in its given order, ` +
    `${run.initial.toFixed(2)}. The last iteration keeps the ordering ${orderingText(run.finalTour)}.`;
  return changed
    ? `${program} The changed run's ${changed.scores.length} iterations keep scores ${range(changed)}, ` +
        `the last the ordering ${orderingText(changed.finalTour)}.`
    : program;
}

const number = (value) => value.toFixed(1);

// The score axis: a grid line and a label at each tick, and its title.
function scoreGrid(ticks, axis, plot) {
  const middleY = number((plot.top + plot.bottom) / 2);
  return [
    ...ticks.flatMap((score) => {
      const y = number(scoreY(score, axis, plot));
      return [
        `<line x1="${plot.left}" y1="${y}" x2="${plot.right}" y2="${y}" stroke="#ddd"/>`,
        `<text x="${plot.left - 8}" y="${y}" dy="0.35em" text-anchor="end" fill="#333">` +
          `${score.toFixed(2)}</text>`,
      ];
    }),
    `<text x="14" y="${middleY}" text-anchor="middle" fill="#333" ` +
      `transform="rotate(-90 14 ${middleY})">APFD</text>`,
  ];
}

// The iteration axis of `count` iterations: its line, its ticks with their labels, its title.
function iterationAxis(count, layout) {
  const plot = layout.plot;
  return [
    ...iterationTicks(count).flatMap((iteration) => {
      const x = number(iterationX(iteration, count, plot));
      return [
        `<line x1="${x}" y1="${plot.bottom}" x2="${x}" y2="${plot.bottom + 5}" stroke="#333"/>`,
        `<text x="${x}" y="${plot.bottom + 20}" text-anchor="middle" fill="#333">` +
          `${iteration}</text>`,
      ];
    }),
    `<line x1="${plot.left}" y1="${plot.bottom}" x2="${plot.right}" y2="${plot.bottom}" ` +
      'stroke="#333"/>',
    `<text x="${number((plot.left + plot.right) / 2)}" y="${layout.height - 6}" ` +
      'text-anchor="middle" fill="#333">iteration</text>',
  ];
}

// The reference line: the score of the suite in its given order, dashed and labelled.
function givenOrderLine(initial, axis, plot) {
  const y = number(scoreY(initial, axis, plot));
  return [
    `<line class="given-order" x1="${plot.left}" y1="${y}" x2="${plot.right}" y2="${y}" ` +
      'stroke="#8a4b08" stroke-width="1.5" stroke-dasharray="6 4"/>',
    `<text x="${plot.right}" y="${y}" dy="-0.5em" text-anchor="end" fill="#8a4b08">` +
      'given order</text>',
  ];
}

// The kept scores of `count` iterations on the axis: a dot at each iteration, joined by a lighter
// line, in the colours `colours`, the line's and the dots'; the dots of the run the replay shows
// carry their iteration.
function keptScores(scores, count, axis, plot, { line, dots, shown }) {
  const kept = scores.map((score, k) => [
    number(iterationX(k + 1, count, plot)),
    number(scoreY(score, axis, plot)),
  ]);
  const iteration = (k) => (shown ? ` data-iteration="${k + 1}"` : '');
  return [
    `<polyline class="scores" points="${kept.map(([x, y]) => `${x},${y}`).join(' ')}" ` +
      `fill="none" stroke="${line}"/>`,
    `<g class="kept" fill="${dots}">`,
    ...kept.map(([x, y], k) => `<circle cx="${x}" cy="${y}" r="3"${iteration(k)}/>`),
    '</g>',
  ];
}

// The runs' colours: the program's, and a changed run's beside it.
const PROGRAM = { line: '#5b80bb', dots: '#1f5fa8' };
const CHANGED = { line: '#d9925a', dots: '#a04a00' };

// The legend of two runs, on the line above the plot: each run's colour and name.
function legend(plot) {
  return [
    [PROGRAM, 'the program’s run', 0],
    [CHANGED, 'the changed run', 140],
  ].map(
    ([{ dots }, name, offset]) =>
      `<circle cx="${plot.left + offset + 4}" cy="10" r="4" fill="${dots}"/>` +
      `<text x="${plot.left + offset + 12}" y="10" dy="0.35em" fill="#333">${name}</text>`,
  );
}

// The chart of a parsed report, on the axis of the scores from `range.low` to `range.high`,
// `width` units wide, as the text of an SVG element; with `changed`, the scores a changed run kept
// beside it, the run the replay shows.
export function chartSvg(run, range, width = DEFAULT_WIDTH, changed = null) {
  const layout = chartLayout(width, changed !== null);
  const axis = scoreAxis(range);
  const runs = changed === null ? [run] : [run, changed];
  const count = Math.max(...runs.map(({ scores }) => scores.length));
  const lines = [
    `<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 ${width} ${layout.height}" ` +
      'role="img" aria-labelledby="chart-title chart-desc" font-family="sans-serif" ' +
      'font-size="12">',
    '<title id="chart-title">APFD kept by each iteration of antorder\'s search</title>',
    `<desc id="chart-desc">${chartDescription(run, changed)}</desc>`,
    `<rect width="${width}" height="${layout.height}" fill="#fff"/>`,
    ...scoreGrid(scoreTicks(runs, range), axis, layout.plot),
    ...iterationAxis(count, layout),
    ...givenOrderLine(run.initial, axis, layout.plot),
    ...keptScores(run.scores, count, axis, layout.plot, { ...PROGRAM, shown: changed === null }),
    ...(changed === null
      ? []
      : [
          ...keptScores(changed.scores, count, axis, layout.plot, { ...CHANGED, shown: true }),
          ...legend(layout.plot),
        ]),
    '</svg>',
  ];
  return `${lines.join('\n')}\n`;
}
