// The graph of the replay: where it puts the tests, the ants' markers and the arrows of their
// moves, and which arrows it draws strong.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import * as Graph from '../web/graph.js';

test('lays the graph out inside its width, the ants beside the tests and apart', () => {
  for (const width of [328, 736]) {
    const shape = Graph.layout(width, 5);
    assert.ok(shape.width <= width);
    for (let test = 1; test <= 5; ++test) {
      const spots = [1, 2, 3, 4, 5].map((ant) => Graph.antSpot(test, ant, 5, shape));
      for (const spot of spots) {
        assert.ok(spot.x - 9 >= 0 && spot.x + 9 <= shape.width, `x of a marker at test ${test}`);
        assert.ok(spot.y - 9 >= 0 && spot.y + 9 <= shape.height, `y of a marker at test ${test}`);
        const centre = shape.tests[test - 1];
        assert.ok(Math.hypot(spot.x - centre.x, spot.y - centre.y) >= 17 + 9, 'off the circle');
      }
      for (let a = 0; a < 5; ++a) {
        for (let b = a + 1; b < 5; ++b) {
          const apart = Math.hypot(spots[a].x - spots[b].x, spots[a].y - spots[b].y);
          assert.ok(apart >= 2 * 9, `ants ${a + 1} and ${b + 1} apart at test ${test}`);
        }
      }
    }
  }
});

test('keeps apart the arrows of ants on one edge, either way, and off the tests', () => {
  const shape = Graph.layout(328, 5);
  const middle = (arrow) => ({
    x: (arrow.start.x + arrow.end.x) / 2,
    y: (arrow.start.y + arrow.end.y) / 2,
  });
  const arrows = [1, 2, 3, 4, 5].flatMap((ant) => [
    Graph.edgeArrow(2, 4, ant, shape),
    Graph.edgeArrow(4, 2, ant, shape),
  ]);
  for (let a = 0; a < arrows.length; ++a) {
    for (const end of [arrows[a].start, arrows[a].end]) {
      for (const centre of shape.tests) {
        assert.ok(Math.hypot(end.x - centre.x, end.y - centre.y) > 17, 'an arrow ends off a test');
      }
    }
    for (let b = a + 1; b < arrows.length; ++b) {
      const [p, q] = [middle(arrows[a]), middle(arrows[b])];
      assert.ok(Math.hypot(p.x - q.x, p.y - q.y) >= 3, `arrows ${a} and ${b} apart`);
    }
  }
});

test('draws strong the move shown, the moves of a pass, or at the end the kept tour alone', () => {
  const tours = [
    [1, 3, 2],
    [2, 3, 5],
    [3, 2, 1],
    [4, 3, 5],
    [5, 1, 2],
  ];
  // Each ant's arrows, in the order of its moves, as S for strong and f for faint.
  const weights = (svg) =>
    tours.map((_, k) =>
      [...svg.matchAll(/<line [^>]*marker-end="url\(#arrow-(\d+)\)"\/>/g)]
        .filter((match) => Number(match[1]) === k + 1)
        .map(([line]) => {
          const strong = /stroke-width="3"/.test(line) && !/opacity/.test(line);
          assert.ok(strong || /stroke-width="1.5" .*opacity="0.35"/.test(line), line);
          return strong ? 'S' : 'f';
        })
        .join(''),
    );
  const during = Graph.graphSvg({ tours, tests: 5, kept: 0, width: 328 });
  assert.deepEqual(weights(during), ['fS', 'fS', 'fS', 'fS', 'fS'], 'the last move of each ant');
  const moving = Graph.graphSvg({ tours, tests: 5, kept: 0, moving: 2, width: 328 });
  assert.deepEqual(weights(moving), ['ff', 'fS', 'ff', 'ff', 'ff'], "ant 2's move alone");
  const end = Graph.graphSvg({ tours, tests: 5, kept: 4, width: 328 });
  assert.deepEqual(weights(end), ['ff', 'ff', 'ff', 'SS', 'ff'], "ant 4's tour");
});

