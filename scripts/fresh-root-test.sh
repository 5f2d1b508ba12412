#!/usr/bin/env bash
# Runs the README's test command the way a newcomer meets it: in a fresh
# Debian 12 (bookworm) system, from a clean clone. Bootstraps a minimal system
# into a scratch directory (scripts/lib/debian-root.sh; apt's mirror from this
# machine's sources), clones the repository at the given ref into /root/quorlin
# there, and runs scripts/test.sh inside as root. The test command installs
# every package it needs itself. Prints the time taken and exits with the test
# command's status; the scratch system is unmounted and removed on every exit.
#
#   scripts/fresh-root-test.sh [REPOSITORY [REF]]
#       (default: this checkout's repository at its current commit; uncommitted
#       changes are not part of the run)
#
# Needs root, git and debootstrap, and the Debian mirror apt already uses. It
# downloads about 1 GB of packages and builds the project twice: expect the
# better part of an hour on two cores.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/lib/debian-root.sh"
repository=${1:-$root}
ref=${2:-HEAD}
started=$SECONDS

if [[ $(id -u) -ne 0 ]]; then
  echo "fresh-root-test: needs root for debootstrap and chroot" >&2
  exit 1
fi
debian_mirror > /dev/null # stops here when apt has no Debian 12 source
"$root/scripts/install-deps.sh" --fresh-root
# A local repository's ref is read there: HEAD is then this checkout's commit.
if [[ -d $repository ]]; then
  repository=$(cd "$repository" && pwd)
  ref=$(git -C "$repository" rev-parse --verify "$ref^{commit}")
fi

elapsed() { printf '%dm%02ds' $(((SECONDS - started) / 60)) $(((SECONDS - started) % 60)); }
debian_root_on_exit() { echo "== fresh-root-test: exit status $1 after $(elapsed)"; }
debian_root_session fresh-root

echo "== Cloning $repository ($ref) into /root/quorlin"
git clone --quiet --no-local --no-checkout "$repository" "$system/root/quorlin"
commit=""
for name in "$ref" "origin/$ref"; do
  commit=$(git -C "$system/root/quorlin" rev-parse --verify --quiet "$name^{commit}") && break
done
if [[ -z $commit ]]; then
  echo "fresh-root-test: $ref is not in $repository" >&2
  exit 1
fi
git -C "$system/root/quorlin" checkout --quiet --detach "$commit"
git -C "$system/root/quorlin" log -1 --format='   %h %s'

echo "== Running scripts/test.sh in the fresh system (started after $(elapsed))"
status=0
chroot "$system" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  /bin/bash -c 'cd /root/quorlin && scripts/test.sh' || status=$?
if ((status == 0)); then
  echo "== scripts/test.sh passed in a fresh Debian 12 from a clean clone"
else
  echo "== scripts/test.sh FAILED (status $status) in a fresh Debian 12 from a clean clone"
fi
exit "$status"
