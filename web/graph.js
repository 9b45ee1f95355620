// The graph of the replay: the tests on a circle and each ant's path between them, as an SVG
// drawing. Every edge an ant took is an arrow, offset to the side by ant, so that ants that take
// the same edge, either way, stay apart; the edges of the pass shown are drawn strong and the
// earlier ones faint, or at an iteration's end the kept ant's tour strong. The page and node
// share it.

// Each ant's colour and line pattern, from ant 1: four hues and a dark grey that stay apart for
// people with a red, green or blue colour-vision deficiency, each dark enough for white text on
// it. A colony of more ants takes them again.
const ANT_COLOURS = ['#0072b2', '#b34e00', '#007a5a', '#a8457e', '#333'];
const ANT_DASHES = ['', '8 3', '2 3', '9 3 2 3', '4 4'];
const colourOf = (ant) => ANT_COLOURS[(ant - 1) % ANT_COLOURS.length];
const dashOf = (ant) => ANT_DASHES[(ant - 1) % ANT_DASHES.length];

// Sizes in CSS pixels: a test's circle, an ant's marker, the gap between the paths of two ants
// beside each other, and an arrowhead's length.
const TEST_RADIUS = 17;
const MARKER_RADIUS = 9;
const PATH_GAP = 3.5;
const ARROW = 7;

// Where the graph of a given width puts `tests` tests: on a circle, test 1 at the top and the
// others clockwise, with room around each for the ants that stand on it.
export function layout(width, tests) {
  const size = Math.min(width, 400);
  const height = Math.round(size * 0.86);
  const radius = size * 0.3;
  const centre = { x: size / 2, y: height / 2 + 8 };
  const points = Array.from({ length: tests }, (_, k) => {
    const angle = -Math.PI / 2 + (2 * Math.PI * k) / tests;
    return { x: centre.x + radius * Math.cos(angle), y: centre.y + radius * Math.sin(angle) };
  });
  return { width: size, height, tests: points };
}

// Where the marker of ant `ant` of `ants` goes when it stands on test `test`: outside the
// test's circle, in a direction of the ant's own, so that neither the test's number nor another
// ant hides it.
export function antSpot(test, ant, ants, shape) {
  const angle = -Math.PI / 2 + (2 * Math.PI * (ant - 1)) / ants;
  const centre = shape.tests[test - 1];
  const distance = TEST_RADIUS + MARKER_RADIUS + 1;
  return { x: centre.x + distance * Math.cos(angle), y: centre.y + distance * Math.sin(angle) };
}

// The arrow of ant `ant` along the edge from test `from` to test `to`: from the rim of the one
// circle to the rim of the other, moved to the right of its direction by the ant's own share of
// the gap, so that the ants on one edge lie side by side, and those that take it the other way
// on its other side.
export function edgeArrow(from, to, ant, shape) {
  const [a, b] = [shape.tests[from - 1], shape.tests[to - 1]];
  const length = Math.hypot(b.x - a.x, b.y - a.y);
  const along = { x: (b.x - a.x) / length, y: (b.y - a.y) / length };
  const side = (ant - 0.5) * PATH_GAP;
  const at = (point, distance) => ({
    x: point.x + distance * along.x - side * along.y,
    y: point.y + distance * along.y + side * along.x,
  });
  return { start: at(a, TEST_RADIUS + 2), end: at(b, -(TEST_RADIUS + 2)) };
}

const fixed = (value) => value.toFixed(1);

// The arrowheads, one in each ant's colour.
function arrowheads(ants) {
  return Array.from({ length: ants }, (_, k) => {
    const ant = k + 1;
    return (
      `<marker id="arrow-${ant}" viewBox="0 0 ${ARROW} ${ARROW}" refX="${ARROW}" ` +
      `refY="${ARROW / 2}" markerWidth="${ARROW}" markerHeight="${ARROW}" ` +
      'markerUnits="userSpaceOnUse" orient="auto">' +
      `<path d="M0,0L${ARROW},${ARROW / 2}L0,${ARROW}z" ` +
      `fill="${colourOf(ant)}"/></marker>`
    );
  });
}

