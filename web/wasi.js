// Runs a WebAssembly program built for WASI, as the web build makes antorder and antorder-trace,
// in the page: the program reaches nothing but its arguments and its standard streams, of which
// the caller takes what it writes, and its standard input is empty.

// WASI's number for an operation a stream does not support.
const ESPIPE = 70;

// What proc_exit throws to end the program's run: its exit status.
class ProgramExit {
  constructor(status) {
    this.status = status;
  }
}

// The bytes of the `count` buffers that the list at `iovs` in `memory` names, one after the
// other, in one array.
function gather(memory, iovs, count) {
  const list = new DataView(memory.buffer, iovs, count * 8);
  const buffers = Array.from(
    { length: count },
    (_, k) =>
      new Uint8Array(memory.buffer, list.getUint32(k * 8, true), list.getUint32(k * 8 + 4, true)),
  );
  const bytes = new Uint8Array(buffers.reduce((sum, buffer) => sum + buffer.length, 0));
  let offset = 0;
  for (const buffer of buffers) {
    bytes.set(buffer, offset);
    offset += buffer.length;
  }
  return bytes;
}

// The imports of a program whose memory `memory()` gives, run with the arguments `args`, its name
// first: `write(fd, bytes)` takes each write to standard output (1) or standard error (2) whole,
// and every read finds the end of the input.
function wasiImports(memory, write, args) {
  const setSize = (at, size) => new DataView(memory().buffer).setUint32(at, size, true);
  const encoded = args.map((arg) => new TextEncoder().encode(`${arg}\0`));
  return {
    args_sizes_get(countAt, sizeAt) {
      setSize(countAt, encoded.length);
      setSize(
        sizeAt,
        encoded.reduce((sum, bytes) => sum + bytes.length, 0),
      );
      return 0;
    },
    args_get(listAt, textAt) {
      let at = textAt;
      encoded.forEach((bytes, k) => {
        setSize(listAt + k * 4, at);
        new Uint8Array(memory().buffer, at, bytes.length).set(bytes);
        at += bytes.length;
      });
      return 0;
    },
    fd_write(fd, iovs, count, written) {
      const bytes = gather(memory(), iovs, count);
      write(fd, bytes);
      setSize(written, bytes.length);
      return 0;
    },
    fd_read(fd, iovs, count, read) {
      setSize(read, 0);
      return 0;
    },
    fd_seek() {
      return ESPIPE;
    },
    fd_close() {
      return 0;
    },
    proc_exit(status) {
      throw new ProgramExit(status);
    },
  };
}

// Runs the compiled program `module` to its end, with the arguments `args` after its name,
// handing each of its writes to `write`, and returns its exit status.
export function runWasiProgram(module, write, args = []) {
  let memory = null;
  const instance = new WebAssembly.Instance(module, {
    wasi_snapshot_preview1: wasiImports(() => memory, write, ['program', ...args]),
  });
  memory = instance.exports.memory;
  try {
    instance.exports._start();
  } catch (error) {
    if (error instanceof ProgramExit) {
      return error.status;
    }
    throw error;
  }
  return 0;
}
