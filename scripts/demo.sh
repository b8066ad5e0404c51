#!/usr/bin/env bash
# Runs the program against the simulated instrument.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "The desktop program is not built yet. This command will install what is missing, build the"
echo "program, start the simulated instrument on a pseudo-terminal and open the program against it."
