// The trace's JSON Schema, trace/antorder-trace.schema.json, read by Ajv: the traces of several
// runs of antorder-trace, whose path ANTORDER_TRACE gives, follow it, and documents altered in
// one place each are refused, at that place.
import assert from 'node:assert/strict';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { test } from 'node:test';
import { programOutput } from '../wasi_run.js';
import { traceValidator } from './validate.js';

const here = path.dirname(fileURLToPath(import.meta.url));
const errorsOf = traceValidator(path.join(here, '..', '..', 'trace', 'antorder-trace.schema.json'));
const traceOf = (args) => JSON.parse(programOutput(process.env.ANTORDER_TRACE, args));

for (const args of [
  [],
  ['--keep', 'largest', '--q0', '1'],
  ['--q0', '0', '--rho', '1', '--iterations', '1'],
  ['--seed', '2147483646', '--rho', '0.05', '--iterations', '1000'],
]) {
  test(`the trace follows the schema: ${args.join(' ') || 'no options'}`, () => {
    assert.deepEqual(errorsOf(traceOf(args)), []);
  });
}

// Each alteration of a short trace, and the place in it where the schema refuses it.
const short = traceOf(['--iterations', '1']);
const ALTERED = [
  ['a member missing', (t) => delete t.tau0, '/'],
  [
    "a move's member missing",
    (t) => delete t.iterations[0].passes[1].moves[2].q,
    '/iterations/0/passes/1/moves/2',
  ],
  ['a member added', (t) => (t.parameters.beta = 2), '/parameters'],
  ['a test numbered 6', (t) => (t.iterations[0].tours[3][2] = 6), '/iterations/0/tours/3/2'],
  ['an ant numbered 0', (t) => (t.iterations[0].kept = 0), '/iterations/0/kept'],
  ['a number written as a string', (t) => (t.tau0 = String(t.tau0)), '/tau0'],
  [
    'a draw beyond the random limit',
    (t) => (t.iterations[0].startDraws[0] = 32768),
    '/iterations/0/startDraws/0',
  ],
  [
    'a rule of another name',
    (t) => (t.iterations[0].passes[0].moves[0].rule = 'random'),
    '/iterations/0/passes/0/moves/0/rule',
  ],
  [
    'a weights row on a move home',
    (t) => (t.iterations[0].passes[4].moves[1].weights = [1, 1, 1, 1, 1]),
    '/iterations/0/passes/4/moves/1/weights',
  ],
  [
    'a draw on a move home',
    (t) => (t.iterations[0].passes[4].moves[0].draw = 7),
    '/iterations/0/passes/4/moves/0/draw',
  ],
  [
    'no weights on a move away',
    (t) => (t.iterations[0].passes[0].moves[0].weights = null),
    '/iterations/0/passes/0/moves/0/weights',
  ],
  [
    'a pass of four moves',
    (t) => t.iterations[0].passes[2].moves.pop(),
    '/iterations/0/passes/2/moves',
  ],
  ['a rho of 0', (t) => (t.parameters.rho = 0), '/parameters/rho'],
  ['a keep of another name', (t) => (t.parameters.keep = 'first'), '/parameters/keep'],
];

for (const [what, alter, place] of ALTERED) {
  test(`the schema refuses ${what}, at ${place}`, () => {
    const document = structuredClone(short);
    alter(document);
    const errors = errorsOf(document);
    assert.ok(errors.length > 0, 'refused');
    assert.ok(
      errors.some((error) => error.startsWith(`${place}: `)),
      errors.join('\n'),
    );
  });
}

test('only a faults move counts new faults', () => {
  const moves = short.iterations[0].passes.flatMap((pass) => pass.moves);
  const trail = structuredClone(short);
  const faults = structuredClone(short);
  const at = (t, rule) => {
    const k = moves.findIndex((move) => move.rule === rule);
    return t.iterations[0].passes[Math.floor(k / 5)].moves[k % 5];
  };
  at(trail, 'trail').newFaults = [0, 0, 0, 0, 0];
  at(faults, 'faults').newFaults = null;
  assert.notDeepEqual(errorsOf(trail), []);
  assert.notDeepEqual(errorsOf(faults), []);
});
