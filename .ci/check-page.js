// Checks the DOM that headless Chromium left of the web page ($1) against the recorded report
// ($2): the report shown exactly, the chart with its text alternative, and no address on the
// network in any src or href.
'use strict';
const fs = require('node:fs');

const [dom, expected] = process.argv.slice(2).map((file) => fs.readFileSync(file, 'latin1'));
const failures = [];

const report = /<pre id="report">([^<]*)<\/pre>/.exec(dom);
const shown = report && report[1].replace(/&lt;/g, '<').replace(/&gt;/g, '>').replace(/&amp;/g, '&');
if (shown !== expected) {
  failures.push('<pre id="report"> does not hold the recorded report');
}
const chart = /<div id="chart">(<svg[^]*?<\/svg>)\s*<\/div>/.exec(dom);
if (!chart || !/<title[^>]*>[^<]+<\/title>/.test(chart[1]) || !/<desc[^>]*>[^<]+<\/desc>/.test(chart[1])) {
  failures.push('no chart with a title and a description');
}
const addresses = dom.match(/\b(?:src|href)\s*=\s*["']?(?:[a-z]+:)?\/\/[^"'\s>]*/gi);
if (addresses) {
  failures.push(`addresses on the network: ${addresses.join(', ')}`);
}
if (failures.length > 0) {
  console.error(`the page in Chromium: ${failures.join('; ')}`);
  process.exit(1);
}
console.log('the page in Chromium: the recorded report, the chart with its text alternative, no address');
