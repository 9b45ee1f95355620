// Runs antorder in the page. The program's standard input is at its end from the start, so its
// wait for Enter ends at once, as at the end of input; its standard output is kept byte for
// byte. Once the program has ended, the page shows the report, its chart and the final ordering.
'use strict';

const reportBytes = [];

// Shows what the program printed: the report as it is, and, when it is whole, its chart and
// the ordering the last iteration kept.
function showRun() {
  const report = new TextDecoder().decode(Uint8Array.from(reportBytes));
  document.getElementById('report').textContent = report;
  const status = document.getElementById('status');
  try {
    const run = parseReport(report);
    document.getElementById('chart').innerHTML = chartSvg(run);
    document.getElementById('final').textContent = orderingText(run.finalTour);
    status.hidden = true;
  } catch (error) {
    status.textContent = `antorder did not print a whole report (${error.message}).`;
  }
}

// The program's runtime reads its settings from this object.
var Module = {
  stdin: () => null,
  stdout: (byte) => reportBytes.push(byte),
  stderr: () => {},
  postRun: [showRun],
};
