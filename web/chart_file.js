// Writes the chart README.md shows, from the recorded report and the trace:
//   build/dev/antorder-trace |
//     node web/chart_file.js tests/expected_report.txt /dev/stdin > doc/scores.svg
import fs from 'node:fs';
import { chartSvg, parseReport } from './chart.js';

const report = fs.readFileSync(process.argv[2], 'latin1');
const [low, high] = JSON.parse(fs.readFileSync(process.argv[3], 'utf8')).instance.scoreRange;
process.stdout.write(chartSvg(parseReport(report), { low, high }));
