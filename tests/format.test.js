// The formatting of the trace's numbers: scores as the report prints them, values, a draw's
// fraction against q0, "=" or "≈" for a sum worked out from printed values, and the heat map's
// shades.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import * as Format from '../web/format.js';

test('writes scores as the report does, and values with four significant digits', () => {
  for (const [score, text] of [
    [0.539999962, '0.540000'],
    [0.419999987, '0.420000'],
    [0.5, '0.500000'],
    [0.379999995, '0.380000'],
    [0.579999983, '0.580000'],
  ]) {
    assert.equal(Format.scoreText(score), text);
  }
  assert.equal(Format.valueText(0.0166666675), '0.01667');
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

test("colours a level on the run's one scale from white to blue, its text always 4.5:1 on it", () => {
  const range = { low: 0.0166666675, high: 2.10921049 };
  assert.equal(Format.heatColour(range.low, range), 'rgb(255, 255, 255)');
  const darkest = Format.heatColour(range.high, range).match(/-?\d+/g).map(Number);
  assert.deepEqual(darkest, [106, 161, 220], 'the highest level of the run is the darkest');
  // Relative luminance as WCAG defines it, and the contrast with the cells' text, #111.
  const luminance = (rgb) =>
    rgb
      .map((c) => c / 255)
      .map((c) => (c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4))
      .reduce((sum, c, k) => sum + [0.2126, 0.7152, 0.0722][k] * c, 0);
  const contrast = (luminance(darkest) + 0.05) / (luminance([17, 17, 17]) + 0.05);
  assert.ok(contrast >= 4.5, `contrast ${contrast}`);
  // A level a local update divides by five is lighter, as far on the scale as the factor is.
  const [high, fifth] = [1.5, 0.3].map((level) => Format.heatColour(level, range));
  assert.notEqual(high, fifth, 'evaporation shows');
  // A run whose levels are all the same: every cell white.
  assert.equal(Format.heatColour(0.5, { low: 0.5, high: 0.5 }), 'rgb(255, 255, 255)');
});

test('says "=" where printed operands give the printed result, and "≈" where rounding shows', () => {
  // 0.01921 × 0.2 + 0.01667 × 0.8 = 0.017178 by hand, where the program's own level is 0.01717.
  assert.equal(Format.approximately(0.01921 * 0.2 + 0.01667 * 0.8, 0.0171744), '≈');
  assert.equal(Format.approximately(1.603 * 0.2 + 0.01667 * 0.8, 0.333933), '=');
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
