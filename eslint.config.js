// ESLint over every JavaScript file of the project, with its recommended rules: the page's
// scripts, which node runs as well, the build scripts, the tests and the page's benchmark.
'use strict';
const js = require('@eslint/js');
const globals = require('globals');
const { pageScripts, namespaceOf } = require('./web/scripts.js');

// Each of the page's scripts is a classic script that may use the namespaces of the scripts
// before it, and is a module under node, which the tests and the build load.
const scripts = pageScripts().map((name) => `web/${name}`);
const pageScriptConfigs = scripts.map((file, k) => ({
  files: [file],
  languageOptions: {
    sourceType: 'script',
    globals: {
      ...globals.browser,
      module: 'readonly',
      require: 'readonly',
      process: 'readonly',
      ...Object.fromEntries(
        scripts.slice(0, k).map((before) => [namespaceOf(before.slice(4)), 'readonly']),
      ),
    },
  },
}));

module.exports = [
  { ignores: ['build*/'] },
  js.configs.recommended,
  {
    languageOptions: { ecmaVersion: 2022, sourceType: 'commonjs', globals: globals.node },
  },
  ...pageScriptConfigs,
  {
    // The browser tests and the page's benchmark hand functions to the page, which run there.
    files: ['tests/browser/**', 'bench/page_load.js'],
    languageOptions: { globals: { ...globals.node, ...globals.browser } },
  },
];
