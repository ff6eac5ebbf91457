#!/usr/bin/env bash
# Every tool answers --help with its usage on standard output and status 0.
set -euo pipefail
for tool in "$@"; do
    name=$(basename "$tool")
    if ! out=$("$tool" --help); then echo "$name --help failed"; exit 1; fi
    grep -q "usage: $name" <<<"$out" || { echo "$name --help printed no usage"; exit 1; }
done
echo "every tool answers --help"
