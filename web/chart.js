// Reads antorder's report and draws the score each iteration keeps as an SVG chart. The web page
// draws its chart with this script; under node it writes the chart README.md shows:
//   node web/chart.js tests/expected_report.txt > doc/scores.svg
'use strict';

// The range the scores of this suite can take, and the six values in it.
const SCORE_MIN = 0.38;
const SCORE_MAX = 0.58;
const SCORE_STEP = 0.04;

// The chart's size and the plot area inside it, in SVG units.
const WIDTH = 640;
const HEIGHT = 320;
const PLOT = { left: 64, right: 616, top: 28, bottom: 260 };

// Reads a report: the suite's score in its given order, the score of each iteration in order,
// and the final tour's test numbers. Throws when the text is not a whole report.
function parseReport(text) {
  const whole = /^initial APFD=(\d+\.\d{6}) \n((?:\n Iteration=\d+, APFD = \d+\.\d{6})+)\n Final solution: \n:((?:\d+ - )+)$/;
  const match = whole.exec(text);
  if (!match) {
    throw new Error('not a whole antorder report');
  }
  const scores = [];
  for (const [, iteration, score] of match[2].matchAll(/\n Iteration=(\d+), APFD = (\d+\.\d{6})/g)) {
    if (Number(iteration) !== scores.length + 1) {
      throw new Error(`iteration ${iteration} where ${scores.length + 1} was due`);
    }
    scores.push(Number(score));
  }
  const finalTour = match[3].match(/\d+/g).map(Number);
  return { initial: Number(match[1]), scores, finalTour };
}

// The horizontal position of iteration `iteration` (1-based) of `count`.
function iterationX(iteration, count) {
  return PLOT.left + ((iteration - 1) / (count - 1)) * (PLOT.right - PLOT.left);
}

// The vertical position of a score: the smallest at the bottom, the largest at the top.
function scoreY(score) {
  return PLOT.bottom - ((score - SCORE_MIN) / (SCORE_MAX - SCORE_MIN)) * (PLOT.bottom - PLOT.top);
}

// The iterations that get a tick: the first, then every twentieth.
function iterationTicks(count) {
  const ticks = [1];
  for (let iteration = 20; iteration <= count; iteration += 20) {
    ticks.push(iteration);
  }
  return ticks;
}

// The six values the scores can take, from the smallest.
function scoreTicks() {
  const count = Math.round((SCORE_MAX - SCORE_MIN) / SCORE_STEP);
  return Array.from({ length: count + 1 }, (_, k) => SCORE_MIN + k * SCORE_STEP);
}

// The ordering of a tour: its first five test numbers, listed.
function orderingText(tour) {
  return tour.slice(0, -1).join(', ');
}

// The chart's text alternative: what it shows, in words.
function chartDescription(run) {
  const lowest = Math.min(...run.scores);
  const highest = Math.max(...run.scores);
  return (
    `The score each of the ${run.scores.length} iterations keeps, between ` +
    `${lowest.toFixed(2)} and ${highest.toFixed(2)}. The dashed line is the suite in its ` +
    `given order, ${run.initial.toFixed(2)}. The last iteration keeps the ordering ` +
    `${orderingText(run.finalTour)}.`
  );
}

const number = (value) => value.toFixed(1);

// The score axis: a grid line and a label at each value the scores can take, and its title.
function scoreAxis() {
  const middleY = number((PLOT.top + PLOT.bottom) / 2);
  return [
    ...scoreTicks().flatMap((score) => {
      const y = number(scoreY(score));
      return [
        `<line x1="${PLOT.left}" y1="${y}" x2="${PLOT.right}" y2="${y}" stroke="#ddd"/>`,
        `<text x="${PLOT.left - 8}" y="${y}" dy="0.35em" text-anchor="end" fill="#333">` +
          `${score.toFixed(2)}</text>`,
      ];
    }),
    `<text x="16" y="${middleY}" text-anchor="middle" fill="#333" ` +
      `transform="rotate(-90 16 ${middleY})">APFD</text>`,
  ];
}

// The iteration axis of `count` iterations: its line, its ticks with their labels, its title.
function iterationAxis(count) {
  return [
    ...iterationTicks(count).flatMap((iteration) => {
      const x = number(iterationX(iteration, count));
      return [
        `<line x1="${x}" y1="${PLOT.bottom}" x2="${x}" y2="${PLOT.bottom + 5}" stroke="#333"/>`,
        `<text x="${x}" y="${PLOT.bottom + 20}" text-anchor="middle" fill="#333">${iteration}</text>`,
      ];
    }),
    `<line x1="${PLOT.left}" y1="${PLOT.bottom}" x2="${PLOT.right}" y2="${PLOT.bottom}" stroke="#333"/>`,
    `<text x="${number((PLOT.left + PLOT.right) / 2)}" y="${HEIGHT - 8}" text-anchor="middle" ` +
      'fill="#333">iteration</text>',
  ];
}

// The reference line: the score of the suite in its given order, dashed and labelled.
function givenOrderLine(initial) {
  const y = number(scoreY(initial));
  return [
    `<line class="given-order" x1="${PLOT.left}" y1="${y}" x2="${PLOT.right}" y2="${y}" ` +
      'stroke="#b5651d" stroke-width="1.5" stroke-dasharray="6 4"/>',
    `<text x="${PLOT.right}" y="${y}" dy="-0.5em" text-anchor="end" fill="#b5651d">given order</text>`,
  ];
}

// The kept scores: a dot at each iteration, joined by a faint line.
function keptScores(scores) {
  const kept = scores.map((score, k) => [number(iterationX(k + 1, scores.length)), number(scoreY(score))]);
  return [
    `<polyline class="scores" points="${kept.map(([x, y]) => `${x},${y}`).join(' ')}" ` +
      'fill="none" stroke="#1f5fa8" stroke-opacity="0.5"/>',
    '<g class="kept" fill="#1f5fa8">',
    ...kept.map(([x, y]) => `<circle cx="${x}" cy="${y}" r="2.5"/>`),
    '</g>',
  ];
}

// The chart of a parsed report, as the text of an SVG element.
function chartSvg(run) {
  const lines = [
    `<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 ${WIDTH} ${HEIGHT}" role="img" ` +
      'aria-labelledby="chart-title chart-desc" font-family="sans-serif" font-size="13">',
    '<title id="chart-title">APFD kept by each iteration of antorder\'s search</title>',
    `<desc id="chart-desc">${chartDescription(run)}</desc>`,
    `<rect width="${WIDTH}" height="${HEIGHT}" fill="#fff"/>`,
    ...scoreAxis(),
    ...iterationAxis(run.scores.length),
    ...givenOrderLine(run.initial),
    ...keptScores(run.scores),
    '</svg>',
  ];
  return `${lines.join('\n')}\n`;
}

if (typeof module === 'object') {
  module.exports = { parseReport, iterationX, scoreY, chartSvg, PLOT };
  if (require.main === module) {
    const report = require('fs').readFileSync(process.argv[2], 'latin1');
    process.stdout.write(chartSvg(parseReport(report)));
  }
}
