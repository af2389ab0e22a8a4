#!/usr/bin/env bash
# Tests name the temporary folder only through tests/scratch_files.h, whose
# names carry the process id: a fixed name there fails a test run whenever
# another one shares the machine.
set -u
cd "$(dirname "$0")"
found=$(grep -rnE 'temp_directory_path|TempDir\(|mkdtemp|mkstemp|tmpnam|tmpfile\(|/tmp\b' \
  --include='*.cpp' --include='*.h' --include='*.sh' --exclude-dir=data \
  --exclude=scratch_files.h --exclude="$(basename "$0")" .)
if [ -n "$found" ]; then
  echo "These name the temporary folder; use TestUtil::ScratchPath or ScratchFolder instead:"
  echo "$found"
  exit 1
fi
echo "no test names the temporary folder itself"
