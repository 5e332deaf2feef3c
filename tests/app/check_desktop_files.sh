#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The desktop entry and the AppStream metainfo pass their validators, the metainfo even the
# pedantic checks but one: the id has capitals, since it names the desktop file and icons.
set -eu
share=$1
desktop-file-validate "$share/org.meridal.Meridal.desktop"
report=$(appstreamcli validate --no-net --pedantic "$share/org.meridal.Meridal.metainfo.xml") ||
  { echo "$report"; exit 1; }
if echo "$report" | grep -E '^[EWIP]: ' | grep -qv ' cid-contains-uppercase-letter '; then
  echo "$report"
  exit 1
fi
