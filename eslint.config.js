// ESLint over every JavaScript file of the project, with its recommended rules: the page's
// modules, which node's tests import as well, the build scripts, the tests and the page's benchmark.
import js from '@eslint/js';
import globals from 'globals';

export default [
  { ignores: ['build*/'] },
  js.configs.recommended,
  {
    languageOptions: { ecmaVersion: 2022, sourceType: 'module', globals: globals.node },
  },
  {
    // The page's modules run in the browser; the browser tests and the page's benchmark hand
    // functions to the page, which run there.
    files: ['web/**', 'tests/browser/**', 'bench/page_*.js'],
    languageOptions: { globals: globals.browser },
  },
];
