// Runs the Khronos glTF validator on each file named; prints the error count and the first
// errors, and exits 1 when any file has an error. Used by the tests when tools/node_modules is
// installed (scripts/setup.sh).
const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

async function main() {
  let failed = false;
  for (const file of process.argv.slice(2)) {
    const data = new Uint8Array(fs.readFileSync(file));
    const report = await validator.validateBytes(data, {
      uri: path.basename(file),
      maxIssues: 0,
      externalResourceFunction: (uri) =>
        new Promise((resolve, reject) => {
          fs.readFile(path.join(path.dirname(file), decodeURIComponent(uri)), (error, bytes) =>
            error ? reject(error.toString()) : resolve(new Uint8Array(bytes)));
        }),
    });
    const issues = report.issues;
    console.log(`${file}: ${issues.numErrors} error(s), ${issues.numWarnings} warning(s)`);
    for (const message of issues.messages.filter((m) => m.severity === 0).slice(0, 5)) {
      console.log(`  ${message.code} ${message.pointer || ''}: ${message.message}`);
    }
    if (issues.numErrors > 0) failed = true;
  }
  process.exit(failed ? 1 : 0);
}

main().catch((error) => {
  console.error(error);
  process.exit(2);
});
