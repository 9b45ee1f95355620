// The formatting of the trace's numbers: scores as the report prints them, levels and values, a
// draw's fraction against q0, and the heat map's shades.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import * as Format from '../web/format.js';

test('writes scores as the report does, and levels with three significant digits', () => {
  for (const [score, text] of [
    [0.539999962, '0.540000'],
    [0.419999987, '0.420000'],
    [0.5, '0.500000'],
    [0.379999995, '0.380000'],
    [0.579999983, '0.580000'],
  ]) {
    assert.equal(Format.scoreText(score), text);
  }
  assert.equal(Format.levelText(0.0166666675), '0.0167');
  assert.equal(Format.levelText(1.7424637), '1.74');
  assert.equal(Format.valueText(0.00416666688), '0.004167');
  assert.equal(Format.valueText(12), '12');
});

test("writes a draw's fraction always on the side of q0 that its rule shows", () => {
  for (const [q, rule, text] of [
    [0.499984741, 'trail', '0.49998'],
    [0.500015259, 'faults', '0.50'],
    [0, 'trail', '0.00'],
    [1, 'faults', '1.00'],
  ]) {
    assert.equal(Format.fractionText({ q, rule }, 0.5), text);
  }
});

test("colours a table's heat map from white to blue, its text always 4.5:1 on it", () => {
  const table = [
    [0.0166666675, 0.0318],
    [0.0166666675, 0.0166666675],
  ];
  assert.equal(Format.heatColour(0.0166666675, table), 'rgb(255, 255, 255)');
  const darkest = Format.heatColour(0.0318, table).match(/-?\d+/g).map(Number);
  assert.deepEqual(darkest, [106, 161, 220], 'the highest level of the table is the darkest');
  // Relative luminance as WCAG defines it, and the contrast with the cells' text, #111.
  const luminance = (rgb) =>
    rgb
      .map((c) => c / 255)
      .map((c) => (c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4))
      .reduce((sum, c, k) => sum + [0.2126, 0.7152, 0.0722][k] * c, 0);
  const contrast = (luminance(darkest) + 0.05) / (luminance([17, 17, 17]) + 0.05);
  assert.ok(contrast >= 4.5, `contrast ${contrast}`);
  // The table an iteration starts from may have every level the same: every cell white.
  const even = [[0.0166666675, 0.0166666675]];
  assert.equal(Format.heatColour(0.0166666675, even), 'rgb(255, 255, 255)');
});

test('lists numbers in words, none among them', () => {
  for (const [numbers, text] of [
    [[], 'none'],
    [[4], '4'],
    [[1, 5], '1 and 5'],
    [[1, 2, 5], '1, 2 and 5'],
  ]) {
    assert.equal(Format.listText(numbers), text);
  }
});
