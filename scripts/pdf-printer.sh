#!/usr/bin/env bash
# Starts CUPS when it is not running and adds the CUPS-PDF queue "KalvanePDF".
# Used by run.sh (with the user's consent) and by test.sh.
set -euo pipefail
. "$(dirname "$0")/common.sh"

if ! lpstat -r 2>/dev/null | grep -q "is running"; then
    if command -v systemctl >/dev/null 2>&1 && systemctl is-system-running >/dev/null 2>&1; then
        as_root systemctl start cups
    else
        as_root /usr/sbin/cupsd
    fi
    for _ in $(seq 1 50); do
        lpstat -r 2>/dev/null | grep -q "is running" && break
        sleep 0.2
    done
fi

if ! lpstat -p KalvanePDF >/dev/null 2>&1; then
    ppd=$(find /usr/share/ppd/cups-pdf -name 'CUPS-PDF*.ppd' 2>/dev/null | head -n 1)
    if [ -n "$ppd" ]; then
        as_root lpadmin -p KalvanePDF -E -v cups-pdf:/ -P "$ppd"
    else
        as_root lpadmin -p KalvanePDF -E -v cups-pdf:/ -m raw
    fi
    as_root lpadmin -d KalvanePDF
fi
lpstat -p KalvanePDF
