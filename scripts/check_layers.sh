#!/usr/bin/env bash
# Checks that every folder of src/ includes only the layers below it:
#   scripts/check_layers.sh [SRC_DIR] [QT_INCLUDE_DIR]
# A project include names its folder ("archive/view_outcome.h"); its folder
# must be allowed for the folder that includes it. Folders that hold no Qt
# include no Qt header; history_print only Qt Core, Gui, PrintSupport and Svg ones
# (told apart through QT_INCLUDE_DIR, the folder holding QtCore/, QtGui/...).
# A folder that does not exist yet passes. Prints each breach as
# FILE:LINE: text, and exits 1 when there is one.
set -euo pipefail

src=${1:-"$(dirname "$0")/../src"}
qtIncludeDir=${2:-}

# The project folders each folder may include, itself among them.
declare -A allowed=(
  [archive]="archive"
  [fileio]="archive fileio"
  [modules]="archive modules"
  [report]="archive fileio report"
  [history]="archive modules history"
  [history_report]="archive fileio modules report history history_report"
  [history_print]="archive fileio modules report history history_report history_print"
  [ui]="archive fileio report ui"
  [history_ui]="archive fileio modules report history history_report history_print ui history_ui"
  [cli]="archive fileio modules report history history_report history_print cli"
  [app]="archive fileio modules report history history_report history_print ui history_ui app"
  [history_app]="archive fileio modules report history history_report history_print ui history_ui history_app"
)
# Qt in each folder: none, the non-widget modules only, or any.
declare -A qt=(
  [archive]=none [fileio]=none [modules]=none [report]=none [history]=none [history_report]=none [cli]=none
  [history_print]=print
  [ui]=any [history_ui]=any [app]=any [history_app]=any
)
printModules=" QtCore QtGui QtPrintSupport QtSvg "

breaches=0
breach() {
  echo "$1: $2"
  breaches=$((breaches + 1))
}

# The Qt module that holds `header` ("QLabel", "QtWidgets/QLabel"), or "".
qtModuleOf() {
  local header=$1
  if [[ $header == Qt*/* ]]; then
    echo "${header%%/*}"
    return
  fi
  [[ -n $qtIncludeDir ]] || return 0
  local found
  for found in "$qtIncludeDir"/Qt*/"$header"; do
    if [[ -e $found ]]; then
      basename "$(dirname "$found")"
      return
    fi
  done
}

for folder in "$src"/*/; do
  layer=$(basename "$folder")
  if [[ -z ${allowed[$layer]+set} ]]; then
    breach "$folder" "a folder without layer rules; add it to scripts/check_layers.sh"
    continue
  fi
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    text=${rest#*:}
    header=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]+)[>"].*/\1/' <<<"$text")
    first=${header%%/*}
    if [[ $header == */* && -n ${allowed[$first]+set} ]]; then
      if [[ " ${allowed[$layer]} " != *" $first "* ]]; then
        breach "$file:$line" "$layer includes $first: $header"
      fi
    elif [[ $header =~ ^Q[A-Za-z0-9_]*(/|$) ]]; then
      case ${qt[$layer]} in
        none) breach "$file:$line" "$layer includes the Qt header $header" ;;
        print)
          module=$(qtModuleOf "$header")
          if [[ -z $module ]]; then
            [[ -n $qtIncludeDir ]] && breach "$file:$line" "$header is no Qt header found in $qtIncludeDir"
          elif [[ $printModules != *" $module "* ]]; then
            breach "$file:$line" "$layer includes $header from $module (Core, Gui, PrintSupport, Svg only)"
          fi
          ;;
      esac
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' "$folder" \
    --include='*.h' --include='*.hpp' --include='*.cpp' --include='*.cc' || true)
done

if ((breaches > 0)); then
  echo "check_layers: $breaches include(s) against the layers"
  exit 1
fi
echo "check_layers: every include follows the layers"
