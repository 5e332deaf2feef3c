#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The release named by the project, by the packages' changelog and by the metainfo is one:
# the same version, and the changelog dated on the metainfo's release date.
# Arguments: the project's version, the top of the source tree.
set -eu
version=$1
top=$2
changelog=$(head -n 1 "$top/packaging/changelog")
case $changelog in
  "meridal ($version) "*) ;;
  *) echo "the changelog's newest entry is not $version: $changelog"; exit 1 ;;
esac
release=$(grep -m 1 -oE '<release version="[^"]*" date="[^"]*"' "$top/share/org.meridal.Meridal.metainfo.xml")
releaseVersion=$(echo "$release" | sed 's/.*version="\([^"]*\)".*/\1/')
date=$(echo "$release" | sed 's/.*date="\([^"]*\)".*/\1/')
[ "$releaseVersion" = "$version" ] || { echo "the metainfo's newest release is not $version: $release"; exit 1; }
trailer=$(grep -m 1 '^ -- ' "$top/packaging/changelog")
changelogDate=$(date -u -d "${trailer#*>  }" +%F)
[ "$changelogDate" = "$date" ] ||
  { echo "the changelog is dated $changelogDate, the metainfo's release $date"; exit 1; }
echo "release $version of $date"
