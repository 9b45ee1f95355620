// ESLint over every JavaScript file of the project, with its recommended rules: the page's
// scripts, which node runs as well, the build script, the tests and the page's benchmark.
'use strict';
const js = require('@eslint/js');
const globals = require('globals');

module.exports = [
  { ignores: ['build*/'] },
  js.configs.recommended,
  {
    languageOptions: { ecmaVersion: 2022, sourceType: 'commonjs', globals: globals.node },
  },
  {
    // The page's own scripts: classic scripts that share their top-level names in the browser,
    // and modules under node, which tests and the build load.
    files: ['web/chart.js', 'web/replay.js', 'web/wasi.js', 'web/page.js'],
    languageOptions: {
      sourceType: 'script',
      globals: { ...globals.browser, module: 'readonly', require: 'readonly', process: 'readonly' },
    },
  },
  {
    // The browser tests and the page's benchmark hand functions to the page, which run there.
    files: ['tests/browser/**', 'bench/page_load.js'],
    languageOptions: { globals: { ...globals.node, ...globals.browser } },
  },
];
