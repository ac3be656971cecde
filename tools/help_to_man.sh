#!/usr/bin/env bash
# Writes a manual page for quillix-report from its own --help, so that the two never differ.
#   help_to_man.sh QUILLIX_REPORT OUTPUT
set -euo pipefail
program=$1
output=$2
escape() { sed -e 's/\\/\\e/g' -e 's/^\./\\\&./' -e "s/^'/\\\\\\&'/" -e 's/-/\\-/g'; }
help=$("$program" --help)
version=$("$program" --version | awk '{print $2}')
{
  echo ".TH QUILLIX-REPORT 1 \"December 2026\" \"Quillix $version\" \"User Commands\""
  echo ".SH NAME"
  echo "quillix-report \\- walk drives or folders and report on every file"
  echo ".SH SYNOPSIS"
  sed -n 's/^Usage: [^ ]*/quillix-report/p' <<< "$help" | escape | sed 's/^/.B /'
  echo ".SH DESCRIPTION"
  awk 'NR == 2, /^$/' <<< "$help" | sed '/^$/d' | escape
  section=""
  while IFS= read -r line; do
    case "$line" in
      Options:) section=options; echo ".SH OPTIONS"; continue ;;
      Arguments:) section=arguments; echo ".SH ARGUMENTS"; continue ;;
    esac
    [ -n "$section" ] || continue
    [ -n "$line" ] || continue
    # "  -x, --name <value>   What it does." : the option, then its text.
    name=$(sed -E 's/^ +([^ ].*[^ ]) {2,}.*$/\1/' <<< "$line")
    text=$(sed -E 's/^ +[^ ].*[^ ] {2,}//' <<< "$line")
    if [ "$name" != "$line" ] && [ "$text" != "$line" ]; then
      echo ".TP"
      echo ".B $(escape <<< "$name")"
      escape <<< "$text"
    else
      sed -E 's/^ +//' <<< "$line" | escape
    fi
  done <<< "$help"
  cat <<'TAIL'
.SH EXIT STATUS
0 done; 1 a target could not be entered, or the history could not be read; 2 bad input,
nothing walked; 3 the report was printed but \-\-save could not keep the run; 130 interrupted.
.SH FILES
.TP
.I ~/.local/share/Quillix/history.sqlite
The kept runs, shared with the statistics window.
.SH SEE ALSO
.BR quillix (1),
.BR du (1)
TAIL
} > "$output"
