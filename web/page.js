// Runs antorder and antorder-trace in the page, both built to WebAssembly. The report, its chart
// and the final ordering show at once; then the trace lets the reader step through the search,
// move by move, as the program made it. Nothing here computes the search: the numbers are the
// programs', and this script lays them out.
/* global parseReport, chartSvg, orderingText, runWasiProgram, END, firstStep, endOf, nextStep,
   previousStep, isLastStep, scoreText, levelText, moveWords, tourText, tourEdges, keptWords,
   stepWords, stepPheromone, toursSoFar, levelRange, heatColour, graphLayout, antPath, antSpot */
'use strict';

// Each ant's colour and line pattern, ants 1 to 5: four hues and a dark grey that stay apart for
// people with a red, green or blue colour-vision deficiency, each dark enough for white text on
// it.
const ANT_COLOURS = ['#0072b2', '#b34e00', '#007a5a', '#a8457e', '#333'];
const ANT_DASHES = ['none', '8 3', '2 3', '9 3 2 3', '4 4'];

// How long Play shows each step, in milliseconds.
const PLAY_STEP_MS = 900;

const byId = (id) => document.getElementById(id);

// The WebAssembly of a program that the page holds, as base64 text, in the element `id`.
function programModule(id) {
  const text = atob(byId(id).textContent.trim());
  const bytes = new Uint8Array(text.length);
  for (let k = 0; k < text.length; ++k) {
    bytes[k] = text.charCodeAt(k);
  }
  return new WebAssembly.Module(bytes);
}

// Runs the program in the element `id` to its end, with no input, and returns what it wrote to
// its standard output, as text; whether that is whole, the reader of it tells.
function programOutput(id) {
  const written = [];
  runWasiProgram(programModule(id), {
    write: (fd, bytes) => {
      if (fd === 1) {
        written.push(bytes);
      }
    },
    read: () => 0,
  });
  const decoder = new TextDecoder();
  return (
    written.map((bytes) => decoder.decode(bytes, { stream: true })).join('') + decoder.decode()
  );
}

// Draws `draw(width)`, an SVG drawing, into the element `id` at the width that element has, and
// again whenever that width changes, so that 1 unit of the drawing is 1 CSS pixel.
function drawAtWidth(id, draw) {
  const element = byId(id);
  let width = 0;
  const redraw = () => {
    if (element.clientWidth !== width) {
      width = element.clientWidth;
      element.innerHTML = draw(width);
    }
  };
  redraw();
  if (typeof ResizeObserver === 'function') {
    new ResizeObserver(redraw).observe(element);
  }
  return () => {
    width = 0;
    redraw();
  };
}

// Shows the report as the program printed it and, when it is whole, its chart and the ordering
// the last iteration kept.
function showReport(report) {
  byId('report').textContent = report;
  const status = byId('status');
  try {
    const run = parseReport(report);
    drawAtWidth('chart', (width) => chartSvg(run, width));
    byId('final').textContent = orderingText(run.finalTour);
    status.hidden = true;
  } catch (error) {
    status.textContent = `antorder did not print a whole report (${error.message}).`;
  }
}

// The replay: the trace, the scale of its pheromone levels, the step shown, and Play's timer.
const replay = { trace: null, range: null, step: firstStep(), timer: null, redrawGraph: null };

const currentIteration = () => replay.trace.iterations[replay.step.iteration - 1];

const fixed = (value) => value.toFixed(1);
const dashOf = (k) => (ANT_DASHES[k] === 'none' ? '' : ` stroke-dasharray="${ANT_DASHES[k]}"`);

// Each ant's path so far, in its colour and line pattern; the kept ant's the widest.
function antPathsSvg(tours, keptAnt, layout) {
  return tours.map((tour, k) => {
    const points = antPath(tour, k + 1, layout).map((p) => `${fixed(p.x)},${fixed(p.y)}`);
    return (
      `<polyline points="${points.join(' ')}" fill="none" stroke="${ANT_COLOURS[k]}" ` +
      `stroke-width="${keptAnt === k + 1 ? 5 : 2.5}"${dashOf(k)}/>`
    );
  });
}