// The tags of an SVG text that are not well formed: each must be a name and its attributes,
// each with a quoted value.
const malformed = (svg) =>
  [...svg.matchAll(/<[^>]*>/g)]
    .map(([tag]) => tag)
    .filter((tag) => !/^<\/?[\w-]+( [\w:-]+="[^"]*")* ?\/?>$/.test(tag));

// The attributes of each element `name` of an SVG text, as numbers where they are numbers, with
// the element's text as `text`.
const elementsOf = (svg, name) =>
  [...svg.matchAll(new RegExp(`<${name} ([^>]*?)/?>(?:([^<]*)</${name}>)?`, 'g'))].map((match) => ({
    ...Object.fromEntries(
      [...match[1].matchAll(/([\w-]+)="([^"]*)"/g)].map(([, key, value]) =>
        Number.isNaN(Number(value)) || value === '' ? [key, value] : [key, Number(value)],
      ),
    ),
    text: match[2],
  }));

test("reads as the tours it draws: each arrow from test to test in its ant's colour, each ant where it stands", () => {
  const tours = [
    [1, 3, 2],
    [2, 3, 5],
    [3, 2, 1],
    [4, 3],
    [5, 1, 2],
  ];
  const svg = Graph.graphSvg({ tours, tests: 5, kept: 0, linked: { from: 2, to: 4 }, width: 328 });
  assert.deepEqual(malformed(svg), [], 'every tag well formed');
  const [width, height] = /viewBox="0 0 (\S+) (\S+)"/.exec(svg).slice(1).map(Number);
  const inside = ({ x, y }) => x >= 0 && x <= width && y >= 0 && y <= height;
  const circles = elementsOf(svg, 'circle');
  const texts = elementsOf(svg, 'text');
  // The tests: a circle each, its number at its centre.
  const centres = circles.filter(({ r }) => r === 17).map(({ cx, cy }) => ({ x: cx, y: cy }));
  assert.equal(centres.length, 5);
  centres.forEach((centre, k) => {
    assert.ok(inside(centre), `test ${k + 1} inside the drawing`);
    const label = texts.find(({ x, y }) => x === centre.x && y === centre.y);
    assert.equal(label?.text, String(k + 1), `test ${k + 1}'s number on its circle`);
  });
  assert.ok(
    centres.every(({ y }) => y >= centres[0].y),
    'test 1 at the top',
  );
  assert.ok(centres[1].x > centres[0].x, 'and the others clockwise');
  const nearest = (point) => {
    const distances = centres.map(({ x, y }) => Math.hypot(point.x - x, point.y - y));
    const test = distances.indexOf(Math.min(...distances)) + 1;
    return { test, distance: distances[test - 1] };
  };
  // The arrows: from the rim of one test to the rim of the next on the ant's tour, in its colour,
  // with the arrowhead of that colour.
  const heads = Object.fromEntries(
    [...svg.matchAll(/<marker id="(arrow-\d+)"[^>]*><path[^>]*fill="([^"]+)"/g)].map((m) => [
      m[1],
      m[2],
    ]),
  );
  const arrows = elementsOf(svg, 'line').filter((line) => line['marker-end']);
  const drawn = tours.map(() => []);
  for (const line of arrows) {
    const ant = Number(/arrow-(\d+)/.exec(line['marker-end'])[1]);
    assert.equal(heads[`arrow-${ant}`], line.stroke, `ant ${ant}'s arrowhead in its colour`);
    const [from, to] = [
      { x: line.x1, y: line.y1 },
      { x: line.x2, y: line.y2 },
    ].map(nearest);
    for (const end of [from, to]) {
      assert.ok(end.distance > 17 && end.distance < 30, `an end of ant ${ant}'s arrow at a rim`);
    }
    const [a, b] = [centres[from.test - 1], centres[to.test - 1]];
    const span = Math.hypot(line.x2 - line.x1, line.y2 - line.y1);
    assert.ok(
      span < Math.hypot(b.x - a.x, b.y - a.y) - 2 * 17,
      'between the circles, not over them',
    );
    drawn[ant - 1].push(from.test, to.test);
  }
  tours.forEach((tour, k) =>
    assert.deepEqual(
      drawn[k],
      tour.slice(1).flatMap((to, q) => [tour[q], to]),
      `ant ${k + 1}`,
    ),
  );
  const colours = tours.map((_, k) => heads[`arrow-${k + 1}`]);
  assert.equal(new Set(colours).size, 5, 'a colour of its own for each ant');
  const patterns = tours.map(
    (_, k) => arrows.find((line) => line.stroke === colours[k])['stroke-dasharray'],
  );
  assert.equal(new Set(patterns).size, 5, 'and a line pattern of its own');
  for (const pattern of patterns) {
    assert.match(pattern ?? 'solid', /^(solid|\d+( \d+)+)$/, 'solid, or dashes and gaps');
  }
  // Each arrowhead's tip is the point it puts at the end of its line, and lies in its box.
  for (const marker of [...svg.matchAll(/<marker ([^>]*)><path d="([^"]*)"/g)]) {
    const [attributes] = elementsOf(`<marker ${marker[1]}/>`, 'marker');
    const corners = [...marker[2].matchAll(/(-?[\d.]+),(-?[\d.]+)/g)].map(([, x, y]) => [+x, +y]);
    const [, , boxWidth, boxHeight] = attributes.viewBox.split(' ').map(Number);
    const tip = corners.reduce((a, b) => (b[0] > a[0] ? b : a));
    assert.deepEqual(tip, [attributes.refX, attributes.refY], 'the tip at the line end');
    assert.ok(corners.every(([x, y]) => x >= 0 && x <= boxWidth && y >= 0 && y <= boxHeight));
    assert.equal(attributes.orient, 'auto', 'pointing along its line');
  }
  // The ants: a marker in the ant's colour, with its number, beside the test it stands on.
  const markers = circles.filter(({ r }) => r === 9);
  tours.forEach((tour, k) => {
    const marker = markers.find(({ fill }) => fill === colours[k]);
    assert.ok(marker, `ant ${k + 1}'s marker`);
    const at = { x: marker.cx, y: marker.cy };
    assert.ok(inside(at));
    assert.equal(nearest(at).test, tour.at(-1), `ant ${k + 1} beside test ${tour.at(-1)}`);
    const label = texts.find(({ x, y }) => x === at.x && y === at.y);
    assert.equal(label?.text, String(k + 1), `ant ${k + 1}'s number on its marker`);
  });
  assert.match(
    svg,
    /<desc [^>]*>ant 1 on test 2, ant 2 on test 5, ant 3 on test 1, ant 4 on test 3, ant 5 on test 2\.<\/desc>/,
  );
  // The edge a reader points at: a band from the centre of the one test to the other's.
  const band = elementsOf(svg, 'line').filter((line) => line.class === 'linked');
  assert.deepEqual(
    band.map(({ x1, y1, x2, y2 }) => [nearest({ x: x1, y: y1 }), nearest({ x: x2, y: y2 })]),
    [
      [
        { test: 2, distance: 0 },
        { test: 4, distance: 0 },
      ],
    ],
  );
  const unlinked = Graph.graphSvg({ tours, tests: 5, kept: 0, width: 328 });
  assert.equal(unlinked, svg.replace(/<line class="linked"[^>]*>\n/, ''), 'no band, nothing else');
});

