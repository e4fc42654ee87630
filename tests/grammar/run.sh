#!/usr/bin/env bash
# The editor grammars' checks: installs the grammar test tool from the npm
# registry (pinned in editors/vscode/package-lock.json) when it is missing,
# then runs check.py.  usage: run.sh SOURCE_DIR
set -eu
src=$(cd "${1:?usage: run.sh SOURCE_DIR}" && pwd)
if [ ! -x "$src/editors/vscode/node_modules/.bin/vscode-tmgrammar-test" ]; then
  (cd "$src/editors/vscode" && npm ci --no-audit --no-fund >/dev/null)
fi
exec python3 "$src/tests/grammar/check.py" "$src"
