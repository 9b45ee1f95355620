// Writes the web page, antorder.html, into the folder given: antorder.html.in with its script,
// page.js and the modules it imports as esbuild bundled them, inlined, and both programs in it as
// base64, so that it is one file that loads nothing else.
// Run by the build: node build_page.js <bundle> <antorder.wasm> <antorder-trace.wasm> <folder>
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const [bundle, antorderWasm, traceWasm, folder] = process.argv.slice(2);

const script = fs.readFileSync(bundle, 'utf8').trim();
if (/<\/script/i.test(script)) {
  throw new Error(`${bundle} holds "</script" and cannot be inlined`);
}
const base64 = (file) => fs.readFileSync(file).toString('base64');

// Each placeholder of the template and its text; a function, so that no "$" in it is special.
const here = path.dirname(fileURLToPath(import.meta.url));
let page = fs.readFileSync(path.join(here, 'antorder.html.in'), 'utf8');
for (const [placeholder, text] of [
  ['<script src="page.js"></script>', `<script>\n${script}\n</script>`],
  ['@ANTORDER_WASM@', base64(antorderWasm)],
  ['@TRACE_WASM@', base64(traceWasm)],
]) {
  page = page.replace(placeholder, () => text);
}
fs.writeFileSync(path.join(folder, 'antorder.html'), page);
