// Writes the web page from the programs built to WebAssembly, into the folder given: antorder.html,
// antorder.html.in with the scripts it names inlined and both programs in it, as base64, so that
// it is one file that loads nothing else.
// Run by the build: node build_page.js <antorder.wasm> <antorder-trace.wasm> <folder>
'use strict';
const fs = require('fs');
const path = require('path');
const { pageScripts } = require('./scripts.js');

const [antorderWasm, traceWasm, folder] = process.argv.slice(2);

// The text of a script of this folder, as it can stand inside the page's <script> element.
function inlined(name) {
  const text = fs.readFileSync(path.join(__dirname, name), 'utf8');
  if (/<\/script/i.test(text)) {
    throw new Error(`${name} holds "</script" and cannot be inlined`);
  }
  return text.trim();
}

const base64 = (file) => fs.readFileSync(file).toString('base64');

// Each placeholder of the template and its text; a function, so that no "$" in it is special.
const template = fs.readFileSync(path.join(__dirname, 'antorder.html.in'), 'utf8');
const parts = [
  ...pageScripts(template).map((name) => [
    `<script src="${name}"></script>`,
    `<script>\n${inlined(name)}\n</script>`,
  ]),
  ['@ANTORDER_WASM@', base64(antorderWasm)],
  ['@TRACE_WASM@', base64(traceWasm)],
];
let page = template;
for (const [placeholder, text] of parts) {
  page = page.replace(placeholder, () => text);
}
fs.writeFileSync(path.join(folder, 'antorder.html'), page);
