#!/usr/bin/env bash
# Starts a private cupsd (its own folders and a socket in a temporary folder, no network, no
# sharing) with a CUPS-PDF queue, runs the real-queue test of the report pages against it, and
# stops it again. Where cupsd or the queue cannot be set up, the test is run with the reason and
# skips itself. Usage: cups-pdf-queue.sh <tb_tests_reports>
set -uo pipefail
tests="$1"
base=$(mktemp -d /tmp/tb-cups.XXXXXX)
chmod 755 "$base"
pid=""
cleanup() {
    if [[ -n "$pid" ]]; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; fi
    rm -rf "$base"
    if [[ -n "${title_dir:-}" ]]; then find "$title_dir" -name "tbcups*.pdf" -delete 2>/dev/null; fi
}
trap cleanup EXIT

skip() {
    echo "cups-pdf-queue: $1" >&2
    TB_CUPS_UNAVAILABLE="$1" "$tests" --gtest_filter=CupsQueue.*
    exit $?
}

command -v cupsd > /dev/null || skip "cupsd is not installed (Debian package cups)"
[[ -x /usr/lib/cups/backend/cups-pdf ]] || skip "the cups-pdf backend is missing (printer-driver-cups-pdf)"
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd
[[ -r "$ppd" ]] || skip "the CUPS-PDF driver description is missing"
[[ $(id -u) -eq 0 ]] || skip "the cups-pdf backend runs only under a cupsd started as root"

mkdir -p "$base"/{spool,cache,state,tmp,log,ppd}
chmod 755 "$base"/{spool,cache,state,log,ppd}
chmod 1777 "$base/tmp"
socket="$base/cups.sock"
cat > "$base/cupsd.conf" <<CONF
Listen $socket
Browsing No
DefaultShared No
LogLevel info
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
CONF
cat > "$base/cups-files.conf" <<CONF
ServerRoot $base
RequestRoot $base/spool
CacheDir $base/cache
StateDir $base/state
TempDir $base/tmp
ErrorLog $base/log/error_log
AccessLog $base/log/access_log
PageLog $base/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
User lp
Group lp
SystemGroup root
Sandboxing Relaxed
CONF
cupsd -f -c "$base/cupsd.conf" -s "$base/cups-files.conf" > "$base/log/stdout" 2>&1 &
pid=$!
export CUPS_SERVER="$socket"
for _ in $(seq 50); do
    [[ -S "$socket" ]] && lpstat -r > /dev/null 2>&1 && break
    if ! kill -0 "$pid" 2>/dev/null; then
        pid=""
        skip "cupsd did not start: $(tail -c 300 "$base/log/stdout" "$base/log/error_log" 2>/dev/null | tr '\n' ' ')"
    fi
    sleep 0.1
done
lpstat -r > /dev/null 2>&1 || skip "cupsd does not answer on its socket"
queue=TbReportPdf
# pdftocairo keeps the fonts' character maps through the PostScript step, so the PDF the queue
# writes still holds searchable text.
lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd" -o pdftops-renderer-default=pdftocairo > "$base/log/lpadmin" 2>&1 ||
    skip "the CUPS-PDF queue could not be made: $(cat "$base/log/lpadmin")"
# The backend writes into the job owner's home ("Out ${HOME}/PDF" in /etc/cups/cups-pdf.conf);
# anonymous jobs go to its spool.
title_dir="$(getent passwd "$(id -un)" | cut -d: -f6)/PDF"
export TB_CUPS_QUEUE="$queue"
export TB_CUPS_OUTPUT="$title_dir"
mkdir -p "$title_dir"
"$tests" --gtest_filter=CupsQueue.*
status=$?
if [[ $status -ne 0 ]]; then
    echo "--- cupsd error log ---" >&2
    grep -v "^W" "$base/log/error_log" | tail -n 30 >&2 2>/dev/null; lpstat -W all -l -o >&2
fi
exit $status
