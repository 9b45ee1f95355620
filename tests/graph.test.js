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
  const strong = (svg) => (svg.match(/stroke-width="3"/g) || []).length;
  const faint = (svg) => (svg.match(/opacity="0\.35"/g) || []).length;
  const during = Graph.graphSvg({ tours, tests: 5, kept: 0, width: 328 });
  assert.equal(strong(during), 5, 'the last move of each ant');
  assert.equal(faint(during), 5, 'the moves before');
  assert.equal((during.match(/marker-end=/g) || []).length, 10, 'every move an arrow');
  const moving = Graph.graphSvg({ tours, tests: 5, kept: 0, moving: 2, width: 328 });
  assert.equal(strong(moving), 1, "ant 2's move alone");
  assert.match(moving, /stroke="#b34e00" stroke-width="3"/, "in ant 2's colour");
  const end = Graph.graphSvg({ tours, tests: 5, kept: 4, width: 328 });
  assert.equal(strong(end), 2, "ant 4's moves");
  assert.match(end, /stroke="#a8457e" stroke-width="3"/, "in ant 4's colour");
  assert.equal(faint(end), 8);
});
