// Runs antorder under node as the console program runs: its report on standard output in one
// write, its wait for Enter on standard input, and its exit statuses. The build writes this script
// into build/web/antorder.js after web/wasi.js and the program's WebAssembly, as the base64 text
// ANTORDER_WASM.
/* global ANTORDER_WASM, Wasi */
'use strict';
const fs = require('fs');

// Writes all of `bytes` to the file descriptor `fd`. When the reader of a pipe has gone, the
// process ends with status 141, which the shell shows for the console program too, ended by
// SIGPIPE: node ignores that signal and cannot end by it. Any other error is the program's to
// report.
function writeWhole(fd, bytes) {
  try {
    for (let done = 0; done < bytes.length;) {
      done += fs.writeSync(fd, bytes, done);
    }
  } catch (error) {
    if (error.code === 'EPIPE') {
      process.exit(141);
    }
    return error.code;
  }
  return undefined;
}

// Reads what standard input has, waiting for it: at a console, a line once Enter is pressed. At
// the end of the input, or where it cannot be read, it reads nothing, and the program's getchar
// gives EOF, as the console program's does.
function readSome(fd, bytes) {
  try {
    return fs.readSync(fd, bytes);
  } catch {
    return 0;
  }
}

const program = new WebAssembly.Module(Buffer.from(ANTORDER_WASM, 'base64'));
process.exitCode = Wasi.runWasiProgram(program, { write: writeWhole, read: readSome });
