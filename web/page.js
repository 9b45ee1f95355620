// Runs antorder and antorder-trace in the page, both built to WebAssembly. The report shows at
// once; then the trace gives the suite, the chart's axis, and every step of the search with the
// numbers it was made from, which the reader steps through as the program made them. Nothing here
// computes the search or words it: the numbers are the programs', view.js words them and decides
// where each key goes, and this script renders what it returns and listens to the reader.
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

// Runs the program in the element `id` to its end, with the arguments `args` and no input:
// its exit status and what it wrote to its standard output and error, as text. Throws where it
// traps.
function runProgram(id, args = []) {
  const written = { 1: [], 2: [] };
  const status = Wasi.runWasiProgram(
    programModule(id),
    (fd, bytes) => written[fd]?.push(bytes),
    args,
  );
  const text = (fd) => {
    const decoder = new TextDecoder();
    return written[fd].map((bytes) => decoder.decode(bytes, { stream: true })).join('');
  };
  return { status, out: text(1), err: text(2).trim() };
}

// What the program in the element `id` writes to its standard output; throws, saying why, where
// it traps or ends with a status other than 0.
function programOutput(id, args = []) {
  const { status, out, err } = runProgram(id, args);
  if (status !== 0) {
    throw new Error(`it ended with status ${status}: ${err}`);
  }
  return out;
}

// Draws `draw(width)`, an SVG drawing, into the element `id` at the width that element has, and
// again whenever that width changes, so that 1 unit of the drawing is 1 CSS pixel. Returns a
// function that draws it again, where the drawing has changed.
function drawAtWidth(id, draw) {
  const target = byId(id);
  let [width, drawn] = [0, ''];
  const redraw = (force) => {
    if (force === true || target.clientWidth !== width) {
      width = target.clientWidth;
      const drawing = draw(width);
      if (drawing !== drawn) {
        target.innerHTML = drawing;
        drawn = drawing;
      }
    }
  };
  redraw();
  if (typeof ResizeObserver === 'function') {
    new ResizeObserver(redraw).observe(target);
  }
  return () => redraw(true);
}

