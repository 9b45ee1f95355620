// Runs a program built to WebAssembly for WASI under node's own WASI, with the arguments after
// its path and no input: its standard output and error are this process's, and its exit status
// this process's status. The web build's checks run antorder.wasm and antorder-trace.wasm with
// it, as other builds run theirs under qemu or wine:
//   node tests/wasi_run.js build/web/antorder-trace.wasm --iterations 2
// The tests run a program with runProgram or programOutput, whether the program is native or not.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import { fileURLToPath } from 'node:url';
import { WASI } from 'node:wasi';

// Runs the program in the file `path` with the arguments `args` and returns its exit status.
function runWasi(path, args) {
  const wasi = new WASI({
    version: 'preview1',
    args: [path, ...args],
    stdin: fs.openSync('/dev/null', 'r'),
  });
  const instance = new WebAssembly.Instance(
    new WebAssembly.Module(fs.readFileSync(path)),
    wasi.getImportObject(),
  );
  return wasi.start(instance);
}

// Runs the program in the file `path`, native or WebAssembly, with the arguments `args` and no
// input: its exit status and what it wrote to its standard output and error.
export function runProgram(path, args = []) {
  const [command, commandArgs] = path.endsWith('.wasm')
    ? [process.execPath, ['--no-warnings', fileURLToPath(import.meta.url), path, ...args]]
    : [path, args];
  const { status, stdout, stderr } = spawnSync(command, commandArgs, {
    input: '',
    maxBuffer: 1 << 26,
    encoding: 'latin1',
  });
  return { status, stdout, stderr };
}

// What the program in the file `path` writes to its standard output when it runs with the
// arguments `args` and no input; it must end with status 0.
export function programOutput(path, args = []) {
  const { status, stdout, stderr } = runProgram(path, args);
  if (status !== 0) {
    throw new Error(`${[path, ...args].join(' ')} ended with status ${status}: ${stderr}`);
  }
  return stdout;
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  process.exitCode = runWasi(process.argv[2], process.argv.slice(3));
}
