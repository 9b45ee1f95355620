// The replay read as a reader reads it, for its meaning: every sentence, caption, table and
// procedure line that the view writes of every step of a run is parsed by a grammar, and every
// relation it states (below or not below q0, the largest or the smallest, the lower or the higher
// on a tie, before or after, taken or not, reinforced, outlined, row and column, the darker the
// higher) is recomputed from the numbers the page shows and must hold. A text the grammar cannot
// parse fails, so that no sentence slips in unread. The procedure's lines are read as rules, and
// each step's decision must be the one its lit rule makes.
import assert from 'node:assert/strict';
import { valueText } from '../web/format.js';
import * as View from '../web/view.js';

// The numbers of a text, in order, but for the digits of a name such as q0 or tau0.
export const numbers = (text) =>
  [...text.matchAll(/(?<![\w.])-?\d+(?:\.\d+)?/g)].map((match) => Number(match[0]));
// A list of numbers in words, "1, 2 and 3" or "none", as numbers.
export const listed = (text) => (text === 'none' ? [] : numbers(text));
// Whether a value worked out from printed values is, within their rounding, `exact`.
export const close = (shown, exact) => Math.abs(shown - exact) <= Math.abs(exact) * 1.5e-3;

// What the words of a relation, of a best value and of a tie's winner mean.
const RELATIONS = {
  below: (a, b) => a < b,
  'not below': (a, b) => a >= b,
  above: (a, b) => a > b,
  'not above': (a, b) => a <= b,
};
const SIDES = 'below|not below|above|not above';
const BEST = { largest: 1, most: 1, highest: 1, smallest: -1, fewest: -1, lowest: -1 };
const TIE = { lower: -1, lowest: -1, higher: 1, highest: 1 };
const holds = (side, a, b) => RELATIONS[side](a, b);

// The id of the candidate, each { id, value }, that the words `best` and `tie` pick.
function pick(candidates, best, tie) {
  const top = Math.max(...candidates.map(({ value }) => BEST[best] * value));
  const tied = candidates.filter(({ value }) => BEST[best] * value === top).map(({ id }) => id);
  return TIE[tie] < 0 ? Math.min(...tied) : Math.max(...tied);
}

// The groups of `pattern` in `text`, which must match it whole.
function read(pattern, text) {
  const match = pattern.exec(text);
  assert.ok(match, `the reader parses "${text}"`);
  return match.groups ?? {};
}

// A text's sentences: each ends with a full stop or a question mark.
const sentences = (text) => text.split(/(?<=[.?])\s+(?=[A-Z0-9])/);

