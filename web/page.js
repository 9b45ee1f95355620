// Runs antorder and antorder-trace in the page, both built to WebAssembly. The report shows at
// once; then the trace gives the suite, the chart's axis, and every step of the search with the
// numbers it was made from, which the reader steps through as the program made them. Nothing here
// computes the search: the numbers are the programs', and this script lays them out.
import * as Chart from './chart.js';
import * as Graph from './graph.js';
import * as Format from './format.js';
import * as View from './view.js';
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
      row([
        t + 1,
        ...detects.map((on) => (on === 1 ? '✓' : '')),
        Format.valueText(instance.execTime[t]),
      ]),
    ),
  );
  const tests = instance.faultMatrix.map((_, t) => `${t + 1}`);
  byId('pheromone').tHead.replaceChildren(headings(['from \\ to', ...tests]));
}

// The replay: the trace, its shape, the index of the step shown from 0, its view, Play's timer,
// and how to redraw the graph.
const replay = {
  linked: null,
  trace: null,
  shape: null,
  index: 0,
  view: null,
  timer: null,
  redraw: null,
  answers: new Map(),
};

// The graph of the step shown, `width` pixels wide.
function graphSvg(width) {
  const { view } = replay;
  return Graph.graphSvg({
    tours: view.tours,
    tests: replay.trace.instance.faultMatrix.length,
    kept: view.kept,
    moving: view.moving,
    linked: replay.linked,
    width,
  });
}

// The numbers the step was made from, as a table, or none.
function showNumbers(table) {
  const numbers = byId('numbers');
  numbers.hidden = table === null;
  if (table !== null) {
    numbers.caption.textContent = table.caption;
    numbers.tHead.replaceChildren(headings(table.headings));
    numbers.tBodies[0].replaceChildren(
      ...table.rows.map(({ cells, pick, edge }) => {
        const line = row(cells, pick ? 'pick' : '');
        if (edge) {
          line.dataset.edge = `${edge.from}-${edge.to}`;
          line.tabIndex = 0;
        }
        return line;
      }),
    );
  }
}

// The pheromone table of the step shown, as a heat map with its values and its scale; the cells
// the step marks are outlined and in bold.
function showPheromone(view) {
  const table = view.levels;
  const heat = View.heatWords(view);
  byId('pheromone-caption').textContent = heat.caption;
  const swatch = element('span', { class: 'scale', 'aria-hidden': 'true' });
  swatch.style.background =
    `linear-gradient(to right, ${Format.heatColour(heat.low, table)}, ` +
    `${Format.heatColour(heat.high, table)})`;
  const [before, after] = heat.scale;
  byId('pheromone-scale').replaceChildren(
    ...(after === undefined ? [before] : [before, swatch, after]),
  );
  byId('pheromone').tBodies[0].replaceChildren(
    ...table.map((levelsFrom, a) => {
      const line = row([a + 1]);
      levelsFrom.forEach((level, b) => {
        const cell = line.insertCell();
        cell.dataset.edge = `${a + 1}-${b + 1}`;
        cell.style.background = Format.heatColour(level, table);
        const value = Format.levelText(level);
        if (view.marked.some(({ from, to }) => from === a + 1 && to === b + 1)) {
          cell.className = 'marked';
          cell.append(element('strong', {}, value));
        } else {
          cell.append(value);
        }
      });
      return line;
    }),
  );
}

// Points at the edge "from-to", or at none: its level in the move's table and in the heat map,
// and its band in the graph.
function setLinked(edge) {
  for (const node of document.querySelectorAll('.linked[data-edge]')) {
    node.classList.remove('linked');
  }
  for (const node of document.querySelectorAll(`[data-edge="${edge}"]`)) {
    node.classList.add('linked');
  }
  const [from, to] = edge ? edge.split('-').map(Number) : [];
  replay.linked = edge ? { from, to } : null;
  replay.redraw();
}

