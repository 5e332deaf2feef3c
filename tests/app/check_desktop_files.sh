#!/bin/sh
# The desktop entry and the AppStream metainfo pass their validators.
set -eu
share=$1
desktop-file-validate "$share/org.meridal.Meridal.desktop"
appstreamcli validate --no-net --strict "$share/org.meridal.Meridal.metainfo.xml"
