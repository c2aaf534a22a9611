#!/usr/bin/env bash
# The web page's tests in headless chromium: BUILD holds velmora-capture (the desktop's frames to
# compare with), WEB the built page. Installs puppeteer-core from the npm registry into
# web/test/node_modules as the lock file pins it, once. Every step is bounded in time.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
web=${2:-build-web}
for tool in node npm chromium; do
    command -v "$tool" > /dev/null || { echo "web-test: $tool not found (make deps installs it)" >&2; exit 1; }
done
if [ ! -f web/test/node_modules/.package-lock.json ] ||
    [ web/test/package-lock.json -nt web/test/node_modules/.package-lock.json ]; then
    (cd web/test && timeout 300 npm ci --no-audit --no-fund --loglevel=error)
fi
timeout 900 node web/test/browser_test.mjs "$web" "$build/tools/capture/velmora-capture"