// A level of the move's table or of the heat map, pointed at or focused, and left again.
function onLinkEvent(event) {
  const target = event.target.closest('[data-edge]');
  const entering = event.type === 'pointerover' || event.type === 'focusin';
  setLinked(entering && target ? target.dataset.edge : null);
}

// Marks the previous-step button unavailable at the first step and the next-step button at the
// last. They stay focusable, so that a reader who holds Enter on one stays at its end.
function setStepButtons() {
  byId('previous').setAttribute('aria-disabled', String(replay.index === 0));
  byId('next').setAttribute('aria-disabled', String(replay.index === replay.shape.steps - 1));
}

// The question the step asks first, in the answering mode, until the reader has answered it.
function openQuestion(view) {
  const asking = byId('answer-mode').checked && view.question !== null;
  return asking && !replay.answers.has(replay.index) ? view.question : null;
}

// The reader's answer to the step's question: kept, with whether it was right, and then the step
// shown.
function answer(question, choice) {
  replay.answers.set(replay.index, { choice, right: choice === question.answer });
  showStep();
  byId('next').focus();
}

// The choices of a question, as buttons, or none.
function showQuestion(question) {
  const box = byId('question');
  box.hidden = question === null;
  box.replaceChildren(
    ...(question === null
      ? []
      : question.choices.map(({ value, label }) => {
          const button = element('button', { type: 'button', 'data-choice': String(value) }, label);
          button.addEventListener('click', () => answer(question, value));
          return button;
        })),
  );
}

// How many of the reader's answers were right, of how many.
function showAnswerCount() {
  const right = [...replay.answers.values()].filter((answered) => answered.right).length;
  const counter = byId('answer-count');
  counter.hidden = replay.answers.size === 0;
  counter.textContent = View.answerCountWords(right, replay.answers.size);
}

// Shows the step `replay.index` in every part of the replay, and puts it in the address; in the
// answering mode, a question first.
function showStep() {
  replay.linked = null;
  const full = View.stepView(replay.trace, replay.shape, replay.index);
  const question = openQuestion(full);
  const view = question === null ? full : question.shown;
  replay.view = view;
  showQuestion(question);
  if (question !== null) {
    setPlaying(false, false);
  }
  byId('step').value = String(replay.index + 1);
  byId('step-value').textContent = (replay.index + 1).toLocaleString('en-GB');
  byId('position').textContent = view.position;
  const answered = replay.answers.get(replay.index);
  byId('step-status').textContent =
    question === null && answered !== undefined
      ? `${full.question.reply(answered.choice)} ${view.words}`
      : view.words;
  byId('paths').replaceChildren(...view.paths.map((path) => element('li', {}, path)));
  showAnswerCount();
  for (const line of byId('procedure').children) {
    if (line.dataset.line === view.line) {
      line.setAttribute('aria-current', 'step');
    } else {
      line.removeAttribute('aria-current');
    }
  }
  showNumbers(view.table);
  byId('changes').replaceChildren(...view.changes.map((text) => element('li', {}, text)));
  showPheromone(view);
  replay.redraw();
  setStepButtons();
  byId('play').textContent = playLabel();
  history.replaceState(null, '', view.address);
}

// Goes to the step numbered `index` from 0, within the run.
function goTo(index) {
  replay.index = Math.min(replay.shape.steps - 1, Math.max(0, index));
  showStep();
}

const isLast = () => replay.index === replay.shape.steps - 1;

// What Play does: play, pause, or at the last step, play again from the first.
function playLabel() {
  if (replay.timer !== null) {
    return 'Pause';
  }
  return isLast() ? 'Play from the start' : 'Play';
}

// Play shows one step after another until the last, or until Pause, or a question.
function setPlaying(playing, label = true) {
  clearInterval(replay.timer);
  replay.timer = null;
  if (playing) {
    if (isLast()) {
      goTo(0);
    }
    replay.timer = setInterval(
      () => {
        goTo(replay.index + 1);
        if (isLast()) {
          setPlaying(false);
        }
      },
      Number(byId('speed').value),
    );
  }
  if (label) {
    byId('play').textContent = playLabel();
  }
}

