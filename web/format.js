// The formatting of the trace's numbers for the page: scores as the report prints them, values,
// a draw's fraction, lists in words and the heat map's shades. The page and node share
// it.
// A score as the report prints it: the single-precision value with six decimals, as "%f".
export function scoreText(score) {
  return Math.fround(score).toFixed(6);
}

// A single-precision value with `digits` significant digits, without trailing zeros.
export function valueText(value, digits = 4) {
  return String(Number(Math.fround(value).toPrecision(digits)));
}

// "=" where a value worked out from printed operands, `fromPrinted`, prints as the program's own,
// `exact`, does, with `digits` significant digits; "≈" where the operands' rounding shows.
export function approximately(fromPrinted, exact, digits = 4) {
  return valueText(fromPrinted, digits) === valueText(exact, digits) ? '=' : '≈';
}

// The fraction of the random limit a move's draw is, as the rule compared it with q0: with two
// decimals, or as many more as it takes for the text to fall on the side of q0 that the rule
// the program applied shows.
export function fractionText(move, q0) {
  let text = move.q.toFixed(2);
  for (let digits = 3; digits <= 6 && Number(text) < q0 !== (move.rule === 'trail'); ++digits) {
    text = move.q.toFixed(digits);
  }
  return text;
}

// A list of numbers in words: "none", "1", "1 and 2", "1, 2 and 3".
export function listText(numbers) {
  if (numbers.length === 0) {
    return 'none';
  }
  return numbers.length < 2
    ? numbers.join('')
    : `${numbers.slice(0, -1).join(', ')} and ${numbers[numbers.length - 1]}`;
}

// The numbers, from 1, of the entries of a list of yes/no flags that are 1.
export const numbersOf = (flags) => flags.flatMap((flag, k) => (flag === 1 ? [k + 1] : []));

// A tour as its tests, in order: "2 → 4 → 1 → 3 → 5 → 2".
export const tourText = (tour) => tour.join(' → ');

// The heat map's colour of a level on the run's one scale, `range`, its lowest and highest level:
// white at the lowest, a mid blue at the highest, and between them on a logarithmic scale, so that
// every level has one colour on every step, and an update that divides the levels shows. Dark
// text keeps more than 4.5:1 contrast on every one of them.
const HEAT_DARKEST = [106, 161, 220];
export function heatColour(level, range) {
  const { low, high } = range;
  const share = high > low ? Math.log(level / low) / Math.log(high / low) : 0;
  const weight = Math.min(1, Math.max(0, share));
  const channels = HEAT_DARKEST.map((channel) => Math.round(255 - (255 - channel) * weight));
  return `rgb(${channels.join(', ')})`;
}
