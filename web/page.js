// Runs antorder and antorder-trace in the page, both built to WebAssembly. The report shows at
// once; then the trace gives the suite, the chart's axis, and every step of the search with the
// numbers it was made from, which the reader steps through as the program made them. Nothing here
// computes the search: the numbers are the programs', and this script lays them out.
import * as Chart from './chart.js';
import * as Graph from './graph.js';
import * as Replay from './replay.js';
import * as Wasi from './wasi.js';

const byId = (id) => document.getElementById(id);

// A new element with the attributes `attributes` and the children `children`, text or nodes.
function element(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    node.setAttribute(name, value);
  }
  node.append(...children);
  return node;
}

// A table row of cells: the first a row header, the others data.
function row(cells, className = '') {
  const [header, ...data] = cells;
  const line = element('tr', className ? { class: className } : {});
  line.append(element('th', { scope: 'row' }, String(header)));
  line.append(...data.map((cell) => element('td', {}, cell)));
  return line;
}

// A header row of column headings.
const headings = (names) =>
  element('tr', {}, ...names.map((name) => element('th', { scope: 'col' }, name)));

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
  Wasi.runWasiProgram(programModule(id), (fd, bytes) => {
    if (fd === 1) {
      written.push(bytes);
    }
  });
  const decoder = new TextDecoder();
  return (
    written.map((bytes) => decoder.decode(bytes, { stream: true })).join('') + decoder.decode()
  );
}

// Draws `draw(width)`, an SVG drawing, into the element `id` at the width that element has, and
// again whenever that width changes, so that 1 unit of the drawing is 1 CSS pixel. Returns a
// function that draws it again.
function drawAtWidth(id, draw) {
  const target = byId(id);
  let width = 0;
  const redraw = () => {
    if (target.clientWidth !== width) {
      width = target.clientWidth;
      target.innerHTML = draw(width);
    }
  };
  redraw();
  if (typeof ResizeObserver === 'function') {
    new ResizeObserver(redraw).observe(target);
  }
  return () => {
    width = 0;
    redraw();
  };
}

// Shows the report as the program printed it and, when it is whole, the ordering the last
// iteration kept. Returns the parsed report, or null.
function showReport(report) {
  byId('report').textContent = report;
  const status = byId('status');
  try {
    const run = Chart.parseReport(report);
    byId('final').textContent = Chart.orderingText(run.finalTour);
    status.textContent = 'Running antorder-trace…';
    return run;
  } catch (error) {
    status.textContent = `antorder did not print a whole report (${error.message}).`;
    return null;
  }
}

const { valueText } = Replay;
const plain = (value) => String(Number(value.toPrecision(6)));

