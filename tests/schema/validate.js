// Validates antorder-trace's documents against its JSON Schema, draft 2020-12, with Ajv. The
// schema tests import it; the package checks run it on a trace of each packed program:
//   antorder-trace --iterations 2 | node tests/schema/validate.js trace/antorder-trace.schema.json
// which ends with status 0 where the document on standard input is valid, and otherwise with
// status 1 and a line for each error.
import fs from 'node:fs';
import { fileURLToPath } from 'node:url';
import Ajv2020 from 'ajv/dist/2020.js';

// A function that answers the errors of a document against the schema in the file `schemaPath`,
// each as its place in the document and what is wrong there, or none.
export function traceValidator(schemaPath) {
  const validate = new Ajv2020({ allErrors: true, strict: true }).compile(
    JSON.parse(fs.readFileSync(schemaPath, 'utf8')),
  );
  return (document) =>
    validate(document)
      ? []
      : validate.errors.map(({ instancePath, message }) => `${instancePath || '/'}: ${message}`);
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const errors = traceValidator(process.argv[2])(JSON.parse(fs.readFileSync(0, 'utf8')));
  for (const error of errors) {
    console.error(`the trace does not follow ${process.argv[2]}: ${error}`);
  }
  process.exitCode = errors.length === 0 ? 0 : 1;
}
