// The page's scripts, in the order the page runs them: those that its template, antorder.html.in,
// names in its <script src="..."> elements, the one list of them. Each defines one namespace,
// named after its file (chart.js defines Chart), which only the scripts after it use; the last,
// page.js, runs the page. The build and ESLint read the list here.
'use strict';
const fs = require('fs');
const path = require('path');

const TEMPLATE = path.join(__dirname, 'antorder.html.in');

// The file names of the page's scripts, in order, as `template` names them.
function pageScripts(template = fs.readFileSync(TEMPLATE, 'utf8')) {
  return [...template.matchAll(/<script src="([^"]+)"><\/script>/g)].map((match) => match[1]);
}

// The namespace a script defines: its file name without ".js", capitalised.
const namespaceOf = (name) => name.charAt(0).toUpperCase() + name.slice(1, -'.js'.length);

module.exports = { pageScripts, namespaceOf };
