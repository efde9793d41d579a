// Runs the Khronos glTF validator on one .glb file. Prints the issue counts,
// then every error and warning; exits 0 only when there are neither, 77 when
// the validator is not installed (NODE_PATH must name its node_modules).
'use strict';
const fs = require('fs');

let validator;
try {
  validator = require('gltf-validator');
} catch (e) {
  console.log('gltf-validator is not installed: ' + e.message.split('\n')[0]);
  process.exit(77);
}

const file = process.argv[2];
validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {maxIssues: 0}).then((report) => {
  const issues = report.issues;
  console.log(`errors ${issues.numErrors} warnings ${issues.numWarnings} ` +
              `infos ${issues.numInfos} hints ${issues.numHints}`);
  for (const message of issues.messages) {
    if (message.severity <= 1) {
      console.log(`${message.severity === 0 ? 'error' : 'warning'} ${message.code} ` +
                  `${message.pointer || ''}: ${message.message}`);
    }
  }
  process.exit(issues.numErrors === 0 && issues.numWarnings === 0 ? 0 : 1);
}, (error) => {
  console.log('error: ' + error);
  process.exit(1);
});
