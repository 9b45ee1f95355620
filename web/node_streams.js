// Runs before the program under node: its standard streams reach the process byte for byte, as
// the console program's do. The runtime's own streams would pass output on line by line, losing
// or adding the newline of a last line that has none, and could not read standard input here.
// A page that runs the program sets these streams itself, before this runs. The runtime's
// optimiser reads this file as well, and knows no syntax newer than ES2018.
if (typeof process === 'object' && typeof process.versions === 'object' &&
    typeof process.versions.node === 'string' && !Module.stdout) {
  const fs = require('fs');

  // Writes one byte to the file descriptor `fd` at once, so that the report stands complete
  // while the program waits for Enter.
  const byteWriter = (fd) => (byte) => fs.writeSync(fd, Uint8Array.of(byte));
  Module.stdout = byteWriter(1);
  Module.stderr = byteWriter(2);

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
