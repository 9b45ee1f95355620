// Runs a program built to WebAssembly for WASI under node's own WASI, with no input: its standard
// output and error are this process's, and its exit status this process's status. The web
// build's checks run antorder.wasm and antorder-trace.wasm with it, as other builds run theirs
// under qemu or wine:
//   node tests/wasi_run.js build/web/antorder.wasm
// The tests read a program's output with programOutput, whether the program is native or not.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import { fileURLToPath } from 'node:url';
import { WASI } from 'node:wasi';

// Runs the program in the file `path` and returns its exit status.
function runWasi(path) {
  const wasi = new WASI({ version: 'preview1', stdin: fs.openSync('/dev/null', 'r') });
  const instance = new WebAssembly.Instance(
    new WebAssembly.Module(fs.readFileSync(path)),
    wasi.getImportObject(),
  );
  return wasi.start(instance);
}

// What the program in the file `path`, native or WebAssembly, writes to its standard output when
// it runs with no input.
export function programOutput(path) {
  const [command, args] = path.endsWith('.wasm')
    ? [process.execPath, ['--no-warnings', fileURLToPath(import.meta.url), path]]
    : [path, []];
  return execFileSync(command, args, { input: '', maxBuffer: 1 << 24, encoding: 'latin1' });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  process.exitCode = runWasi(process.argv[2]);
}