// The five tests: circles with their numbers, over the paths' ends.
function testsSvg(layout) {
  return layout.tests.map(
    (test, k) =>
      `<circle cx="${fixed(test.x)}" cy="${fixed(test.y)}" r="17" fill="#fff" stroke="#333" ` +
      `stroke-width="1.5"/><text x="${fixed(test.x)}" y="${fixed(test.y)}" dy="0.35em" ` +
      `text-anchor="middle" font-size="14" fill="#222">${k + 1}</text>`,
  );
}

// Each ant's number in its colour, beside the test it stands on.
function antMarkersSvg(tours, layout) {
  return tours.map((tour, k) => {
    const at = antSpot(tour[tour.length - 1], k + 1, layout);
    return (
      `<circle cx="${fixed(at.x)}" cy="${fixed(at.y)}" r="9" fill="${ANT_COLOURS[k]}" ` +
      `stroke="#fff" stroke-width="1.5"/><text x="${fixed(at.x)}" y="${fixed(at.y)}" ` +
      `dy="0.35em" text-anchor="middle" font-size="11" font-weight="700" fill="#fff">` +
      `${k + 1}</text>`
    );
  });
}

// The graph of the step shown, `width` pixels wide: the tests on a circle, each ant's path so
// far and where it stands; at the iteration's end the kept ant's path is the widest.
function graphSvg(width) {
  const iteration = currentIteration();
  const layout = graphLayout(width);
  const tours = toursSoFar(iteration, replay.step);
  const keptAnt = replay.step.pass === END ? iteration.kept : 0;
  const where = tours.map((tour, k) => `ant ${k + 1} on test ${tour[tour.length - 1]}`);
  return [
    `<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 ${layout.width} ${layout.height}" ` +
      `width="${layout.width}" height="${layout.height}" role="img" ` +
      'aria-labelledby="graph-title graph-desc" font-family="sans-serif">',
    '<title id="graph-title">Where the ants stand</title>',
    `<desc id="graph-desc">${where.join(', ')}.</desc>`,
    ...antPathsSvg(tours, keptAnt, layout),
    ...testsSvg(layout),
    ...antMarkersSvg(tours, layout),
    '</svg>',
  ].join('\n');
}

// The legend of the ants' colours and line patterns.
function showLegend() {
  byId('legend').innerHTML = ANT_COLOURS.map((colour, k) => {
    return (
      `<li><svg width="30" height="12" aria-hidden="true"><line x1="1" y1="6" x2="29" y2="6" ` +
      `stroke="${colour}" stroke-width="2.5"${dashOf(k)}/></svg> ant ${k + 1}</li>`
    );
  }).join('');
}

// The moves of the pass shown, in words; the iteration's end has none, and shows its tours.
function showMoves(iteration, step) {
  const atEnd = step.pass === END;
  byId('pass-moves').hidden = atEnd;
  const moves = atEnd ? [] : iteration.passes[step.pass - 1].moves;
  byId('moves').replaceChildren(
    ...moves.map((move) => {
      const item = document.createElement('li');
      item.textContent = moveWords(move);
      return item;
    }),
  );
}

// The pheromone table of the step shown, as a heat map with its values; at the iteration's end
// the five edges the global update reinforced are outlined and in bold.
function showPheromone(iteration, step) {
  const atEnd = step.pass === END;
  const reinforced = atEnd ? tourEdges(iteration.tours[iteration.kept - 1]) : [];
  byId('pheromone-caption').textContent = atEnd
    ? 'From test (row) to test (column), after the global update, which pulled the edges of ' +
      'the kept tour, outlined and in bold, towards 1 / its score.'
    : `From test (row) to test (column), after pass ${step.pass}'s local update, which pulled ` +
      'every level towards the initial level.';
  const body = byId('pheromone').tBodies[0];
  body.replaceChildren();
  stepPheromone(iteration, step).forEach((row, a) => {
    const line = body.insertRow();
    const header = document.createElement('th');
    header.scope = 'row';
    header.textContent = String(a + 1);
    line.append(header);
    row.forEach((level, b) => {
      const cell = line.insertCell();
      cell.style.background = heatColour(level, replay.range);
      const value = document.createTextNode(levelText(level));
      if (reinforced.some(([from, to]) => from === a + 1 && to === b + 1)) {
        const bold = document.createElement('strong');
        bold.append(value);
        cell.className = 'reinforced';
        cell.append(bold);
      } else {
        cell.append(value);
      }
    });
  });
}