// One arrow of an ant's path, strong or faint.
function arrowSvg(arrow, ant, strong) {
  const dash = dashOf(ant) ? ` stroke-dasharray="${dashOf(ant)}"` : '';
  return (
    `<line x1="${fixed(arrow.start.x)}" y1="${fixed(arrow.start.y)}" ` +
    `x2="${fixed(arrow.end.x)}" y2="${fixed(arrow.end.y)}" stroke="${colourOf(ant)}" ` +
    `stroke-width="${strong ? 3 : 1.5}"${dash}${strong ? '' : ' opacity="0.35"'} ` +
    `marker-end="url(#arrow-${ant})"/>`
  );
}

// Each ant's path as arrows: at an iteration's end, the kept ant's strong; while an ant moves,
// its move alone; otherwise the last edge of each path, the pass shown, strong.
function pathsSvg(tours, kept, moving, shape) {
  return tours.flatMap((tour, k) => {
    const ant = k + 1;
    return tour.slice(1).map((to, q) => {
      const last = q === tour.length - 2;
      const strong = kept > 0 ? ant === kept : last && (moving === 0 || ant === moving);
      return arrowSvg(edgeArrow(tour[q], to, ant, shape), ant, strong);
    });
  });
}

// The edge a reader points at elsewhere on the page, from test to test, under the paths: a wide
// band between the two tests, or nothing.
function linkedSvg(linked, shape) {
  if (!linked) {
    return [];
  }
  const [a, b] = [shape.tests[linked.from - 1], shape.tests[linked.to - 1]];
  return [
    `<line class="linked" x1="${fixed(a.x)}" y1="${fixed(a.y)}" x2="${fixed(b.x)}" ` +
      `y2="${fixed(b.y)}" stroke="#f2c200" stroke-width="10" stroke-linecap="round"/>`,
  ];
}

// The tests: circles with their numbers, over the paths' ends.
function testsSvg(shape) {
  return shape.tests.map(
    (test, k) =>
      `<circle cx="${fixed(test.x)}" cy="${fixed(test.y)}" r="${TEST_RADIUS}" fill="#fff" ` +
      `stroke="#333" stroke-width="1.5"/><text x="${fixed(test.x)}" y="${fixed(test.y)}" ` +
      `dy="0.35em" text-anchor="middle" font-size="14" fill="#222">${k + 1}</text>`,
  );
}

// Each ant's number in its colour, beside the test it stands on.
function markersSvg(tours, shape) {
  return tours.map((tour, k) => {
    const at = antSpot(tour[tour.length - 1], k + 1, tours.length, shape);
    return (
      `<circle cx="${fixed(at.x)}" cy="${fixed(at.y)}" r="${MARKER_RADIUS}" ` +
      `fill="${colourOf(k + 1)}" stroke="#fff" stroke-width="1.5"/><text x="${fixed(at.x)}" ` +
      `y="${fixed(at.y)}" dy="0.35em" text-anchor="middle" font-size="11" font-weight="700" ` +
      `fill="#fff">${k + 1}</text>`
    );
  });
}

// The graph, `width` pixels wide, of `tests` tests and the ants' tours so far, `tours`, each a
// list of tests from 1; `kept` is the kept ant at an iteration's end, and 0 during its passes;
// `moving` the ant whose move is shown, or 0 for every ant's last; `linked` an edge
// { from, to } the reader points at, or null.
export function graphSvg({ tours, tests, kept, moving = 0, linked = null, width }) {
  const shape = layout(width, tests);
  const where = tours.map((tour, k) => `ant ${k + 1} on test ${tour[tour.length - 1]}`);
  return [
    `<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 ${shape.width} ${shape.height}" ` +
      `width="${shape.width}" height="${shape.height}" role="img" ` +
      'aria-labelledby="graph-title graph-desc" font-family="sans-serif">',
    '<title id="graph-title">Where the ants stand, and the edges they took</title>',
    `<desc id="graph-desc">${where.join(', ')}.</desc>`,
    `<defs>${arrowheads(tours.length).join('')}</defs>`,
    ...linkedSvg(linked, shape),
    ...pathsSvg(tours, kept, moving, shape),
    ...testsSvg(shape),
    ...markersSvg(tours, shape),
    '</svg>',
  ].join('\n');
}

// The legend of one ant: its line, in its colour and pattern, and its number.
export function legendItem(ant) {
  const dash = dashOf(ant) ? ` stroke-dasharray="${dashOf(ant)}"` : '';
  return (
    `<li><svg width="30" height="12" aria-hidden="true"><line x1="1" y1="6" x2="29" y2="6" ` +
    `stroke="${colourOf(ant)}" stroke-width="2.5"${dash}/></svg> ant ${ant}</li>`
  );
}
