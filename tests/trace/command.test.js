// antorder-trace's command line, whose program ANTORDER_TRACE gives: every form it refuses ends
// with status 2, nothing on standard output and one line on standard error that names the option
// and the value; --help and --version answer on standard output with status 0.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { test } from 'node:test';
import { runProgram } from '../wasi_run.js';

const here = path.dirname(fileURLToPath(import.meta.url));
const trace = (args) => runProgram(process.env.ANTORDER_TRACE, args);

// Each refused command line, with the argument its message must name and the value it must quote.
const REFUSED = [
  [['--q0', '-0.5'], '--q0', '-0.5'],
  [['--q0', 'nan'], '--q0', 'nan'],
  [['--q0', '0,5'], '--q0', '0,5'],
  [['--q0', '5e-1'], '--q0', '5e-1'],
  [['--q0', '.'], '--q0', '.'],
  [['--q0', '0.1234567890123456'], '--q0', '0.1234567890123456'],
  [['--q0', '1.5'], '--q0', '1.5'],
  [['--q0', '10'], '--q0', '10'],
  [['--rho', '0'], '--rho', '0'],
  [['--rho', '0.0'], '--rho', '0.0'],
  [['--rho', '1.0001'], '--rho', '1.0001'],
  [['--rho', 'inf'], '--rho', 'inf'],
  [['--seed', '0'], '--seed', '0'],
  [['--seed', '2147483647'], '--seed', '2147483647'],
  [['--seed', '99999999999999999999'], '--seed', '99999999999999999999'],
  [['--seed', '5x'], '--seed', '5x'],
  [['--seed', '+5'], '--seed', '+5'],
  [['--seed', ' 5'], '--seed', ' 5'],
  [['--seed='], '--seed', ''],
  [['--iterations', '0'], '--iterations', '0'],
  [['--iterations', '1001'], '--iterations', '1001'],
  [['--iterations', '1e3'], '--iterations', '1e3'],
  [['--iterations', '10.0'], '--iterations', '10.0'],
  [['--keep', 'Largest'], '--keep', 'Largest'],
  [['--keep', ''], '--keep', ''],
  [['--seed'], '--seed', null],
  [['--seed', '7', '--rho'], '--rho', null],
  [['--version=2'], '--version', '2'],
  [['--verbose'], '--verbose', null],
  [['-s', '7'], '-s', null],
  [['12345'], '12345', null],
  [['--seed', '7', 'extra'], 'extra', null],
];

for (const [args, named, value] of REFUSED) {
  test(`refuses ${JSON.stringify(args)}: status 2, no output, one line naming ${named}`, () => {
    const { status, stdout, stderr } = trace(args);
    assert.equal(status, 2);
    assert.equal(stdout, '');
    assert.match(stderr, /^antorder-trace: [^\n]+\n$/);
    assert.ok(stderr.includes(named), stderr);
    if (value !== null) {
      assert.ok(stderr.includes(`"${value}"`), stderr);
    }
  });
}

test('--version names the version of the newest changelog entry', () => {
  const changelog = fs.readFileSync(path.join(here, '..', '..', 'CHANGELOG.md'), 'utf8');
  const version = changelog.match(/^## (\S+) - /m)[1];
  assert.deepEqual(trace(['--version']), {
    status: 0,
    stdout: `antorder-trace ${version}\n`,
    stderr: '',
  });
});

test('--help prints the usage, which names every option, and answers before a refused one', () => {
  const { status, stdout, stderr } = trace(['--help', '--q0', '2']);
  assert.equal(status, 0);
  assert.equal(stderr, '');
  for (const option of ['--seed N', '--q0 X', '--rho X', '--iterations N', '--keep', '--help']) {
    assert.ok(stdout.includes(option), option);
  }
  assert.equal(trace(['--q0', '2', '--help']).status, 2, 'the refused option comes first');
});