// At the iteration's end: the five tours and their scores, the kept ant and why, and the edges
// the global update reinforced.
function showEnd(iteration, step) {
  const end = byId('iteration-end');
  end.hidden = step.pass !== END;
  if (end.hidden) {
    return;
  }
  const body = byId('tours').tBodies[0];
  body.replaceChildren();
  iteration.tours.forEach((tour, k) => {
    const line = body.insertRow();
    const kept = iteration.kept === k + 1;
    line.className = kept ? 'kept' : '';
    for (const text of [
      `${k + 1}${kept ? ' (kept)' : ''}`,
      tourText(tour),
      scoreText(iteration.scores[k]),
    ]) {
      line.insertCell().textContent = text;
    }
  });
  byId('kept-why').textContent = keptWords(iteration.scores, iteration.kept);
  byId('kept-score').textContent = scoreText(iteration.scores[iteration.kept - 1]);
  byId('reinforced').textContent = tourEdges(iteration.tours[iteration.kept - 1])
    .map(([from, to]) => `${from} → ${to}`)
    .join(', ');
}

// Disables the previous-step button at the first step and the next-step button at the last. A
// button that is disabled while it has the focus hands the focus to the other, so that a reader
// who steps by the keyboard keeps it.
function setStepButtons(atFirst, atLast) {
  const [previous, next] = [byId('previous'), byId('next')];
  const focused = document.activeElement;
  previous.disabled = atFirst;
  next.disabled = atLast;
  if (focused === previous && atFirst) {
    next.focus();
  } else if (focused === next && atLast) {
    previous.focus();
  }
}

// Shows the step `replay.step` in every part of the replay.
function showStep() {
  const iteration = currentIteration();
  const step = replay.step;
  const count = replay.trace.iterations.length;
  byId('iteration').value = String(step.iteration);
  byId('iteration-value').textContent = String(step.iteration);
  setStepButtons(step.iteration === 1 && step.pass === 1, isLastStep(step, count));
  byId('step-status').textContent = stepWords(iteration, step);
  replay.redrawGraph();
  showMoves(iteration, step);
  showEnd(iteration, step);
  showPheromone(iteration, step);
}

function goTo(step) {
  replay.step = step;
  showStep();
}

// Play shows one step after another until the last, or until Pause.
function setPlaying(playing) {
  clearInterval(replay.timer);
  replay.timer = null;
  if (playing) {
    replay.timer = setInterval(() => {
      const count = replay.trace.iterations.length;
      goTo(nextStep(replay.step, count));
      if (isLastStep(replay.step, count)) {
        setPlaying(false);
      }
    }, PLAY_STEP_MS);
  }
  byId('play').textContent = playing ? 'Pause' : 'Play';
}

// Runs the trace and opens the replay at the first pass of the first iteration.
function startReplay() {
  try {
    replay.trace = JSON.parse(programOutput('trace-program'));
  } catch (error) {
    byId('step-status').textContent = `antorder-trace did not write its trace (${error.message}).`;
    return;
  }
  replay.range = levelRange(replay.trace);
  const count = replay.trace.iterations.length;
  byId('iteration').max = String(count);
  byId('iteration').disabled = false;
  byId('play').disabled = false;
  showLegend();
  replay.redrawGraph = drawAtWidth('graph', graphSvg);
  byId('iteration').addEventListener('input', (event) => goTo(endOf(Number(event.target.value))));
  byId('previous').addEventListener('click', () => goTo(previousStep(replay.step)));
  byId('next').addEventListener('click', () => goTo(nextStep(replay.step, count)));
  byId('play').addEventListener('click', () => setPlaying(replay.timer === null));
  showStep();
}

// The report first; the replay once the frame that shows the report has been painted, which the
// second frame's callback follows.
showReport(programOutput('antorder-program'));
requestAnimationFrame(() => requestAnimationFrame(() => setTimeout(startReplay, 0)));