// Shows the report as the program printed it and, when it is whole, the ordering the last
// iteration kept. Returns the parsed report, or null.
function showReport() {
  const status = byId('status');
  try {
    const report = programOutput('antorder-program');
    byId('report').textContent = report;
    const run = Chart.parseReport(report);
    byId('final').textContent = Chart.orderingText(run.finalTour);
    status.textContent = View.RUNNING_TRACE;
    return run;
  } catch (error) {
    status.textContent = View.reportFailure(error.message);
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
}

// The heat map's cells, made once: a row a test, a cell each with its value and its change.
function makeHeatMap(tests) {
  const names = Array.from({ length: tests }, (_, t) => `${t + 1}`);
  byId('pheromone').tHead.replaceChildren(headings(['from \\ to', ...names]));
  byId('pheromone').tBodies[0].replaceChildren(
    ...names.map((from) => {
      const line = row([from]);
      for (const to of names) {
        const cell = line.insertCell();
        cell.dataset.edge = `${from}-${to}`;
        cell.append(element('span'), element('span', { class: 'change' }));
      }
      return line;
    }),
  );
  return [...byId('pheromone').tBodies[0].rows].map((line) => [...line.cells].slice(1));
}

// The replay: the program's run, its trace with its shape; the trace shown, with the options of
// its run, or null for the program's own; its shape, the index of the step shown from 0, its view,
// Play's timer, the heat map's cells, how to redraw the graph and the chart, and the reader's
// answers.
const replay = {
  linked: null,
  program: null,
  trace: null,
  options: null,
  redrawChart: () => {},
  shape: null,
  index: 0,
  view: null,
  timer: null,
  cells: null,
  redraw: () => {},
  answers: new Map(),
  addressTimer: null,
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

// Writes the table `table` of the view into the table element `element`.
function showTable(target, table) {
  target.caption.textContent = table.caption;
  target.tHead.replaceChildren(headings(table.headings));
  target.tBodies[0].replaceChildren(
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

// The numbers the step was made from, or a question needs, as a table, or none.
function showNumbers(table) {
  const numbers = byId('numbers');
  numbers.hidden = table === null;
  if (table !== null) {
    showTable(numbers, table);
  }
}

// The heat map of the step shown: each cell's value, shade, outline and change, its caption and
// its scale.
function showPheromone(heat) {
  byId('pheromone-caption').textContent = heat.caption;
  heat.cells.forEach((cellsFrom, a) =>
    cellsFrom.forEach((shown, b) => {
      const cell = replay.cells[a][b];
      const [value, change] = cell.children;
      value.textContent = shown.text;
      change.textContent = shown.change ? shown.change.arrow : '';
      change.title = shown.change ? shown.change.words : '';
      cell.style.background = shown.colour;
      cell.classList.toggle('marked', shown.marked);
    }),
  );
}

// The heat map's scale, the same on every step.
function showScale(heat) {
  const swatch = element('span', { class: 'scale', 'aria-hidden': 'true' });
  swatch.style.background = `linear-gradient(to right, ${heat.low}, ${heat.high})`;
  const [before, after] = heat.scale;
  byId('pheromone-scale').replaceChildren(before, swatch, after);
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
  const target = event.target instanceof Element ? event.target.closest('[data-edge]') : null;
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

// The reader's answer to the step's question: kept, with its verdict, and then the step shown.
function answer(question, choice) {
  replay.answers.set(replay.index, question.verdict(choice));
  showStep();
  byId('next').focus();
}

// The choices of a question, as buttons, or none.
function showQuestion(question) {
  const box = byId('question');
  box.hidden = question === null;
  byId('replay').classList.toggle('asking', question !== null);
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
  const counter = byId('answer-count');
  counter.hidden = replay.answers.size === 0;
  counter.textContent = View.answerCountWords([...replay.answers.values()]);
}

// Shows the step `replay.index` in every part of the replay, and puts it in the address; in the
// answering mode, a question first, which stops Play.
function showStep() {
  replay.linked = null;
  const full = View.stepView(replay.trace, replay.shape, replay.index, replay.options);
  const question = openQuestion(full);
  const view = question === null ? full : question.shown;
  replay.view = view;
  showQuestion(question);
  if (question !== null) {
    setPlaying(false);
  }
  byId('step').value = String(replay.index + 1);
  byId('step-value').textContent = (replay.index + 1).toLocaleString('en-GB');
  byId('position').textContent = view.position;
  const answered = replay.answers.get(replay.index);
  byId('step-status').textContent =
    question === null && answered !== undefined ? `${answered.words} ${view.words}` : view.words;
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
  showPheromone(view.heat);
  replay.redraw();
  setStepButtons();
  byId('play').textContent = View.playLabel(replay.shape, replay.index, replay.timer !== null);
  // The address once the step's frame is drawn: a reader who holds a key goes on at once.
  clearTimeout(replay.addressTimer);
  replay.addressTimer = setTimeout(() => history.replaceState(null, '', view.address), 0);
}

// Goes to the step numbered `index` from 0, within the run.
function goTo(index) {
  replay.index = Math.min(replay.shape.steps - 1, Math.max(0, index));
  showStep();
}

// Whether the step shown asks a question the reader has not answered.
const asking = () => !byId('question').hidden;

// Play shows one step after another until the last, or until Pause, or a question, which it
// neither skips nor passes while it is open.
function setPlaying(playing) {
  clearInterval(replay.timer);
  replay.timer = null;
  if (playing && !asking()) {
    if (replay.index === replay.shape.steps - 1) {
      goTo(0);
    }
    replay.timer = setInterval(
      () => {
        goTo(replay.index + 1);
        if (replay.index === replay.shape.steps - 1) {
          setPlaying(false);
        }
      },
      Number(byId('speed').value),
    );
  }
  byId('play').textContent = View.playLabel(replay.shape, replay.index, replay.timer !== null);
}

// A step button's action, which does nothing while the button is marked unavailable.
function onStepButton(id, delta) {
  byId(id).addEventListener('click', (event) => {
    if (event.currentTarget.getAttribute('aria-disabled') !== 'true') {
      goTo(replay.index + delta);
    }
  });
}

// A navigation key, or Space for Play, pressed anywhere but in a control that takes it itself: a
// field, a list or the range, or Space on a button, a link, a summary or a checkbox, which it
// presses. The arrows on a checkbox, which takes none of them, step.
function onKey(event) {
  const target = event.target instanceof Element ? event.target : document.body;
  const space = event.key === ' ';
  const control = target.closest(
    'input:not([type="checkbox"]), select, textarea, [contenteditable="true"]',
  );
  const pressed = space && target.closest('button, summary, a, input');
  const index = View.keyTarget(replay.shape, replay.index, event.key);
  if ((index === undefined && !space) || control || pressed) {
    return;
  }
  if (event.altKey || event.ctrlKey || event.metaKey) {
    return;
  }
  event.preventDefault();
  if (space) {
    setPlaying(replay.timer === null);
  } else {
    goTo(index);
  }
}

// Brings the step's sentence, graph and numbers into view: below the controls on a narrow
// screen, and the replay's top on a wide one.
function showReplay() {
  byId(matchMedia('(min-width: 1000px)').matches ? 'replay' : 'words').scrollIntoView();
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
    showReplay();
  }
}

// Runs the trace with the options `options`, or the program's own, and reads it and its shape;
// or says why it cannot, in the element `status`: the program's own line where it refused an
// option.
function readTrace(options, status) {
  try {
    const { status: exit, out, err } = runProgram('trace-program', View.traceArguments(options));
    if (exit === 2) {
      byId(status).textContent = err;
      return null;
    }
    if (exit !== 0) {
      throw new Error(`it ended with status ${exit}: ${err}`);
    }
    const trace = JSON.parse(out);
    return { trace, shape: View.shapeOf(trace) };
  } catch (error) {
    byId(status).textContent = View.traceFailure(error.message);
    return null;
  }
}

// The panel's fields, which say the options of the run shown.
const FIELDS = Object.fromEntries(View.RUN_OPTIONS.map((name) => [name, `run-${name}`]));

// Shows the run of `trace`, read with the options `options`, or the program's own run where they
// are null, at the step numbered `index` from 0: its replay, the line that says which run it is,
// the chart with its scores beside the program's, and what each run came to.
function showRun({ trace, shape }, options, index) {
  Object.assign(replay, { trace, shape, options, answers: new Map() });
  const changed = options !== null;
  showFacts(View.facts(trace));
  byId('run-shown').textContent = View.runTitle(trace, changed);
  const values = View.optionsOf(trace);
  for (const [name, id] of Object.entries(FIELDS)) {
    byId(id).value = values[name];
  }
  byId('program-run').disabled = !changed;
  byId('comparison').hidden = !changed;
  if (changed) {
    showTable(byId('comparison'), View.comparison(replay.program.trace, trace));
  }
  byId('step').max = String(shape.steps);
  byId('step-count').textContent = shape.steps.toLocaleString('en-GB');
  byId('procedure').replaceChildren(
    ...View.procedure(trace.parameters).map(({ name, depth, text }) =>
      element('li', { 'data-line': name, style: `padding-left: ${0.4 + 2 * depth}ch` }, text),
    ),
  );
  replay.index = Math.min(shape.steps - 1, index);
  showScale(View.stepView(trace, shape, replay.index).heat);
  replay.redrawChart();
  setPlaying(false);
  showStep();
}

// Runs the run with the options `options`, or where they are null or the program's own shows
// the program's run, at the step `at(shape)` gives of its shape; a run the trace program refuses
// leaves the run shown, and the panel, open, says why.
function changeRun(options, at) {
  byId('change-status').textContent = '';
  const read = options === null ? null : readTrace(options, 'change-status');
  if (options !== null && read === null) {
    byId('change-run').open = true;
    return;
  }
  const changed = read === null ? null : View.changedOptions(read.trace, replay.program.trace);
  const shown = changed === null ? replay.program : read;
  showRun(shown, changed, at(shown.shape));
}

// The step an address names, of a run of the shape `shape`.
const addressed = (shape) => View.indexFromAddress(shape, location.hash);

// The options the panel's fields give, as typed.
const typedOptions = () =>
  Object.fromEntries(Object.entries(FIELDS).map(([name, id]) => [name, byId(id).value]));

// Runs the trace, shows the suite and the chart, and opens the replay at the run and the step the
// address names, or at the program's run's first step.
function startReplay(run) {
  const read = readTrace(null, 'status');
  if (read === null) {
    return;
  }
  replay.program = read;
  showSuite(read.trace.instance);
  if (run) {
    const [low, high] = read.trace.instance.scoreRange;
    replay.redrawChart = drawAtWidth('chart', (width) =>
      Chart.chartSvg(
        run,
        { low, high },
        width,
        replay.options === null ? null : View.keptScores(replay.trace),
      ),
    );
    byId('status').hidden = true;
  }
  const controls = ['step', 'previous', 'play', 'next', 'speed', 'answer-mode', 'run'];
  for (const id of [...controls, ...Object.values(FIELDS)]) {
    byId(id).disabled = false;
  }
  byId('legend').innerHTML = read.trace.iterations[0].tours
    .map((_, k) => Graph.legendItem(k + 1))
    .join('');
  replay.cells = makeHeatMap(read.trace.instance.faultMatrix.length);
  showRun(read, null, addressed(read.shape));
  replay.redraw = drawAtWidth('graph', graphSvg);
  const asked = View.runFromAddress(location.hash);
  if (asked !== null) {
    changeRun(asked, addressed);
  }
  const range = byId('step');
  range.addEventListener('input', (event) => goTo(Number(event.target.value) - 1));
  onStepButton('previous', -1);
  onStepButton('next', 1);
  byId('play').addEventListener('click', () => setPlaying(replay.timer === null));
  byId('speed').addEventListener('change', () => replay.timer !== null && setPlaying(true));
  byId('answer-mode').addEventListener('change', showStep);
  byId('change-form').addEventListener('submit', (event) => {
    event.preventDefault();
    changeRun(typedOptions(), () => 0);
  });
  byId('program-run').addEventListener('click', () => changeRun(null, () => 0));
  document.addEventListener('keydown', onKey);
  byId('chart').addEventListener('click', onChartClick);
  for (const id of ['numbers', 'pheromone']) {
    for (const type of ['pointerover', 'pointerout', 'focusin', 'focusout']) {
      byId(id).addEventListener(type, onLinkEvent);
    }
  }
  window.addEventListener('hashchange', onAddress);
  if (location.hash) {
    showReplay();
  }
}

// An address the reader typed or followed: its run, where it names another, and its step.
function onAddress() {
  const asked = View.runFromAddress(location.hash);
  if (View.traceArguments(asked).join(' ') === View.traceArguments(replay.options).join(' ')) {
    goTo(addressed(replay.shape));
  } else {
    changeRun(asked, addressed);
  }
  showReplay();
}

// The report first; the rest once the frame that shows the report has been painted, which the
// second frame's callback follows.
const run = showReport();
requestAnimationFrame(() => requestAnimationFrame(() => setTimeout(() => startReplay(run), 0)));
