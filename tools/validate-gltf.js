// Runs the glTF validator on one .gltf or .glb file, loading its external
// buffers and images from beside it. Prints the error and warning count and
// every error; exits 1 when there is an error, 2 when the validator could
// not run. Used by the tests; scripts/setup.sh installs the validator here.
'use strict';
const fs = require('fs');
const path = require('path');
const validator = require(path.join(__dirname, 'node_modules', 'gltf-validator'));

const file = process.argv[2];
if (!file) {
  console.error('usage: node validate-gltf.js FILE');
  process.exit(2);
}
const bytes = fs.readFileSync(file);
validator
  .validateBytes(new Uint8Array(bytes), {
    uri: path.basename(file),
    maxIssues: 100,
    externalResourceFunction: (uri) =>
      new Promise((resolve, reject) => {
        fs.readFile(path.resolve(path.dirname(file), decodeURIComponent(uri)), (error, data) => {
          if (error) reject(error.toString());
          else resolve(new Uint8Array(data));
        });
      }),
  })
  .then((report) => {
    const issues = report.issues;
    console.log(`errors ${issues.numErrors} warnings ${issues.numWarnings}`);
    for (const message of issues.messages) {
      if (message.severity <= 1) console.log(`${message.code} ${message.pointer || ''} ${message.message}`);
    }
    process.exit(issues.numErrors > 0 ? 1 : 0);
  })
  .catch((error) => {
    console.error(String(error));
    process.exit(2);
  });