// A step button's action, which does nothing while the button is marked unavailable.
function onStepButton(id, delta) {
  byId(id).addEventListener('click', (event) => {
    if (event.currentTarget.getAttribute('aria-disabled') !== 'true') {
      goTo(replay.index + delta);
    }
  });
}

// The first step of the iteration `delta` iterations from the one shown, within the run.
function iterationStart(delta) {
  const step = View.stepAt(replay.shape, replay.index);
  const iteration = Math.min(replay.shape.iterations, Math.max(1, step.iteration + delta));
  return View.indexOf(replay.shape, iteration, 1);
}

// The keys that step through the replay, each with the index of the step it goes to, or Play's
// action.
const KEYS = {
  ArrowLeft: () => replay.index - 1,
  ArrowRight: () => replay.index + 1,
  Home: () => 0,
  End: () => replay.shape.steps - 1,
  PageUp: () => iterationStart(-1),
  PageDown: () => iterationStart(1),
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
  const index = action();
  if (index !== undefined) {
    goTo(index);
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
    goTo(View.endIndexOf(replay.shape, nearest.iteration));
    byId('watch').scrollIntoView();
  }
}

// Runs the trace, shows the suite and the chart, and opens the replay at the step the address
// names, or at the first.
function startReplay(run) {
  try {
    replay.trace = JSON.parse(programOutput('trace-program'));
  } catch (error) {
    byId('status').textContent = `antorder-trace did not write its trace (${error.message}).`;
    return;
  }
  const { trace } = replay;
  replay.shape = View.shapeOf(trace);
  showFacts(View.facts(trace));
  showSuite(trace.instance);
  if (run) {
    const [low, high] = trace.instance.scoreRange;
    drawAtWidth('chart', (width) => Chart.chartSvg(run, { low, high }, width));
    byId('status').hidden = true;
  }
  const range = byId('step');
  range.max = String(replay.shape.steps);
  byId('step-count').textContent = replay.shape.steps.toLocaleString('en-GB');
  for (const id of ['step', 'previous', 'play', 'next', 'speed', 'answer-mode']) {
    byId(id).disabled = false;
  }
  byId('legend').innerHTML = trace.iterations[0].tours
    .map((_, k) => Graph.legendItem(k + 1))
    .join('');
  byId('procedure').replaceChildren(
    ...View.PROCEDURE.map(([name, text]) => element('li', { 'data-line': name }, text)),
  );
  replay.index = View.indexFromAddress(replay.shape, location.hash);
  replay.view = View.stepView(trace, replay.shape, replay.index);
  replay.redraw = drawAtWidth('graph', graphSvg);
  range.addEventListener('input', (event) => goTo(Number(event.target.value) - 1));
  onStepButton('previous', -1);
  onStepButton('next', 1);
  byId('play').addEventListener('click', () => setPlaying(replay.timer === null));
  byId('speed').addEventListener('change', () => replay.timer !== null && setPlaying(true));
  byId('answer-mode').addEventListener('change', showStep);
  document.addEventListener('keydown', onKey);
  byId('chart').addEventListener('click', onChartClick);
  for (const id of ['numbers', 'pheromone']) {
    for (const type of ['pointerover', 'pointerout', 'focusin', 'focusout']) {
      byId(id).addEventListener(type, onLinkEvent);
    }
  }
  window.addEventListener('hashchange', () =>
    goTo(View.indexFromAddress(replay.shape, location.hash)),
  );
  showStep();
}

// The report first; the rest once the frame that shows the report has been painted, which the
// second frame's callback follows.
const run = showReport(programOutput('antorder-program'));
requestAnimationFrame(() => requestAnimationFrame(() => setTimeout(() => startReplay(run), 0)));
