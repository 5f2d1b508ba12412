# shellcheck shell=bash
# A fresh Debian 12 (bookworm) system in a directory, for the scripts that
# prove something on a new machine (package-check.sh, fresh-root-test.sh).
# Source it, then:
#
#   debian_root_create DIR   a minimal bookworm in DIR, with this machine's apt
#                            sources for bookworm and its resolv.conf
#   debian_root_mount DIR    /proc, /sys, /dev, /dev/pts, /dev/shm and a tmpfs
#                            /tmp inside DIR
#   debian_root_release      ends what still runs inside the system, then
#                            unmounts, newest mount first; call it on every
#                            exit path (an EXIT trap)
#   debian_root_remove DIR   removes DIR unless something is still mounted in it
#   debian_root_session NAME
#       all of the above for a script: a scratch directory
#       /var/tmp/quorlin-NAME.XXXXXX in $scratch, a fresh system created and
#       mounted in $system, released and removed on every exit (INT and TERM
#       included), after which the caller's optional debian_root_on_exit
#       STATUS runs
#
# The mirror is the one apt uses here: the first entry for the suite "bookworm"
# in /etc/apt/sources.list or /etc/apt/sources.list.d/ (one-line .list and
# deb822 .sources files). With no such entry, debian_root_create stops and says
# so. The bootstrapped base system is kept as a tar file in
# $QUORLIN_ROOT_CACHE (default /var/cache/quorlin-debian-root) and unpacked
# instead of bootstrapped again while it is less than a week old.
# Needs root.

debian_root_suite=bookworm
debian_root_cache=${QUORLIN_ROOT_CACHE:-/var/cache/quorlin-debian-root}
debian_root_dir=""
debian_root_mounts=()