test('is a picture of its own size, no taller than wide, named for screen readers', () => {
  const svg = Graph.graphSvg({ tours: [[1], [2]], tests: 5, kept: 0, width: 328 });
  const [root] = elementsOf(svg, 'svg');
  assert.equal(root.viewBox, `0 0 ${root.width} ${root.height}`);
  assert.ok(root.width <= 328 && root.height <= root.width, `${root.width} × ${root.height}`);
  assert.equal(root.role, 'img');
  for (const id of root['aria-labelledby'].split(' ')) {
    assert.match(svg, new RegExp(`<(title|desc) id="${id}">[^<]+</\\1>`), `the text ${id} names`);
  }
  assert.match(svg, /<title id="graph-title">Where the ants stand, and the edges they took</);
  assert.match(svg, /<defs>(<marker [^]*?<\/marker>){2}<\/defs>/, 'an arrowhead an ant');
  assert.match(svg, /<\/svg>$/);
});

test("draws each ant's legend in its colour and pattern, as its arrows", () => {
  const svg = Graph.graphSvg({
    tours: [
      [1, 2],
      [2, 3],
      [3, 4],
      [4, 5],
      [5, 1],
    ],
    tests: 5,
    kept: 0,
    width: 328,
  });
  const arrows = elementsOf(svg, 'line');
  for (let ant = 1; ant <= 5; ++ant) {
    const [line] = elementsOf(Graph.legendItem(ant), 'line');
    const arrow = arrows.find((a) => a['marker-end'] === `url(#arrow-${ant})`);
    assert.deepEqual(
      [line.stroke, line['stroke-dasharray']],
      [arrow.stroke, arrow['stroke-dasharray']],
      `ant ${ant}`,
    );
    assert.match(Graph.legendItem(ant), new RegExp(`</svg> ant ${ant}</li>$`));
    assert.deepEqual(malformed(Graph.legendItem(ant)), [], `ant ${ant}'s legend well formed`);
  }
});
