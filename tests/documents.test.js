// The documents: in README.md, the developer guide and the installed README, every relative link
// names a file beside the document, and every link to a heading names one of its headings; the
// installed README is the one for those who run antorder. The Windows texts end every line with
// CR LF and speak of Windows alone. The build's documents are in the folder ANTORDER_DOCUMENTS:
//   ANTORDER_DOCUMENTS=build/dev/doc node --test tests/documents.test.js
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { test } from 'node:test';

const here = path.dirname(fileURLToPath(import.meta.url));

const root = path.join(here, '..');
const built = path.resolve(process.env.ANTORDER_DOCUMENTS);
const read = (file) => fs.readFileSync(file, 'utf8');

// The anchors of a Markdown document's headings, as Markdown renderers make them.
const anchors = (text) =>
  [...text.matchAll(/^#{1,6} (.+)$/gm)].map((match) =>
    match[1]
      .toLowerCase()
      .replace(/[^a-z0-9 _-]/g, '')
      .replace(/ /g, '-'),
  );

// The links of a Markdown document that fail to resolve beside it, each with the reason.
function brokenLinks(document) {
  const text = read(document);
  const targets = [...text.matchAll(/\]\(([^)\s]+)\)/g)].map((match) => match[1]);
  return targets
    .filter((target) => !/^[a-z][a-z0-9+.-]*:/.test(target))
    .flatMap((target) => {
      const [file, anchor] = target.split('#');
      const linked = file ? path.join(path.dirname(document), file) : document;
      if (!fs.existsSync(linked)) {
        return [`${target}: no such file beside ${document}`];
      }
      if (anchor !== undefined && !anchors(read(linked)).includes(anchor)) {
        return [`${target}: no such heading`];
      }
      return [];
    });
}

// The words of `words` that the text names, case aside.
const named = (text, words) =>
  words.filter((word) => text.toLowerCase().includes(word.toLowerCase()));

const linux = fs.existsSync(path.join(built, 'README.md'));

test('every relative link of the documents resolves', { skip: !linux && 'a Windows build' }, () => {
  for (const document of ['README.md', 'doc/development.md'].map((file) => path.join(root, file))) {
    assert.deepEqual(brokenLinks(document), [], document);
  }
  for (const document of ['README.md', 'CHANGELOG.md'].map((file) => path.join(built, file))) {
    assert.deepEqual(brokenLinks(document), [], document);
  }
});

test(
  'the installed README is for those who run antorder',
  { skip: !linux && 'a Windows build' },
  () => {
    const readme = read(path.join(built, 'README.md'));
    assert.deepEqual(named(readme, ['preset', 'ctest', '.ci/run', 'GoogleTest']), []);
    assert.match(readme, /waits for Enter/);
    assert.match(readme, /^- 141: /m);
  },
);

test(
  'the Windows texts end every line with CR LF and speak of Windows alone',
  { skip: linux && 'a Linux build' },
  () => {
    const texts = ['README.txt', 'CHANGELOG.txt', 'LICENSE.txt'].map((file) =>
      read(path.join(built, file)),
    );
    for (const text of texts) {
      assert.doesNotMatch(text, /[^\r]\n/, 'a line that does not end with CR LF');
    }
    const [readme, changelog] = texts;
    for (const shown of [
      'PowerShell',
      'Explorer',
      '%ERRORLEVEL%',
      '"Windows protected your PC"',
      '"Run anyway"',
    ]) {
      assert.ok(readme.includes(shown), shown);
    }
    assert.match(readme, /Get-FileHash antorder-.*-win64\.zip/);
    assert.deepEqual(named(readme, ['apt-get', 'SIGPIPE', 'qemu', './build']), []);
    assert.deepEqual(
      named(changelog, ['Debian', 'Linux', '.deb', 'tar.gz', 'preset', 'cmake']),
      [],
    );
  },
);