// The numbers of the search that the page's text names, from the trace, formatted.
function facts(trace) {
  const { instance, parameters } = trace;
  const tests = instance.faultMatrix.length;
  const faults = instance.faultMatrix[0].length;
  return {
    tests,
    faults,
    nm: instance.scoreDivisors[0],
    twoN: instance.scoreDivisors[1],
    costRow: instance.cost[0].map((cost) => valueText(cost)).join(', '),
    cycleTour: Replay.tourText(instance.referenceTour),
    cycle: valueText(instance.referenceCycle),
    tau0: valueText(trace.tau0),
    scoreLow: instance.scoreRange[0].toFixed(2),
    scoreHigh: instance.scoreRange[1].toFixed(2),
    ants: parameters.ants,
    passes: Replay.shapeOf(trace).passes,
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

// Writes each fact into every element that names it with data-fact.
function showFacts(known) {
  for (const slot of document.querySelectorAll('[data-fact]')) {
    slot.textContent = String(known[slot.dataset.fact]);
  }
}

// The suite: a row a test, a column a fault, ✓ where the test detects the fault, and the test's
// run time.
function showSuite(instance) {
  const table = byId('suite-table');
  const faults = instance.faultMatrix[0].map((_, f) => element('th', { scope: 'col' }, `${f + 1}`));
  table.tHead.replaceChildren(
    element(
      'tr',
      {},
      element('th', { scope: 'col', rowspan: '2' }, 'Test'),
      element('th', { scope: 'colgroup', colspan: String(faults.length) }, 'Faults'),
      element('th', { scope: 'col', rowspan: '2' }, 'Run time'),
    ),
    element('tr', {}, ...faults),
  );
  table.tBodies[0].replaceChildren(
    ...instance.faultMatrix.map((detects, t) =>
      row([t + 1, ...detects.map((on) => (on === 1 ? '✓' : '')), valueText(instance.execTime[t])]),
    ),
  );
  const tests = instance.faultMatrix.map((_, t) => `${t + 1}`);
  byId('pheromone').tHead.replaceChildren(headings(['from \\ to', ...tests]));
}

// The replay: the trace, its shape, the step shown, Play's timer, and how to redraw the graph.
const replay = { trace: null, shape: null, step: Replay.firstStep(), timer: null, redraw: null };

const currentIteration = () => replay.trace.iterations[replay.step.iteration - 1];

// The graph of the step shown, `width` pixels wide.
function graphSvg(width) {
  const iteration = currentIteration();
  return Graph.graphSvg({
    tours: Replay.toursSoFar(iteration, replay.step),
    tests: replay.trace.instance.faultMatrix.length,
    kept: replay.step.end ? iteration.kept : 0,
    width,
  });
}

// The start draws of the iteration, at its first pass.
function showStarts(iteration, step) {
  byId('starts').hidden = step.end || step.pass !== 1;
  byId('start-draws').tBodies[0].replaceChildren(
    ...Replay.startRows(iteration).map(({ draw, test, ant, holder }) =>
      row([
        draw,
        test,
        ant === null ? `taken by ant ${holder}: drawn again` : `ant ${ant} starts here`,
      ]),
    ),
  );
}

// The numbers a trail move was made from: each test's weight, pheromone over squared run time.
function trailTable(move, taken, before) {
  const { cost } = replay.trace.instance;
  const rows = move.weights.map((weight, t) => {
    const test = t + 1;
    if (taken.includes(test)) {
      return row([test, '', '', 'taken']);
    }
    const pick = test === move.to;
    return row(
      [
        test,
        valueText(before[move.from - 1][t]),
        `${valueText(cost[move.from - 1][t])}²`,
        `${valueText(weight)}${pick ? ' ← largest' : ''}`,
      ],
      pick ? 'pick' : '',
    );
  });
  return element(
    'table',
    { class: 'weights' },
    element(
      'caption',
      {},
      `From test ${move.from}: weight = pheromone ÷ run time². The largest weight wins; ` +
        'on a tie, the lower test.',
    ),
    element('thead', {}, headings(['Test', 'Pheromone', 'Run time²', 'Weight'])),
    element('tbody', {}, ...rows),
  );
}

// The numbers a faults move was made from: the faults the ant has detected, and what each test
// not taken would add.
function faultsTable(move, taken) {
  const { faultMatrix } = replay.trace.instance;
  const rows = move.newFaults.map((count, t) => {
    const test = t + 1;
    const detects = Replay.listText(Replay.numbersOf(faultMatrix[t]));
    if (taken.includes(test)) {
      return row([test, detects, 'taken']);
    }
    const pick = test === move.to;
    return row([test, detects, `${count}${pick ? ' ← most' : ''}`], pick ? 'pick' : '');
  });
  return element(
    'table',
    { class: 'new-faults' },
    element(
      'caption',
      {},
      `Detected so far: faults ${Replay.listText(Replay.numbersOf(move.detected))}. The most ` +
        'new faults win; on a tie, the lower test.',
    ),
    element('thead', {}, headings(['Test', 'Detects faults', 'New'])),
    element('tbody', {}, ...rows),
  );
}

// The moves of the pass shown, each in words, and but for a move home with the numbers it was
// made from, which the reader opens.
function showMoves(iteration, step) {
  byId('pass-moves').hidden = Boolean(step.end);
  if (step.end) {
    return;
  }
  const before = Replay.tableBefore(replay.trace, step);
  const moves = iteration.passes[step.pass - 1].moves;
  // The ants whose numbers the reader opened stay open on the next pass.
  const opened = new Set(
    [...byId('moves').querySelectorAll('details[open]')].map((details) => details.dataset.ant),
  );
  byId('moves').replaceChildren(
    ...moves.map((move) => {
      const words = Replay.moveWords(move, replay.trace.parameters);
      if (move.rule === 'home') {
        return element('li', {}, words);
      }
      const { taken } = move;
      const table =
        move.rule === 'trail' ? trailTable(move, taken, before) : faultsTable(move, taken);
      const details = element(
        'details',
        { 'data-ant': String(move.ant) },
        element('summary', {}, words),
        element('div', {}, table),
      );
      details.open = opened.has(String(move.ant));
      return element('li', {}, details);
    }),
  );
  const { rho } = replay.trace.parameters;
  const { tau0 } = replay.trace;
  const highest = Replay.highestEdge(before);
  const after = Replay.tableAfter(replay.trace, step)[highest.from - 1][highest.to - 1];
  const example =
    highest.level === tau0
      ? 'Every level was at tau0 already, and stays there.'
      : `The highest before it, ${highest.from} → ${highest.to}, went from ` +
        `${valueText(highest.level)} to ${valueText(after)}.`;
  byId('local-update').textContent =
    `After pass ${step.pass}, every level moved rho = ${plain(rho)} of the way back to tau0: ` +
    `new = old × ${plain(1 - rho)} + ${valueText(tau0)} × ${plain(rho)}. ${example}`;
}

// At the iteration's end: each tour's score and how it is made, the kept ant and why, and the
// global update along its tour.
function showEnd(iteration, step) {
  byId('iteration-end').hidden = !step.end;
  if (!step.end) {
    return;
  }
  byId('tours').tBodies[0].replaceChildren(
    ...Replay.scoreRows(iteration).map((tour) =>
      row(
        [
          `${tour.ant}${tour.kept ? ' (kept)' : ''}`,
          Replay.tourText(tour.tour),
          tour.firstFound.join(' '),
          valueText(tour.sum),
          Replay.scoreText(tour.score),
        ],
        tour.kept ? 'kept' : '',
      ),
    ),
  );
  byId('kept-why').textContent = Replay.keptWords(iteration);
  byId('kept-score').textContent = Replay.scoreText(iteration.scores[iteration.kept - 1]);
  const { rho } = replay.trace.parameters;
  const before = Replay.tableBefore(replay.trace, step);
  byId('global-update').textContent =
    `The global update pulled the ${iteration.reinforced.length} edges of ant ` +
    `${iteration.kept}'s tour towards ` +
    `the deposit 1 / ${Replay.scoreText(iteration.scores[iteration.kept - 1])} = ` +
    `${valueText(iteration.deposit, 6)}: new = old × ${plain(1 - rho)} + ` +
    `${valueText(iteration.deposit, 6)} × ${plain(rho)}.`;
  byId('reinforced').replaceChildren(
    ...iteration.reinforced.map(([from, to]) =>
      element(
        'li',
        {},
        `${from} → ${to}: ${valueText(before[from - 1][to - 1])} → ` +
          `${valueText(iteration.pheromone[from - 1][to - 1])}`,
      ),
    ),
  );
}

// The pheromone table of the step shown, as a heat map with its values; at the iteration's end
// the edges the global update reinforced are outlined and in bold.
function showPheromone(iteration, step) {
  const reinforced = step.end ? iteration.reinforced : [];
  byId('pheromone-caption').textContent =
    (step.end
      ? 'From test (row) to test (column), after the global update; the edges it reinforced ' +
        'are outlined and in bold.'
      : `From test (row) to test (column), after pass ${step.pass}'s local update.`) +
    ' The darker, the higher within this table.';
  const table = Replay.tableAfter(replay.trace, step);
  const levels = table.flat();
  const [low, high] = [Math.min(...levels), Math.max(...levels)];
  const scale = element('span', { class: 'scale', 'aria-hidden': 'true' });
  scale.style.background =
    `linear-gradient(to right, ${Replay.heatColour(low, table)}, ` +
    `${Replay.heatColour(high, table)})`;
  byId('pheromone-scale').replaceChildren(
    ...(low === high
      ? [`Every level of this table is ${Replay.levelText(low)}, so every cell is white.`]
      : [
          `Shade: white is this table's lowest level, ${Replay.levelText(low)}, `,
          scale,
          ` and the darkest its highest, ${Replay.levelText(high)}, on a logarithmic scale.`,
        ]),
  );
  const body = byId('pheromone').tBodies[0];
  body.replaceChildren(
    ...table.map((levels, a) => {
      const line = row([a + 1]);
      levels.forEach((level, b) => {
        const cell = line.insertCell();
        cell.style.background = Replay.heatColour(level, table);
        const value = Replay.levelText(level);
        if (reinforced.some(([from, to]) => from === a + 1 && to === b + 1)) {
          cell.className = 'reinforced';
          cell.append(element('strong', {}, value));
        } else {
          cell.append(value);
        }
      });
      return line;
    }),
  );
}

// Marks the previous-step button unavailable at the first step and the next-step button at the
// last. They stay focusable, so that a reader who holds Enter on one stays at its end.
function setStepButtons(step) {
  byId('previous').setAttribute('aria-disabled', String(Replay.isFirstStep(step)));
  byId('next').setAttribute('aria-disabled', String(Replay.isLastStep(step, replay.shape)));
}

// Shows the step `replay.step` in every part of the replay.
function showStep() {
  const iteration = currentIteration();
  const step = replay.step;
  byId('iteration').value = String(step.iteration);
  byId('iteration-value').textContent = String(step.iteration);
  setStepButtons(step);
  byId('play').textContent = playLabel();
  byId('step-status').textContent = Replay.stepWords(iteration, step, replay.shape);
  replay.redraw();
  showStarts(iteration, step);
  showMoves(iteration, step);
  showEnd(iteration, step);
  showPheromone(iteration, step);
}

function goTo(step) {
  replay.step = step;
  showStep();
}

// What Play does: play, pause, or at the last step, play again from the first.
function playLabel() {
  if (replay.timer !== null) {
    return 'Pause';
  }
  return Replay.isLastStep(replay.step, replay.shape) ? 'Play from the start' : 'Play';
}

// Play shows one step after another until the last, or until Pause.
function setPlaying(playing) {
  clearInterval(replay.timer);
  replay.timer = null;
  if (playing) {
    if (Replay.isLastStep(replay.step, replay.shape)) {
      goTo(Replay.firstStep());
    }
    replay.timer = setInterval(
      () => {
        goTo(Replay.nextStep(replay.step, replay.shape));
        if (Replay.isLastStep(replay.step, replay.shape)) {
          setPlaying(false);
        }
      },
      Number(byId('speed').value),
    );
  }
  byId('play').textContent = playLabel();
}

// A step button's action, which does nothing while the button is marked unavailable.
function onStepButton(id, step) {
  byId(id).addEventListener('click', (event) => {
    if (event.currentTarget.getAttribute('aria-disabled') !== 'true') {
      goTo(step());
    }
  });
}

// The keys that step through the replay, each with the step it goes to, or Play's action.
const KEYS = {
  ArrowLeft: () => Replay.previousStep(replay.step, replay.shape),
  ArrowRight: () => Replay.nextStep(replay.step, replay.shape),
  Home: () => Replay.firstStep(),
  End: () => Replay.endOf(replay.shape.iterations),
  PageUp: () => Replay.iterationStep(replay.step, replay.shape, -1),
  PageDown: () => Replay.iterationStep(replay.step, replay.shape, 1),
  ' ': () => setPlaying(replay.timer === null),
};

// A key of KEYS pressed anywhere but in a control that takes it itself: a field, a list or the
// range, or Space on a button or a summary, which it presses.
function onKey(event) {
  const action = KEYS[event.key];
  const control = event.target.closest('input, select, textarea, [contenteditable="true"]');
  const pressed = event.key === ' ' && event.target.closest('button, summary, a');
  if (!action || control || pressed || event.altKey || event.ctrlKey || event.metaKey) {
    return;
  }
  event.preventDefault();
  const step = action();
  if (step) {
    goTo(step);
  }
}

// A click on the chart goes to the end of the iteration of the nearest dot, in the replay.
function onChartClick(event) {
  let nearest = null;
  for (const dot of byId('chart').querySelectorAll('circle[data-iteration]')) {
    const box = dot.getBoundingClientRect();
    const distance = Math.abs(box.left + box.width / 2 - event.clientX);
    if (nearest === null || distance < nearest.distance) {
      nearest = { distance, iteration: Number(dot.dataset.iteration) };
    }
  }
  if (nearest !== null) {
    goTo(Replay.endOf(nearest.iteration));
    byId('watch').scrollIntoView();
  }
}

// Runs the trace, shows the suite and the chart, and opens the replay at the first pass of the
// first iteration.
function startReplay(run) {
  try {
    replay.trace = JSON.parse(programOutput('trace-program'));
  } catch (error) {
    byId('status').textContent = `antorder-trace did not write its trace (${error.message}).`;
    return;
  }
  const { trace } = replay;
  replay.shape = Replay.shapeOf(trace);
  showFacts(facts(trace));
  showSuite(trace.instance);
  if (run) {
    const [low, high] = trace.instance.scoreRange;
    drawAtWidth('chart', (width) => Chart.chartSvg(run, { low, high }, width));
    byId('status').hidden = true;
  }
  const range = byId('iteration');
  range.max = String(replay.shape.iterations);
  for (const id of ['iteration', 'previous', 'play', 'next', 'speed']) {
    byId(id).disabled = false;
  }
  byId('legend').innerHTML = trace.iterations[0].tours
    .map((_, k) => Graph.legendItem(k + 1))
    .join('');
  replay.redraw = drawAtWidth('graph', graphSvg);
  range.addEventListener('input', (event) => goTo(Replay.endOf(Number(event.target.value))));
  onStepButton('previous', () => Replay.previousStep(replay.step, replay.shape));
  onStepButton('next', () => Replay.nextStep(replay.step, replay.shape));
  byId('play').addEventListener('click', () => setPlaying(replay.timer === null));
  byId('speed').addEventListener('change', () => replay.timer !== null && setPlaying(true));
  document.addEventListener('keydown', onKey);
  byId('chart').addEventListener('click', onChartClick);
  showStep();
}

// The report first; the rest once the frame that shows the report has been painted, which the
// second frame's callback follows.
const run = showReport(programOutput('antorder-program'));
requestAnimationFrame(() => requestAnimationFrame(() => setTimeout(() => startReplay(run), 0)));
