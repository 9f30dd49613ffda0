#!/usr/bin/env bash
# The manual page and the Bash completion name exactly the long options that
# `rara-cli --help` lists (and the same short forms), so that neither drifts.
# Usage: check_options.sh RARA_CLI MAN_PAGE COMPLETION
set -euo pipefail
cli=$1 man=$2 completion=$3

help_text=$("$cli" --help)
# Option lines of the usage text: "  -N, --degree N" or "      --kmod4".
from_help=$(grep -oE '^ +(-[A-Za-z], )?--[a-z][a-z0-9-]*' <<<"$help_text" | grep -oE -- '-[A-Za-z]\b|--[a-z][a-z0-9-]*' | sort -u)
# Option headings of the manual page: the line after each .TP, with \- for -.
from_man=$(awk 'tp { print; tp = 0 } /^\.TP/ { tp = 1 }' "$man" | sed 's/\\-/-/g' |
           grep -E '^\.B' | grep -oE -- '(^| |")-[A-Za-z]\b|--[a-z][a-z0-9-]*' | tr -d ' "' | sort -u)
# Long options offered by the completion.
from_completion=$(sed -n '/local opts=/,/"$/p' "$completion" | grep -oE -- '--[a-z][a-z0-9-]*' | sort -u)

status=0
if [[ -z "$from_help" ]]; then echo "no options found in --help" >&2; exit 1; fi
if [[ "$from_help" != "$from_man" ]]; then
  echo "manual page and --help differ (< --help, > manual page):" >&2
  diff <(echo "$from_help") <(echo "$from_man") >&2 || true
  status=1
fi
long_help=$(grep -- '^--' <<<"$from_help")
if [[ "$long_help" != "$from_completion" ]]; then
  echo "completion and --help differ (< --help, > completion):" >&2
  diff <(echo "$long_help") <(echo "$from_completion") >&2 || true
  status=1
fi
exit $status
