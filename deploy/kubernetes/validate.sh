#!/bin/sh
# Checks the manifests of this folder against the Kubernetes API's schema
# (required fields, types, enumerations) without a cluster, with the schema
# the npm package kubernetes-models carries. Unknown field names are not
# caught by it: `kubectl apply --dry-run=server -f deploy/kubernetes/` on a
# cluster catches those too.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=${1:-/tmp/tabulon-k8s-validate}
mkdir -p "$WORK"
cd "$WORK"
[ -d node_modules/kubernetes-models ] || npm install --silent --no-audit --no-fund kubernetes-models js-yaml >/dev/null
cat >validate.js <<'JS'
const fs = require('fs');
const yaml = require('js-yaml');
const { Job } = require('kubernetes-models/batch/v1');
let bad = 0;
for (const file of process.argv.slice(2))
  for (const doc of yaml.loadAll(fs.readFileSync(file, 'utf8'))) {
    try {
      new Job(doc).validate();
      console.log(`${file}: ${doc.kind} ${doc.metadata.name}: valid`);
    } catch (e) {
      bad++;
      console.log(`${file}: INVALID: ${e.message}`);
    }
  }
process.exit(bad ? 1 : 0);
JS
node validate.js "$HERE"/*.yaml
