#!/usr/bin/env bash
# Installs what is needed, builds, and prints the sample ledger report on the built-in
# "Papyra PDF" printer, then says where the PDF is.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
out=${PAPYRA_PDF_DIR:-$HOME/Documents/Papyra}
export PAPYRA_PDF_DIR=$out
# No printer configured for this user: a registry naming "Papyra PDF" picks it from the CUPS
# queues, whatever the machine has.
reg=$(mktemp)
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\Printer]\r\n"DeviceName"="Papyra PDF"\r\n' >"$reg"
stamp=$(mktemp)
trap 'rm -f "$reg" "$stamp"' EXIT
PAPYRA_HKCU=$reg build/papyra "$PWD/samples/ledger.prt" x P
pdf=$(find "$out" -maxdepth 1 -name 'ledger*.pdf' -newer "$stamp" 2>/dev/null | head -n 1)
if [ -z "$pdf" ]; then
  echo "papyra printed nothing into $out" >&2
  exit 1
fi
echo "Printed samples/ledger.prt on \"Papyra PDF\": $pdf"
