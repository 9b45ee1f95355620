// Runs before the program under node: its standard streams reach the process as the console
// program's do. Each write of the program is one write of the process, so the report, which the
// program writes at once, arrives whole; the runtime's own streams would pass output on byte by
// byte or line by line, losing or adding the newline of a last line that has none. A page that
// runs the program sets its streams itself, before this runs. The runtime's optimiser reads this
// file as well, and knows no syntax newer than ES2018.
if (
  typeof process === 'object' &&
  typeof process.versions === 'object' &&
  typeof process.versions.node === 'string' &&
  !Module.stdout
) {
  const fs = require('fs');

  // The program's numbers for the errors a write to a stream can meet; any other is an I/O error.
  const ERRNO = { EBADF: 8, EFBIG: 22, EIO: 29, ENOSPC: 51 };

  // The operation by which the program writes to the file descriptor `fd`: the bytes it hands
  // over, at once. When the reader has gone, the process ends with status 141, which the shell
  // also shows for the console program, ended by SIGPIPE; node ignores that signal and cannot
  // end by it. Any other failure is the program's to report.
  const writeAtOnce = (fd) => (stream, buffer, offset, length) => {
    let written = 0;
    try {
      while (written < length) {
        written += fs.writeSync(fd, buffer, offset + written, length - written);
      }
    } catch (error) {
      if (error.code === 'EPIPE') {
        process.exit(141);
      }
      throw new FS.ErrnoError(ERRNO[error.code] || ERRNO.EIO);
    }
    return length;
  };

  // Standard output and standard error are set up by the runtime before the program starts;
  // their writes are then replaced.
  Module.onRuntimeInitialized = () => {
    for (const fd of [1, 2]) {
      const stream = FS.getStream(fd);
      stream.stream_ops = Object.assign({}, stream.stream_ops, { write: writeAtOnce(fd) });
    }
  };

  // Reads one byte per request of the program: the byte, then "nothing more for now", so that
  // a key pressed at a console ends the wait at once; null at the end of input or on an error,
  // as the console program's getchar gives EOF.
  const byte = Buffer.alloc(1);
  let gaveByte = false;
  Module.stdin = () => {
    if (gaveByte) {
      gaveByte = false;
      return undefined;
    }
    try {
      gaveByte = fs.readSync(0, byte, 0, 1, null) === 1;
    } catch (error) {
      gaveByte = false;
    }
    return gaveByte ? byte[0] : null;
  };
}