# This machine's apt entries, one "URI SUITE COMPONENT..." line for each
# binary ("deb") source and suite.
debian_apt_entries() {
  local files=()
  [[ -f /etc/apt/sources.list ]] && files+=(/etc/apt/sources.list)
  local file
  for file in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [[ -f $file ]] && files+=("$file")
  done
  ((${#files[@]} > 0)) || return 0
  awk '
    function flush(  nu, ns, u, s, uris, suites) {
      if (types ~ /(^| )deb( |$)/ && tolower(enabled) != "no") {
        nu = split(uri_list, uris, " ")
        ns = split(suite_list, suites, " ")
        for (u = 1; u <= nu; u++)
          for (s = 1; s <= ns; s++) print uris[u], suites[s], components
      }
      types = uri_list = suite_list = components = enabled = ""
    }
    function value(  text) { text = $0; sub(/^[^:]*:[ \t]*/, "", text); return text }
    FNR == 1 { flush() }
    # One-line format: deb [ options ] URI SUITE COMPONENT...
    FILENAME !~ /\.sources$/ {
      sub(/#.*/, "")
      if ($1 != "deb") next
      i = 2
      if ($i ~ /^\[/) { while ($i !~ /\]$/ && i < NF) i++; i++ }
      line = $i " " $(i + 1)
      for (j = i + 2; j <= NF; j++) line = line " " $j
      print line
      next
    }
    # deb822 format: paragraphs of "Field: value" lines.
    /^[ \t]*#/ { next }
    /^[ \t]*$/ { flush(); next }
    tolower($1) == "types:" { types = value() }
    tolower($1) == "uris:" { uri_list = value() }
    tolower($1) == "suites:" { suite_list = value() }
    tolower($1) == "components:" { components = value() }
    tolower($1) == "enabled:" { enabled = value() }
    END { flush() }
  ' "${files[@]}"
}

# The mirror of this machine's first bookworm entry; fails with a message
# when apt has none.
debian_mirror() {
  local mirror
  mirror=$(debian_apt_entries | awk -v suite="$debian_root_suite" '$2 == suite { print $1; exit }')
  if [[ -z $mirror ]]; then
    echo "No apt source for Debian 12 ($debian_root_suite) in /etc/apt/sources.list or" \
      "/etc/apt/sources.list.d/: add the Debian mirror you use there (a 'deb URI" \
      "$debian_root_suite main' line) and run again." >&2
    return 1
  fi
  echo "${mirror%/}"
}

debian_root_create() { # DIR
  local dir=$1 mirror tarball
  mirror=$(debian_mirror) || return 1
  tarball=$debian_root_cache/$debian_root_suite-minbase.tar
  mkdir -p "$dir" "$debian_root_cache" || return 1
  if [[ -n $(find "$tarball" -mtime -7 2> /dev/null) ]]; then
    echo "== Unpacking the cached Debian 12 base system ($tarball)"
    tar -C "$dir" --numeric-owner -xpf "$tarball" || return 1
  else
    echo "== Bootstrapping Debian 12 ($debian_root_suite, minbase) from $mirror"
    if ! debootstrap --variant=minbase "$debian_root_suite" "$dir" "$mirror" \
      > "$dir.debootstrap.log" 2>&1; then
      tail -n 30 "$dir.debootstrap.log" >&2
      echo "debootstrap failed (its log: $dir.debootstrap.log)" >&2
      return 1
    fi
    tar -C "$dir" --numeric-owner -cpf "$tarball.$$" . && mv "$tarball.$$" "$tarball" \
      || echo "(could not keep the base system in $tarball; going on)" >&2
  fi
  # apt in the new system uses this machine's bookworm entries (main suite,
  # updates and security), signed by the keys of Debian's archive keyring.
  debian_apt_entries | awk -v suite="$debian_root_suite" '$2 ~ "^" suite "(-|$)" { print "deb " $0 }' \
    > "$dir/etc/apt/sources.list" || return 1
  rm -f "$dir"/etc/apt/sources.list.d/*
  cp /etc/resolv.conf "$dir/etc/resolv.conf" || return 1
}

debian_root_mount() { # DIR
  local dir
  dir=$(realpath "$1") || return 1
  debian_root_dir=$dir
  mount -t proc proc "$dir/proc" || return 1
  debian_root_mounts+=("$dir/proc")
  mount -t sysfs sysfs "$dir/sys" || return 1
  debian_root_mounts+=("$dir/sys")
  # The host's device nodes, in a private mount, so nothing mounted below it
  # reaches the host's /dev.
  mount --bind /dev "$dir/dev" || return 1
  debian_root_mounts+=("$dir/dev")
  mount --make-private "$dir/dev" || return 1
  mount -t devpts -o newinstance,ptmxmode=0666,mode=0620,gid=5 devpts "$dir/dev/pts" || return 1
  debian_root_mounts+=("$dir/dev/pts")
  mount -t tmpfs -o mode=1777 tmpfs "$dir/dev/shm" || return 1
  debian_root_mounts+=("$dir/dev/shm")
  mount -t tmpfs -o mode=1777 tmpfs "$dir/tmp" || return 1
  debian_root_mounts+=("$dir/tmp")
}

debian_root_release() {
  local i pid link
  if [[ -n $debian_root_dir ]]; then
    # Whatever still runs inside (a server left behind by a failed test, for
    # example) would keep the mounts busy.
    for link in /proc/[0-9]*/root; do
      pid=${link#/proc/}
      pid=${pid%/root}
      if [[ $(readlink "$link" 2> /dev/null) == "$debian_root_dir" ]]; then
        kill -KILL "$pid" 2> /dev/null || true
      fi
    done
  fi
  for ((i = ${#debian_root_mounts[@]} - 1; i >= 0; i--)); do
    umount "${debian_root_mounts[$i]}" 2> /dev/null || umount -l "${debian_root_mounts[$i]}" 2> /dev/null \
      || echo "could not unmount ${debian_root_mounts[$i]}" >&2
  done
  debian_root_mounts=()
}

debian_root_remove() { # DIR
  local dir=$1
  # Never follow a mount that is still there into the host's file system.
  if findmnt -rn -o TARGET | grep -qF "$dir"; then
    echo "left $dir in place: something is still mounted there" >&2
    return 1
  fi
  rm -rf --one-file-system "$dir" "$dir.debootstrap.log"
}

debian_root_session() { # NAME
  scratch=$(mktemp -d "/var/tmp/quorlin-$1.XXXXXX")
  system=$scratch/bookworm
  trap _debian_root_end EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  debian_root_create "$system"
  debian_root_mount "$system"
}

_debian_root_end() {
  local status=$?
  debian_root_release
  debian_root_remove "$scratch" || true
  ! declare -F debian_root_on_exit > /dev/null || debian_root_on_exit "$status"
  exit "$status"
}