// The procedure's lines, each with its depth and its grammar: what it says is a rule.
const PROCEDURE = {
  iteration: [0, /^For each iteration:$/],
  starts: [1, /^each ant draws a start test; a test another ant starts on is drawn again$/],
  pass: [1, /^in each pass, each ant in turn draws d and takes q = d \/ the random limit:$/],
  trail: [
    2,
    new RegExp(
      `^q (?<side>${SIDES}) q0: the test (?<candidates>not taken|taken) with the (?<best>largest|smallest) pheromone / run time²$`,
    ),
  ],
  faults: [
    2,
    /^otherwise: the test (?<candidates>not taken|taken) that adds the (?<best>most|fewest) faults not yet detected$/,
  ],
  home: [2, /^no test left: back to its start$/],
  local: [1, /^(?<when>after|before) the pass, every level: old × \(1 − rho\) \+ tau0 × rho$/],
  score: [1, /^each tour scores 1 − S \/ \(n · m\) − 1 \/ \(2n\)$/],
  select: [
    1,
    /^the tour with the (?<best>smallest|largest) score is kept \(on a tie, the (?<tie>lowest|highest) ant\)$/,
  ],
  global: [
    1,
    /^the (?<which>kept tour's|other tours'|every tour's) edges: old × \(1 − rho\) \+ \(1 \/ its score\) × rho$/,
  ],
};

// The procedure read as rules; every line read, each at its depth.
export function readProcedure(lines) {
  assert.deepEqual(
    lines.map(({ name }) => name),
    Object.keys(PROCEDURE),
    'the lines of the procedure',
  );
  return Object.fromEntries(
    lines.map(({ name, depth, text }) => {
      const [expected, pattern] = PROCEDURE[name];
      assert.equal(depth, expected, `the procedure's line "${text}" at its depth`);
      return [name, read(pattern, text)];
    }),
  );
}

// The tests a rule weighs, by its words: those the ant has not taken, or those it has.
const weighed = (words, path, tests) =>
  words === 'not taken'
    ? Array.from({ length: tests }, (_, t) => t + 1).filter((test) => !path.includes(test))
    : path;

// Relative luminance of an "rgb(r, g, b)" colour, as WCAG defines it.
export const luminance = (colour) =>
  colour
    .match(/-?\d+/g)
    .map((c) => Number(c) / 255)
    .map((c) => (c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4))
    .reduce((sum, c, k) => sum + [0.2126, 0.7152, 0.0722][k] * c, 0);

// The rows of a table, each a cell under each heading.
const rowsOf = (table) => {
  for (const { cells } of table.rows) {
    assert.equal(cells.length, table.headings.length, `a cell under each heading: ${cells}`);
  }
  return table.rows;
};

// The cell of a table's row under the heading `name`.
const cell = (table, cells, name) => {
  const column = table.headings.indexOf(name);
  assert.ok(column >= 0, `a column headed ${name}`);
  return cells[column];
};

// Reads every step of a run's replay in order, as a reader does, keeping in mind what the steps
// before showed; returns what it read of the run as a whole.
export function readRun(trace) {
  const facts = View.facts(trace);
  const shape = View.shapeOf(trace);
  const rules = readProcedure(View.procedure(trace.parameters));
  const { tests, faults } = facts;
  const [rho, q0, limit, tau0] = [facts.rho, facts.q0, facts.randLimit, facts.tau0].map(Number);
  const suite = trace.instance.faultMatrix;
  const detectsOf = (test) => suite[test - 1].flatMap((on, f) => (on ? [f + 1] : []));
  // What a reader keeps in mind: the step before, the levels the ants read in the pass, the
  // end's kept ant, the colour of each level and every level seen, and the run's counts.
  const memory = { previous: null, read: null, after: [], end: null, colours: new Map() };
  const run = { questions: 0, kinds: new Set(), scale: null, low: Infinity, high: -Infinity };

  // A draw as a sentence gives it: "13551 / 32767 = 0.41", and where the sentence says so, its
  // side of q0. Returns its fraction.
  const DRAW = String.raw`(?<draw>\d+): (?<again>\d+) \/ (?<limit>\d+) = (?<q>\d+\.\d+)`;
  function readDraw(groups) {
    assert.equal(groups.again, groups.draw);
    assert.equal(Number(groups.limit), limit, 'the random limit');
    const q = Number(groups.q);
    const decimals = groups.q.split('.')[1].length;
    assert.ok(Math.abs(q - groups.draw / limit) <= 0.5 * 10 ** -decimals + 1e-12, groups.q);
    if (groups.side !== undefined) {
      assert.equal(Number(groups.q0), q0, 'q0');
      assert.ok(holds(groups.side, q, q0), `${q} is ${groups.side} q0 = ${q0}`);
    }
    return q;
  }

  // The rule the procedure's lines give a draw of fraction q, and each rule's phrase.
  const ruleOf = (q) => (holds(rules.trail.side, q, q0) ? 'trail' : 'faults');
  const PHRASE =
    '(?<phrase>it follows the heaviest trail|it takes the test that adds the most faults it has not detected)';
  const RULE_LABELS = { 'The heaviest trail': 'trail', 'The most new faults': 'faults' };
  const PHRASES = {
    'it follows the heaviest trail': 'trail',
    'it takes the test that adds the most faults it has not detected': 'faults',
  };

  // A trail table's numbers for each test not taken: its level, run time² and, where shown, its
  // weight, checked as the level over the run time², "≈" where the printed operands show.
  function readWeights(table, from) {
    const rows = table.rows.filter(({ cells }) => cell(table, cells, 'Pheromone') !== '');
    // The significant digits the table writes with: four, or more where it takes them.
    const significant = (text) => text.replace(/[^\d]/g, '').replace(/^0+/, '').length;
    const digits = Math.max(4, ...rows.flatMap(({ cells }) => cells.slice(1).map(significant)));
    return rows.map(({ cells, edge }) => {
      const test = Number(cell(table, cells, 'Test'));
      const levelText = cell(table, cells, 'Pheromone');
      const level = Number(levelText);
      const time = Number(read(/^(?<time>[\d.]+)²$/, cell(table, cells, 'Run time²')).time);
      assert.deepEqual(edge, { from, to: test }, 'the edge a row points at');
      if (!table.headings.includes('Weight')) {
        return { test, level, levelText, digits, time, value: level / time ** 2 };
      }
      const { about, weight, arrow } = read(
        /^(?<about>≈ )?(?<weight>[\d.]+)(?<arrow> ← largest)?$/,
        cell(table, cells, 'Weight'),
      );
      const fromPrinted = level / time ** 2;
      assert.ok(close(fromPrinted, Number(weight)), `weight ${weight} of test ${test}`);
      assert.equal(
        about !== undefined,
        valueText(fromPrinted, digits) !== weight,
        `"≈" on ${weight}`,
      );
      const value = Number(weight);
      return { test, level, levelText, digits, time, value, arrow: arrow !== undefined };
    });
  }

  // A faults table's numbers for each test not taken: what it detects and, where shown, how many
  // faults not detected it adds. The caption names the faults detected.
  function readCounts(table, path) {
    const [first, second] = sentences(table.caption);
    const detected = listed(read(/^Detected so far: faults (?<list>.+)\.$/, first).list);
    assert.deepEqual(
      detected,
      suite[0].flatMap((_, f) => (path.some((t) => suite[t - 1][f]) ? [f + 1] : [])),
      'the faults its path detects',
    );
    const tie = read(
      /^The (?<best>most|fewest) new faults win; on a tie, the (?<tie>lower|higher) test\.$/,
      second,
    );
    const counts = table.rows
      .filter(({ cells }) => cells.at(-1) !== 'taken')
      .map(({ cells }) => {
        const test = Number(cell(table, cells, 'Test'));
        const detects = listed(cell(table, cells, 'Detects faults'));
        assert.deepEqual(detects, detectsOf(test), `what test ${test} detects`);
        const gain = detects.filter((f) => !detected.includes(f)).length;
        if (!table.headings.includes('New')) {
          return { test, value: gain };
        }
        const { count, arrow } = read(
          /^(?<count>\d+)(?<arrow> ← most)?$/,
          cell(table, cells, 'New'),
        );
        assert.equal(Number(count), gain, `the new faults test ${test} adds`);
        return { test, value: gain, arrow: arrow !== undefined };
      });
    return { counts, tie, detected };
  }

  // The table of a move, or of the question before it: the tests taken, and the weights or counts
  // of the others, as its caption says to read them.
  function readMoveTable(table, path, from) {
    const testOf = ({ cells }) => Number(cell(table, cells, 'Test'));
    const taken = rowsOf(table).filter(({ cells }) => cells.at(-1) === 'taken');
    assert.deepEqual(
      taken.map(testOf),
      table.rows.map(testOf).filter((test) => path.includes(test)),
      'the rows of the tests taken say so, and no other',
    );
    for (const { cells } of taken) {
      const weighing = table.headings.includes('Pheromone');
      assert.ok(!weighing || cells.slice(1, -1).every((text) => text === ''), 'nothing to weigh');
    }
    if (!table.headings.includes('Pheromone')) {
      return readCounts(table, path);
    }
    const [first, second, third] = sentences(table.caption);
    assert.equal(
      Number(read(/^From test (?<from>\d+): weight = pheromone ÷ run time²\.$/, first).from),
      from,
    );
    const tie = read(
      /^The (?<best>largest|smallest) weight wins; on a tie, the (?<tie>lower|higher) test\.$/,
      second,
    );
    const { when } = read(
      /^The pheromone is the level the ant read, (?<when>before|after) the local update; point at a row, or focus it, to find its edge in the graph and the heat map\.$/,
      third,
    );
    const weights = readWeights(table, from);
    // The level the ant read: the heat map's before the pass's local update, as the steps before
    // showed it, or after it, as the local update's step will.
    for (const { test, levelText, digits } of weights) {
      const read = { from, test, levelText, digits };
      if (when === 'before') {
        assert.equal(
          levelText,
          valueText(memory.read[from - 1][test - 1], digits),
          `the level read to ${test}`,
        );
      } else {
        memory.after.push(read);
      }
    }
    return { counts: weights, tie };
  }

  // A move's sentence, table and marks, and the question before it.
  function readMove(view) {
    const { ant, pass } = view.step;
    const tour = view.tours[ant - 1];
    const [from, to, path] = [tour.at(-2), tour.at(-1), tour.slice(0, -1)];
    const open = weighed('not taken', path, tests);
    if (view.line === 'home') {
      const said = read(
        /^Ant (?<ant>\d+), on test (?<from>\d+), has taken every test: it returns to test (?<to>\d+), where it started\.$/,
        view.words,
      );
      assert.deepEqual([said.ant, said.from, said.to].map(Number), [ant, from, to]);
      assert.deepEqual(open, [], 'no test left');
      assert.equal(view.table, null, 'a move home is made from no numbers');
      assert.equal(to, tour[0], 'back to its start');
      assert.equal(view.question, null, 'a move home asks nothing');
      return;
    }
    const said = read(
      new RegExp(
        `^Ant (?<ant>\\d+), on test (?<from>\\d+), drew ${DRAW}, (?<side>${SIDES}) q0 = (?<q0>[\\d.]+), so ${PHRASE}, to test (?<to>\\d+)\\.$`,
      ),
      view.words,
    );
    assert.deepEqual([said.ant, said.from, said.to].map(Number), [ant, from, to]);
    const rule = ruleOf(readDraw(said));
    assert.equal(PHRASES[said.phrase], rule, 'the rule the procedure gives q');
    assert.equal(view.line, rule, 'the lit line is the rule that made the move');
    const table = readMoveTable(view.table, path, from);
    const candidates = weighed(rules[rule].candidates, path, tests);
    const byRule = table.counts.filter(({ test }) => candidates.includes(test));
    assert.equal(
      pick(
        byRule.map(({ test, value }) => ({ id: test, value })),
        rules[rule].best,
        'lower',
      ),
      to,
      `the ${rule} line's choice`,
    );
    assert.equal(
      pick(
        table.counts.map(({ test, value }) => ({ id: test, value })),
        table.tie.best,
        table.tie.tie,
      ),
      to,
      "the caption's choice",
    );
    assert.deepEqual(
      table.counts.filter(({ arrow }) => arrow).map(({ test }) => test),
      [to],
      'the arrow beside the winner alone',
    );
    assert.deepEqual(
      view.table.rows
        .filter((line) => line.pick)
        .map(({ cells }) => Number(cell(view.table, cells, 'Test'))),
      [to],
    );
    assert.equal(pass, path.length, 'each pass a test more');
    readAsked(view, (outlined) => {
      assert.deepEqual(outlined, [], 'nothing outlined before the move');
      readMoveQuestion(view, { from, to, path, rule, table });
    });
    return { from, to, rule };
  }

  // The question before a move: which test the ant takes, or, with one test left, which rule.
  function readMoveQuestion(view, move) {
    const { question } = view;
    const { shown } = question;
    const { ant } = view.step;
    const open = weighed('not taken', move.path, tests);
    const [prompt, ask] = sentences(shown.words);
    if (open.length === 1) {
      const said = read(
        new RegExp(
          `^Ant (?<ant>\\d+), on test (?<from>\\d+), has one test left, test (?<left>\\d+), and drew ${DRAW}\\.$`,
        ),
        prompt,
      );
      assert.deepEqual([said.ant, said.from, said.left].map(Number), [ant, move.from, open[0]]);
      const rule = ruleOf(readDraw(said));
      assert.equal(ask, 'Which rule does the draw choose?');
      assert.deepEqual(
        question.choices.map(({ value, label }) => [value, RULE_LABELS[label]]),
        [
          ['trail', 'trail'],
          ['faults', 'faults'],
        ],
        'each rule offered by its name',
      );
      assert.equal(question.answer, rule);
      assert.equal(shown.table, null);
      for (const { value, label } of question.choices) {
        const verdict = question.verdict(value);
        const reply = read(
          new RegExp(
            `^(?:Right: |Not this time: you chose (?<chose>[a-z ]+), and )(?<q>[\\d.]+) is (?<side>${SIDES}) q0 = (?<q0>[\\d.]+), so ${PHRASE}; either way it takes test (?<to>\\d+), its last\\.$`,
          ),
          verdict.words,
        );
        assert.equal(verdict.right, value === rule);
        assert.equal(verdict.words.startsWith('Right: '), verdict.right, 'right, as it says');
        assert.ok(verdict.right || reply.chose === label.toLowerCase(), 'the choice named');
        assert.ok(holds(reply.side, Number(reply.q), Number(reply.q0)), verdict.words);
        assert.equal(PHRASES[reply.phrase], rule, verdict.words);
        assert.equal(Number(reply.to), move.to);
      }
      return;
    }
    const said = read(
      new RegExp(
        `^Ant (?<ant>\\d+), on test (?<from>\\d+), has taken (?<tests>tests?) (?<taken>.+) and drew ${DRAW}, (?<side>${SIDES}) q0 = (?<q0>[\\d.]+), so ${PHRASE}: (?<how>.+)\\.$`,
      ),
      prompt,
    );
    assert.equal(ask, 'Which test does it take?');
    assert.deepEqual([said.ant, said.from].map(Number), [ant, move.from]);
    assert.deepEqual(listed(said.taken), move.path, 'the tests it has taken, in its order');
    assert.equal(said.tests, move.path.length > 1 ? 'tests' : 'test');
    assert.equal(PHRASES[said.phrase], ruleOf(readDraw(said)));
    const table = readMoveTable(shown.table, move.path, move.from);
    let best = rules[move.rule].best;
    if (move.rule === 'trail') {
      const how = read(
        /^of the tests it has (?<candidates>not taken|taken), the (?<best>largest|smallest) pheromone level \(the heat map, (?<axis>row|column) (?<at>\d+)\) over run time²$/,
        said.how,
      );
      assert.deepEqual(
        weighed(how.candidates, move.path, tests),
        question.choices.map(({ value }) => value),
      );
      best = how.best;
      // The levels the rule reads, in the heat map's row or column it names.
      for (const { test, level } of table.counts) {
        const [a, b] = how.axis === 'row' ? [Number(how.at), test] : [test, Number(how.at)];
        assert.equal(
          valueText(level),
          shown.heat.cells[a - 1][b - 1].text,
          `the heat map's level ${a} → ${b}`,
        );
      }
    } else {
      assert.deepEqual(
        listed(read(/^it has detected faults (?<list>.+)$/, said.how).list),
        table.detected,
      );
    }
    assert.deepEqual(
      table.counts.map(({ test }) => test),
      open,
      'the numbers of the tests it may take',
    );
    assert.equal(
      pick(
        table.counts.map(({ test, value }) => ({ id: test, value })),
        best,
        'lower',
      ),
      move.to,
      'the question answers as the move goes',
    );
    assert.deepEqual(
      question.choices.map(({ value, label }) => [value, label]),
      open.map((test) => [test, `Test ${test}`]),
    );
    for (const { value } of question.choices) {
      const verdict = question.verdict(value);
      assert.equal(verdict.right, value === move.to);
      if (verdict.right) {
        const right = read(/^Right: ant (?<ant>\d+) takes test (?<to>\d+)\.$/, verdict.words);
        assert.deepEqual([right.ant, right.to].map(Number), [ant, move.to]);
        continue;
      }
      const wrong = read(
        /^Not this time: you chose test (?<chosen>\d+), and ant (?<ant>\d+) takes test (?<to>\d+): (?<why>.+)\.$/,
        verdict.words,
      );
      assert.deepEqual([wrong.chosen, wrong.ant, wrong.to].map(Number), [value, ant, move.to]);
      const shownValues = Object.fromEntries(
        move.table.counts.map(({ test, value: v }) => [test, v]),
      );
      readLoss(
        wrong.why,
        'test',
        value,
        move.to,
        shownValues,
        move.rule === 'trail' ? 'weight' : 'count of new faults',
      );
    }
  }

  // Why a choice lost to the winner: "test 4's weight is 0.1; test 3's, 0.4, is the largest", or
  // the tie rule; each value as the step's own table shows it.
  function readLoss(why, noun, chosen, winner, values, what) {
    const beaten = new RegExp(
      `^${noun} (?<chosen>\\d+)'s ${what} is (?<value>[≈\\d. ]+); ${noun} (?<winner>\\d+)'s, (?<best>[≈\\d. ]+), is the (?<word>largest|smallest|most|fewest)$`,
    ).exec(why);
    const tied = new RegExp(
      `^${noun} (?<chosen>\\d+) has the ${what} ${noun} (?<winner>\\d+) has, (?<value>[≈\\d. ]+), and on a tie the (?<tie>lower|higher|lowest|highest) (?:test wins|ant is kept)$`,
    ).exec(why);
    assert.ok(beaten || tied, `the reader parses "${why}"`);
    const { groups } = beaten ?? tied;
    const value = (text) => Number(text.replace('≈ ', ''));
    assert.deepEqual([groups.chosen, groups.winner].map(Number), [chosen, winner]);
    assert.equal(value(groups.value), values[chosen], `the ${what} of ${noun} ${chosen}`);
    if (beaten) {
      assert.equal(value(groups.best), values[winner]);
      assert.ok(BEST[groups.word] * values[winner] > BEST[groups.word] * values[chosen], why);
    } else {
      assert.equal(values[chosen], values[winner], why);
      assert.equal(
        TIE[groups.tie] < 0 ? Math.min(chosen, winner) : Math.max(chosen, winner),
        winner,
        why,
      );
    }
  }

  // The question a step asks first, where it asks one: the step as it stood before, and `questions`
  // read for its kind.
  function readAsked(view, questions) {
    const { question } = view;
    if (question === null) {
      return;
    }
    run.questions += 1;
    run.kinds.add(view.step.kind);
    const { shown } = question;
    assert.equal(shown.line, view.line, 'the line lit while the step asks');
    assert.deepEqual(shown.levels, memory.previous.levels, 'the levels before');
    assert.deepEqual(shown.tours, memory.previous.tours, 'the paths before');
    assert.equal(shown.kept, 0, 'no tour drawn as kept before the answer');
    assert.deepEqual(shown.changes, []);
    assert.ok(question.choices.length >= 2, 'a question offers a choice');
    assert.ok(
      shown.table === null ||
        !['Weight', 'New'].some((name) => shown.table.headings.includes(name)),
      'the numbers the question asks to work out wait for the answer',
    );
    assert.ok(!shown.table?.rows.some((line) => line.pick), 'no row singled out');
    questions(readHeat(shown, memory.previous));
  }

  // The starts: each draw's test, who starts there, the draws made again, and the sentence.
  function readStarts(view) {
    const { n } = read(
      /^Each draw modulo (?<n>\d+), plus 1, names a test; a test another ant already starts on is drawn again\.$/,
      view.table.caption,
    );
    assert.equal(Number(n), tests);
    const holders = new Map();
    let again = 0;
    for (const { cells, pick: marked } of rowsOf(view.table)) {
      assert.ok(!marked, 'no draw singled out');
      const draw = Number(cell(view.table, cells, 'Draw'));
      const named = Number(cell(view.table, cells, 'Test'));
      assert.equal(named, (draw % Number(n)) + 1, 'the test a draw names');
      const outcome = cell(view.table, cells, 'Start');
      const starts = /^ant (?<ant>\d+) starts here$/.exec(outcome);
      if (starts) {
        assert.ok(!holders.has(named), `test ${named} is free`);
        assert.equal(Number(starts.groups.ant), holders.size + 1, 'the next ant starts');
        holders.set(named, Number(starts.groups.ant));
      } else {
        const { holder } = read(/^taken by ant (?<holder>\d+): drawn again$/, outcome);
        assert.equal(holders.get(named), Number(holder), `ant ${holder} holds test ${named}`);
        again += 1;
      }
    }
    assert.equal(holders.size, facts.ants);
    const byAnt = [...holders].sort((a, b) => a[1] - b[1]).map(([test]) => test);
    const said = read(
      /^The ants draw their starts: (?<starts>[\d, ]+) for ants (?<ants>[\d, and]+?)(?:; (?<again>\d+) (?<draws>draws? named) a test already taken)?\.$/,
      view.words,
    );
    assert.deepEqual(numbers(said.starts), byAnt);
    assert.deepEqual(
      listed(said.ants),
      byAnt.map((_, k) => k + 1),
    );
    assert.equal(Number(said.again ?? 0), again, 'the draws drawn again');
    assert.equal(said.draws, again > 1 ? 'draws named' : again === 1 ? 'draw named' : undefined);
    view.tours.forEach((tour, k) => assert.deepEqual(tour, [byAnt[k]], 'each ant on its start'));
    assert.equal(view.line, 'starts');
  }

  // A local update: its sentence, every change, and the question before it.
  function readLocal(view) {
    const [first, second] = sentences(view.words);
    const said = read(
      /^After pass (?<pass>\d+), the local update moved every level rho = (?<rho>[\d.]+) of the way (?<way>back to|away from) tau0: new = old × (?<keep>[\d.]+) \+ (?<tau0>[\d.]+) × (?<share>[\d.]+)\.$/,
      first,
    );
    assert.equal(Number(said.pass), view.step.pass);
    assert.deepEqual([Number(said.rho), Number(said.share), Number(said.tau0)], [rho, rho, tau0]);
    assert.ok(close(Number(said.keep), 1 - rho), `1 − rho = ${said.keep}`);
    for (const { from, test, levelText, digits } of memory.after.splice(0)) {
      assert.equal(
        levelText,
        valueText(view.levels[from - 1][test - 1], digits),
        'the level read after the update',
      );
    }
    const counted = read(
      /^(?:(?<one>One) level changed|(?<many>\d+) levels changed|(?<none>Every level was at tau0 already, and stays there)|(?<lost>No level changed: each is so near tau0 that rho of the way is lost in single precision))\.$/,
      second,
    );
    assert.equal(counted.one ? 1 : Number(counted.many ?? 0), view.changes.length, 'the count');
    assert.notEqual(counted.many, '1', 'one changed, in words');
    assert.notEqual(counted.many, '0', 'none changed, in words');
    for (const change of readChanges(view)) {
      assert.ok(
        close(change.after, change.before * Number(said.keep) + tau0 * rho),
        `${change.text}`,
      );
      const [was, is] = [Math.abs(change.before - tau0), Math.abs(change.after - tau0)];
      assert.ok(said.way === 'back to' ? is <= was : is >= was, `${change.text}: ${said.way} tau0`);
    }
    if (counted.none) {
      assert.ok(
        view.levels.flat().every((level) => level === trace.tau0),
        'every level at tau0',
      );
    }
    if (counted.lost) {
      const levels = memory.previous.levels.flat();
      assert.ok(
        levels.some((level) => level !== trace.tau0),
        'a level away from tau0',
      );
      // Single precision holds 24 significant bits: a change below half the last is lost.
      for (const level of levels) {
        assert.ok(Math.abs(rho * (level - trace.tau0)) < Math.abs(level) * 2 ** -24, `${level}`);
      }
    }
    // The local rule: after the pass, so that the ants read the levels it starts from; before, and
    // they would have read the levels it leaves.
    const updated = rules.local.when === 'after' ? memory.previous.levels : view.levels;
    assert.deepEqual(
      memory.read,
      updated,
      `the levels the ants read, ${rules.local.when} the update`,
    );
    readAsked(view, (outlined) => readLocalQuestion(view, said, outlined));
  }

  // The changes an update lists, each against the heat map before and after it.
  function readChanges(view) {
    return view.changes.map((text) => {
      const { from, to, before, after } = read(
        /^(?<from>\d+) → (?<to>\d+): (?<before>[\d.]+) → (?<after>[\d.]+)$/,
        text,
      );
      const [a, b] = [Number(from), Number(to)];
      assert.equal(before, valueText(memory.previous.levels[a - 1][b - 1]), text);
      assert.equal(after, valueText(view.levels[a - 1][b - 1]), text);
      return { from: a, to: b, before: Number(before), after: Number(after), text };
    });
  }

  // The question before a local update: the new level of one outlined edge.
  function readLocalQuestion(view, update, outlined) {
    const { question } = view;
    const [first, second, third] = sentences(question.shown.words);
    const said = read(
      /^After pass (?<pass>\d+), the local update moves every level rho = (?<rho>[\d.]+) of the way back to tau0 = (?<tau0>[\d.]+): new = old × (?<keep>[\d.]+) \+ (?<tau0again>[\d.]+) × (?<share>[\d.]+)\.$/,
      first,
    );
    assert.deepEqual(
      [said.pass, said.rho, said.tau0, said.keep, said.tau0again, said.share].map(Number),
      [view.step.pass, rho, tau0, Number(update.keep), tau0, rho],
    );
    const edge = read(
      /^The edge (?<from>\d+) → (?<to>\d+), outlined in the heat map, stood at (?<level>[\d.]+)\.$/,
      second,
    );
    assert.equal(third, 'What is its new level?');
    const [a, b] = [Number(edge.from), Number(edge.to)];
    assert.deepEqual(outlined, [`${a} → ${b}`], 'the edge asked about, outlined');
    assert.equal(edge.level, question.shown.heat.cells[a - 1][b - 1].text, 'the level it stood at');
    assert.ok(
      view.changes.some((text) => text.startsWith(`${a} → ${b}:`)),
      'an edge the update changes',
    );
    const values = question.choices.map(({ value }) => Number(value));
    assert.deepEqual(
      values,
      [...new Set(values)].sort((x, y) => x - y),
      'in increasing order',
    );
    const answer = valueText(view.levels[a - 1][b - 1]);
    assert.equal(question.answer, answer);
    for (const { value } of question.choices) {
      const verdict = question.verdict(value);
      assert.equal(verdict.right, value === answer);
      const reply = read(
        /^(?:Right: |Not this time: you chose (?<chose>[\d.]+), and )(?<old>[\d.]+) × (?<keep>[\d.]+) \+ (?<rest>[\d.]+) × (?<share>[\d.]+) (?<sign>=|≈) (?<result>[\d.]+)\.$/,
        verdict.words,
      );
      assert.equal(verdict.words.startsWith('Right: '), verdict.right, 'right, as it says');
      assert.ok(verdict.right || reply.chose === value);
      assert.deepEqual([reply.old, reply.rest].map(Number), [Number(edge.level), tau0]);
      assert.equal(reply.result, answer);
      const fromPrinted = reply.old * reply.keep + reply.rest * reply.share;
      assert.ok(close(fromPrinted, Number(reply.result)), verdict.words);
      assert.equal(
        reply.sign === '=',
        valueText(fromPrinted) === reply.result,
        `"${reply.sign}" in ${verdict.words}`,
      );
    }
  }

  // An iteration's end: each tour scored, the kept ant by the rule, the sentence and the
  // question before it.
  function readEnd(view) {
    const { nm, twoN } = read(
      /^Each tour's score: for each fault, from fault 1, the position in the tour of the first test that detects it; S, the sum of those positions; and the score, 1 − S \/ (?<nm>\d+) − 1 \/ (?<twoN>\d+)\.$/,
      view.table.caption,
    );
    assert.deepEqual(
      [Number(nm), Number(twoN)],
      [tests * faults, 2 * tests],
      'the score by the procedure',
    );
    const scores = rowsOf(view.table).map(({ cells }, k) => {
      const { ant, kept } = read(
        /^(?<ant>\d+)(?<kept> \(kept\))?$/,
        cell(view.table, cells, 'Ant'),
      );
      assert.equal(Number(ant), k + 1, 'a row an ant, in order');
      const tour = numbers(cell(view.table, cells, 'Tour'));
      assert.deepEqual(tour, view.tours[k], "the ant's tour, as the graph draws it");
      const positions = numbers(cell(view.table, cells, 'Positions'));
      suite[0].forEach((_, f) => {
        const first = tour.slice(0, tests).findIndex((t) => suite[t - 1][f]);
        assert.equal(positions[f], first + 1, `fault ${f + 1} in ${cells[1]}`);
      });
      const sum = positions.reduce((a, b) => a + b, 0);
      assert.equal(Number(cell(view.table, cells, 'S')), sum);
      const score = Number(cell(view.table, cells, 'Score'));
      assert.ok(Math.abs(score - (1 - sum / nm - 1 / twoN)) < 1e-6, cells.join(' | '));
      return { id: k + 1, value: score, kept: kept !== undefined };
    });
    const kept = pick(scores, rules.select.best, rules.select.tie);
    assert.deepEqual(
      scores.filter((score) => score.kept).map(({ id }) => id),
      [kept],
      'the row that says kept',
    );
    assert.deepEqual(
      view.table.rows.map((line) => line.pick),
      scores.map(({ id }) => id === kept),
    );
    const [first, second] = sentences(view.words);
    const said = read(
      /^End of iteration (?<it>\d+): ant (?<ant>\d+) is kept: its score, (?<score>[\d.]+), is the (?<best>smallest|largest) of the iteration\.$/,
      first,
    );
    assert.equal(Number(said.it), view.step.iteration);
    assert.equal(Number(said.ant), kept);
    assert.equal(Number(said.score), scores[kept - 1].value);
    assert.equal(pick(scores, said.best, 'lowest'), kept, `the ${said.best} score`);
    const tie = read(
      /^Where ants share the (?<best>smallest|largest) score, the (?<tie>lowest|highest)-numbered is kept\.$/,
      second,
    );
    assert.equal(pick(scores, tie.best, tie.tie), kept, 'the tie rule');
    assert.equal(view.kept, kept, 'the graph draws the kept tour strong');
    assert.equal(view.line, 'select');
    readAsked(view, (outlined) => {
      assert.deepEqual(outlined, [], 'nothing outlined before the end');
      readEndQuestion(view, scores, kept, { nm, twoN });
    });
    return { kept, tour: view.tours[kept - 1], score: scores[kept - 1].value };
  }

  // The question before an iteration's end: which ant is kept, from the tours, the faults each
  // test detects and the rule.
  function readEndQuestion(view, scores, kept, divisors) {
    const { question } = view;
    const [first, second, third] = sentences(question.shown.words);
    const said = read(
      /^Iteration (?<it>\d+) ends with the tours (?<tours>.+) of ants (?<ants>[\d, and]+)\.$/,
      first,
    );
    assert.equal(Number(said.it), view.step.iteration);
    const tours = said.tours.split('; ').map(numbers);
    assert.deepEqual(tours, view.tours, 'the tours as the graph draws them');
    assert.deepEqual(
      listed(said.ants),
      tours.map((_, k) => k + 1),
    );
    const rule = read(
      /^Each scores 1 − S \/ (?<nm>\d+) − 1 \/ (?<twoN>\d+), S the sum, over the faults, of the position of the first test that detects each; the (?<best>smallest|largest) score is kept, the (?<tie>lowest|highest) ant on a tie\.$/,
      second,
    );
    assert.equal(third, 'Which ant is kept?');
    assert.deepEqual([rule.nm, rule.twoN], [divisors.nm, divisors.twoN]);
    assert.doesNotMatch(question.shown.words, /\d\.\d{6}/, 'no score given away');
    // The scores, worked out from the tours and what each test detects, as the table shows it.
    const detects = Object.fromEntries(
      rowsOf(question.shown.table).map(({ cells }) => [
        Number(cell(question.shown.table, cells, 'Test')),
        listed(cell(question.shown.table, cells, 'Detects faults')),
      ]),
    );
    assert.equal(question.shown.table.caption, 'The faults each test detects.');
    const worked = tours.map((tour, k) => {
      const sum = suite[0]
        .map((_, f) => tour.slice(0, tests).findIndex((t) => detects[t].includes(f + 1)) + 1)
        .reduce((a, b) => a + b, 0);
      return { id: k + 1, value: Number((1 - sum / rule.nm - 1 / rule.twoN).toFixed(6)) };
    });
    assert.equal(pick(worked, rule.best, rule.tie), kept, 'the question answers as the end keeps');
    assert.deepEqual(
      question.choices.map(({ value, label }) => [value, label]),
      tours.map((_, k) => [k + 1, `Ant ${k + 1}`]),
    );
    const values = Object.fromEntries(scores.map(({ id, value }) => [id, value]));
    for (const { value } of question.choices) {
      const verdict = question.verdict(value);
      assert.equal(verdict.right, value === kept);
      if (verdict.right) {
        assert.equal(Number(read(/^Right: ant (?<ant>\d+) is kept\.$/, verdict.words).ant), kept);
        continue;
      }
      const wrong = read(
        /^Not this time: you chose ant (?<chosen>\d+), and ant (?<kept>\d+) is kept: (?<why>.+)\.$/,
        verdict.words,
      );
      assert.deepEqual([wrong.chosen, wrong.kept].map(Number), [value, kept]);
      readLoss(wrong.why, 'ant', value, kept, values, 'score');
    }
  }

  // The global update: the edges of the kept tour pulled towards the deposit.
  function readGlobal(view) {
    const said = read(
      /^The global update pulled the (?<n>\d+) edges of ant (?<ant>\d+)'s tour towards the deposit 1 \/ (?<score>[\d.]+) (?<sign>=|≈) (?<deposit>[\d.]+): new = old × (?<keep>[\d.]+) \+ (?<again>[\d.]+) × (?<share>[\d.]+)\.$/,
      view.words,
    );
    const { end } = memory;
    assert.deepEqual([Number(said.ant), Number(said.score)], [end.kept, end.score]);
    assert.equal(Number(said.n), tests);
    assert.ok(close(Number(said.deposit), 1 / Number(said.score)));
    assert.equal(
      said.sign === '=',
      valueText(1 / Number(said.score), 6) === said.deposit,
      said.sign,
    );
    assert.deepEqual([Number(said.again), Number(said.share)], [Number(said.deposit), rho]);
    assert.ok(close(Number(said.keep), 1 - rho));
    const edges = {
      "kept tour's": end.tour.slice(0, -1).map((t, q) => `${t} → ${end.tour[q + 1]}`),
    }[rules.global.which];
    assert.ok(edges, `the edges of "${rules.global.which}"`);
    const changes = readChanges(view);
    assert.deepEqual(
      changes.map(({ from, to }) => `${from} → ${to}`),
      edges,
      'the edges the rule changes',
    );
    for (const change of changes) {
      assert.ok(
        close(change.after, change.before * Number(said.keep) + Number(said.deposit) * rho),
        change.text,
      );
    }
    assert.equal(view.kept, end.kept, 'the kept tour strong in the graph');
    assert.equal(view.line, 'global');
    return changes;
  }

  // The heat map: its orientation, the moment it shows, what it outlines and how each cell went,
  // its one scale and that the darker is the higher.
  function readHeat(view, before, moves = {}) {
    const { heat, step } = view;
    const [orientation, ...rest] = sentences(heat.caption);
    const axes = read(
      /^From test \((?<from>row|column)\) to test \((?<to>row|column)\)\.$/,
      orientation,
    );
    assert.notEqual(axes.from, axes.to, 'an axis each');
    // The cell of the edge from test a to test b, as the caption orients the table.
    const at = (a, b) =>
      axes.from === 'row' ? heat.cells[a - 1][b - 1] : heat.cells[b - 1][a - 1];
    const darker = read(
      /^The darker, the (?<way>higher|lower), on one scale for the whole run\.$/,
      rest.pop(),
    );
    const outlined = [];
    let changed = [];
    for (const sentence of rest) {
      const said = read(
        /^(?:The levels the iteration starts from, which the ants read in its first pass\.|The levels the ants read in pass (?<read>\d+)(?:; the local update after the pass changes them)?\.|The edge (?<from>\d+) → (?<to>\d+) the ant took is outlined\.|After pass (?<after>\d+)'s local update; the levels it changed are outlined\.|After the last pass's local update, before the global update\.|After the global update; the edges it (?<verb>reinforced|weakened) are outlined\.|The levels before pass (?<asked>\d+)'s local update; the edge asked about is outlined\.)$/,
        sentence,
      );
      if (said.read !== undefined) {
        assert.equal(Number(said.read), step.pass, 'the pass whose levels the ants read');
        assert.deepEqual(view.levels, before.levels, 'the levels as the pass found them');
      }
      if (said.from !== undefined) {
        assert.deepEqual(
          [Number(said.from), Number(said.to)],
          [moves.from, moves.to],
          'the edge the ant took',
        );
        outlined.push([Number(said.from), Number(said.to)]);
      }
      if (said.after !== undefined) {
        assert.equal(Number(said.after), step.pass, 'the pass whose update it shows');
      }
      if (said.after !== undefined || said.verb !== undefined) {
        changed = view.levels.flatMap((row, a) =>
          row.flatMap((level, b) => (level === before.levels[a][b] ? [] : [[a + 1, b + 1]])),
        );
        outlined.push(...changed);
      }
      if (said.verb !== undefined) {
        for (const [a, b] of changed) {
          const [was, is] = [before.levels[a - 1][b - 1], view.levels[a - 1][b - 1]];
          const deposit = 1 / memory.end.score;
          const reinforced = Math.abs(is - deposit) < Math.abs(was - deposit);
          assert.ok(said.verb === 'reinforced' ? reinforced : is < was, `${a} → ${b} ${said.verb}`);
        }
      }
      if (said.asked !== undefined) {
        assert.equal(Number(said.asked), step.pass);
        outlined.push('asked');
      }
    }
    assert.equal(
      rest.filter((sentence) => !/^The edge \d+ → \d+ the ant took/.test(sentence)).length,
      1,
      'the caption names the moment its levels stand at',
    );
    const marked = [];
    for (let a = 1; a <= tests; ++a) {
      for (let b = 1; b <= tests; ++b) {
        if (at(a, b).marked) {
          marked.push(`${a} → ${b}`);
        }
        // A changed cell shows the way it went.
        const went = at(a, b).change;
        const was = before?.levels[a - 1][b - 1];
        const is = view.levels[a - 1][b - 1];
        const wasChanged = changed.some(([x, y]) => x === a && y === b);
        assert.equal(went !== null, wasChanged, `the change of ${a} → ${b} shown`);
        if (went) {
          assert.equal(went.arrow, is > was ? '↑' : '↓', `${a} → ${b} went ${went.words}`);
          assert.equal(went.words, is > was ? 'rose' : 'fell');
        }
        assert.equal(
          at(a, b).text,
          valueText(is),
          'the table and the heat map write a level alike',
        );
      }
    }
    // The edge asked about: the question's prompt names the one outlined.
    const named = outlined.includes('asked') ? marked : outlined.map(([a, b]) => `${a} → ${b}`);
    assert.deepEqual([...marked].sort(), [...named].sort(), 'what is outlined');
    // One scale for the whole run: a level has one colour; the darker, the higher.
    const cells = view.levels.flatMap((row, a) =>
      row.map((level, b) => ({ level, colour: heat.cells[a][b].colour })),
    );
    for (const { level, colour } of cells) {
      assert.equal(
        memory.colours.get(level) ?? colour,
        colour,
        `the colour of ${level} on every step`,
      );
      memory.colours.set(level, colour);
      [run.low, run.high] = [Math.min(run.low, level), Math.max(run.high, level)];
    }
    for (const x of cells) {
      for (const y of cells) {
        if (x.level < y.level) {
          const [lx, ly] = [luminance(x.colour), luminance(y.colour)];
          assert.ok(darker.way === 'higher' ? lx >= ly : lx <= ly, `the darker, the ${darker.way}`);
        }
      }
    }
    const scale = read(
      /^Shade: white is the run's (?<low>lowest|highest) level, (?<lowLevel>[\d.]+), and the darkest its (?<high>highest|lowest), (?<highLevel>[\d.]+), on a logarithmic scale\.$/,
      heat.scale.join('').replace(/\s+/g, ' '),
    );
    assert.equal(heat.low, 'rgb(255, 255, 255)', 'white');
    run.scale ??= scale;
    assert.deepEqual(scale, run.scale, 'one scale for the whole run');
    return marked;
  }

  // Each step in order.
  for (let index = 0; index < shape.steps; ++index) {
    const view = View.stepView(trace, shape, index);
    const { kind, iteration, pass, ant } = view.step;
    const where = read(
      /^Step (?<n>[\d,]+) of (?<total>[\d,]+): iteration (?<iteration>\d+)(?:, pass (?<pass>\d+) of (?<passes>\d+))?(?:, ant (?<ant>\d+))?$/,
      view.position,
    );
    assert.deepEqual(
      [
        where.n,
        where.total,
        Number(where.iteration),
        where.pass && Number(where.pass),
        where.ant && Number(where.ant),
      ],
      [
        (index + 1).toLocaleString('en-GB'),
        shape.steps.toLocaleString('en-GB'),
        iteration,
        pass,
        ant,
      ],
      'where the step stands',
    );
    assert.deepEqual(
      view.paths.map((path) => numbers(path)),
      view.tours.map((tour, k) => [k + 1, ...tour]),
      'the paths in words are the paths the graph draws',
    );
    view.paths.forEach((path) => read(/^Ant \d+: \d+(?: → \d+)*$/, path));
    // The graph: a move adds the moving ant's test to its path, drawn strong, and no other step
    // but the starts changes a path; a tour is drawn kept at the end alone.
    if (kind !== 'starts') {
      view.tours.forEach((tour, k) =>
        assert.deepEqual(
          kind === 'move' && k === ant - 1 ? tour.slice(0, -1) : tour,
          memory.previous.tours[k],
          `ant ${k + 1}'s path at step ${index + 1}`,
        ),
      );
    }
    assert.equal(view.moving, kind === 'move' ? ant : 0, 'the move drawn strong');
    assert.ok(kind === 'end' || kind === 'global' || view.kept === 0, 'no tour kept yet');
    if (kind === 'starts') {
      readStarts(view);
      readHeat(view, memory.previous ?? view);
    } else if (kind === 'move') {
      if (ant === 1) {
        memory.read = memory.previous.levels;
      }
      const move = readMove(view);
      readHeat(view, memory.previous, move);
    } else if (kind === 'local') {
      readLocal(view);
      readHeat(view, memory.previous);
    } else if (kind === 'end') {
      memory.end = readEnd(view);
      readHeat(view, memory.previous);
    } else {
      readGlobal(view);
      readHeat(view, memory.previous);
    }
    if (kind !== 'local' && kind !== 'global') {
      assert.deepEqual(view.changes, [], 'no change listed where none is made');
    }
    memory.previous = view;
  }
  // The scale's ends are the lowest and the highest level of the run.
  assert.equal(run.scale.lowLevel, valueText(run.low), "the run's lowest level");
  assert.equal(run.scale.highLevel, valueText(run.high), "the run's highest level");
  assert.deepEqual([run.scale.low, run.scale.high], ['lowest', 'highest']);
  return run;
}
