#!/usr/bin/env bash
# Runs scripts/check_layers.sh on small source trees made here, each with one
# known breach or none, and checks its verdict and its words.
#   tests/scripts/check_layers_test.sh CHECK_LAYERS_SCRIPT
set -uo pipefail
check=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# A fake Qt include folder: which module holds which header.
mkdir -p "$work/qt/QtCore" "$work/qt/QtGui" "$work/qt/QtPrintSupport" "$work/qt/QtWidgets"
touch "$work/qt/QtCore/QString" "$work/qt/QtGui/QPainter" "$work/qt/QtPrintSupport/QPrinter" \
  "$work/qt/QtWidgets/QWidget"

# tree NAME FILE LINE...: a tree under $work/NAME holding FILE with the lines.
tree() {
  local root=$work/$1 file=$2
  shift 2
  mkdir -p "$root/archive" "$(dirname "$root/$file")"
  printf '%s\n' "$@" >>"$root/$file"
  echo "$root"
}

# expect NAME STATUS TEXT: the check of tree NAME exits STATUS and says TEXT.
expect() {
  local name=$1 status=$2 text=$3 output actual
  output=$("$check" "$work/$name" "$work/qt" 2>&1)
  actual=$?
  if [[ $actual != "$status" || $output != *"$text"* ]]; then
    echo "FAILED $name: exit $actual, expected $status with \"$text\"; said:"
    echo "$output"
    failures=$((failures + 1))
  else
    echo "ok $name"
  fi
}

tree clean archive/a.h '#include "archive/b.h"' '#include <vector>' >/dev/null
tree clean fileio/f.cpp '#include "archive/result.h"' >/dev/null
tree clean report/r.cpp '#include "archive/a.h"' '#include "fileio/f.h"' '#include "report/r.h"' >/dev/null
tree clean ui/w.cpp '#include <QWidget>' '#include "report/r.h"' >/dev/null
tree clean history_print/p.cpp '#include <QPainter>' '#include <QtPrintSupport/QPrinter>' \
  '#include "history/h.h"' >/dev/null
tree clean cli/m.cpp '#include "history_report/x.h"' >/dev/null
tree clean app/main.cpp '#include "ui/w.h"' '#include "history_ui/y.h"' >/dev/null
expect clean 0 "every include follows the layers"

tree up archive/a.cpp '#include "archive/b.h"' '  #  include "ui/tform_main.h"' >/dev/null
expect up 1 "archive/a.cpp:2: archive includes ui: ui/tform_main.h"

tree reportUp report/r.h '#include "cli/cli_options.h"' >/dev/null
expect reportUp 1 "report includes cli: cli/cli_options.h"

tree fileioUp fileio/f.cpp '#include "report/rtf_writer.h"' >/dev/null
expect fileioUp 1 "fileio includes report: report/rtf_writer.h"

tree historyFiles history/h.cpp '#include "fileio/atomic_write.h"' >/dev/null
expect historyFiles 1 "history includes fileio: fileio/atomic_write.h"

tree historyUp history/h.cpp '#include "report/report_builder.h"' >/dev/null
expect historyUp 1 "history includes report: report/report_builder.h"

tree sideways ui/w.cpp '#include "cli/cli_commands.h"' >/dev/null
expect sideways 1 "ui includes cli: cli/cli_commands.h"

tree appCli app/main.cpp '#include "cli/cli_commands.h"' >/dev/null
expect appCli 1 "app includes cli: cli/cli_commands.h"

tree qtInArchive archive/a.cpp '#include <QString>' >/dev/null
expect qtInArchive 1 "archive includes the Qt header QString"

tree qtInCli cli/c.cpp '#include <QtCore/QString>' >/dev/null
expect qtInCli 1 "cli includes the Qt header QtCore/QString"

tree widgetsInPrint history_print/p.cpp '#include <QWidget>' >/dev/null
expect widgetsInPrint 1 "history_print includes QWidget from QtWidgets"

tree unknownFolder tools/t.cpp '#include "archive/a.h"' >/dev/null
expect unknownFolder 1 "a folder without layer rules"

tree twoBreaches archive/a.cpp '#include "report/r.h"' '#include <QString>' >/dev/null
expect twoBreaches 1 "check_layers: 2 include(s) against the layers"

if ((failures > 0)); then
  echo "$failures case(s) failed"
  exit 1
fi
