// Runs a WebAssembly program built for WASI, as the web build makes antorder and antorder-trace:
// the program reaches nothing but its three standard streams, which the caller provides. The
// page and node share this script.
'use strict';

const Wasi = (() => {
  // WASI's numbers for the errors a stream can meet; any other error is an I/O error.
  const WASI_ERRNO = { EBADF: 8, EFBIG: 22, EIO: 29, ENOSPC: 51, ESPIPE: 70 };

  // What proc_exit throws to end the program's run: its exit status.
  class ProgramExit {
    constructor(status) {
      this.status = status;
    }
  }

  // The bytes of the `count` buffers that the list at `iovs` in `memory` names, as views.
  function ioBuffers(memory, iovs, count) {
    const list = new DataView(memory.buffer, iovs, count * 8);
    return Array.from(
      { length: count },
      (_, k) =>
        new Uint8Array(memory.buffer, list.getUint32(k * 8, true), list.getUint32(k * 8 + 4, true)),
    );
  }

  // How many bytes `buffers` hold together.
  const totalLength = (buffers) => buffers.reduce((sum, buffer) => sum + buffer.length, 0);

  // The bytes of `buffers`, one after the other, in one array.
  function gather(buffers) {
    const bytes = new Uint8Array(totalLength(buffers));
    let offset = 0;
    for (const buffer of buffers) {
      bytes.set(buffer, offset);
      offset += buffer.length;
    }
    return bytes;
  }

  // Spreads the first `length` of `bytes` over `buffers`, in order.
  function scatter(bytes, length, buffers) {
    let offset = 0;
    for (const buffer of buffers) {
      buffer.set(bytes.subarray(offset, Math.min(length, offset + buffer.length)));
      offset += buffer.length;
    }
  }

  // The imports of a program whose memory `memory()` gives, with the streams of `streams`:
  //   streams.write(fd, bytes) takes each write to standard output (1) or standard error (2) whole,
  //     and returns nothing, or the name of the error that stopped it, such as "ENOSPC";
  //   streams.read(fd, bytes) fills `bytes` from standard input (0) and returns how many it read,
  //     0 at the end of the input.
  function wasiImports(memory, streams) {
    return {
      fd_write(fd, iovs, count, written) {
        const bytes = gather(ioBuffers(memory(), iovs, count));
        const error = streams.write(fd, bytes);
        if (error) {
          return WASI_ERRNO[error] || WASI_ERRNO.EIO;
        }
        new DataView(memory().buffer).setUint32(written, bytes.length, true);
        return 0;
      },
      fd_read(fd, iovs, count, read) {
        const buffers = ioBuffers(memory(), iovs, count);
        const bytes = new Uint8Array(totalLength(buffers));
        const length = streams.read(fd, bytes);
        scatter(bytes, length, buffers);
        new DataView(memory().buffer).setUint32(read, length, true);
        return 0;
      },
      fd_seek() {
        return WASI_ERRNO.ESPIPE;
      },
      fd_close() {
        return 0;
      },
      proc_exit(status) {
        throw new ProgramExit(status);
      },
    };
  }

  // Runs the compiled program `module` to its end with the streams of `streams` and returns its
  // exit status.
  function runWasiProgram(module, streams) {
    let memory = null;
    const instance = new WebAssembly.Instance(module, {
      wasi_snapshot_preview1: wasiImports(() => memory, streams),
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

  return { runWasiProgram };
})();

if (typeof module === 'object') {
  module.exports = Wasi;
}
