#!/bin/bash
# Checks the README's two commands on a bare Debian 12 machine.
#
# Builds a minimal Debian 12 root with debootstrap, clones the committed HEAD
# of this repository into it and, inside a chroot as an ordinary user with
# sudo, runs ./tools/test.sh and then ./tools/run.sh (offscreen, for 60 s;
# the program must still be running when the time is up).
# Run it as root before changing the package list in tools/setup.sh.
#
# Usage: tools/check-bare-machine.sh [--keep] [--fresh] [WORKDIR]
#   WORKDIR  where the root, the caches and the lock live
#            (default /var/tmp/chengxi-bare-machine)
#   --keep   leave the root in WORKDIR/root afterwards (unmounted) to look at
#   --fresh  rebuild the cached debootstrap root and empty the .deb cache
#
# The debootstrap result is kept as WORKDIR/cache/bookworm-minbase.tar.gz and
# the .deb files apt downloads inside the root in WORKDIR/cache/apt-archives,
# so a second run downloads nothing it already has. Every run starts from the
# unpacked tarball: what the first run installed is gone.
set -u

usage() {
    sed -n '/^# Usage:/,/^#   --fresh/s/^# \{0,1\}//p' "$0" >&2
    exit 2
}

keep=no
fresh=no
work=""
while [ $# -gt 0 ]; do
    case "$1" in
        --keep) keep=yes ;;
        --fresh) fresh=yes ;;
        -h | --help) usage ;;
        -*) echo "check-bare-machine: unknown option '$1'" >&2; usage ;;
        *)
            [ -z "$work" ] || usage
            work=$1
            ;;
    esac
    shift
done
work=${work:-/var/tmp/chengxi-bare-machine}

if [ "$(id -u)" -ne 0 ]; then
    echo "check-bare-machine: run this as root (debootstrap, mount and chroot need it)" >&2
    exit 2
fi

# The repository may belong to another user than root.
hgit() {
    git -c safe.directory='*' "$@"
}

repo=$(hgit -C "$(dirname "$0")/.." rev-parse --show-toplevel) || exit 2
mkdir -p "$work/cache" || exit 2
work=$(cd "$work" && pwd -P) || exit 2
root=$work/root
tarball=$work/cache/bookworm-minbase.tar.gz
debs=$work/cache/apt-archives
include=build-essential,cmake,git,sudo
user=dev
home=/home/$user
project=$home/chengxi

# One run at a time per work folder.
exec 9>"$work/lock"
if ! flock -n 9; then
    echo "check-bare-machine: another run is using $work" >&2
    exit 2
fi

start=$SECONDS
mounts=()
results=()
failed=""
current="start"

elapsed() {
    local s=$1
    printf '%dm%02ds' $((s / 60)) $((s % 60))
}

log() {
    printf '\n== %s\n' "$*"
}

# step NAME COMMAND...: runs one step, records its result; stops the check when it fails.
step() {
    local name=$1 t0=$SECONDS rc
    shift
    current=$name
    log "$name"
    "$@"
    rc=$?
    if [ $rc -eq 0 ]; then
        results+=("ok    $name ($(elapsed $((SECONDS - t0))))")
    else
        results+=("FAIL  $name (exit $rc after $(elapsed $((SECONDS - t0))))")
        failed=$name
        exit 1
    fi
}

in_root() {
    chroot "$root" "$@"
}

# as_user SHELL-COMMAND: runs a command in the project folder as the ordinary
# user, with a clean environment such as a fresh login would give. It runs in
# the background so that a signal to this script is handled at once.
as_user() {
    in_root /usr/sbin/runuser -u "$user" -- /usr/bin/env -i \
        PATH=/usr/local/bin:/usr/bin:/bin HOME="$home" USER="$user" LOGNAME="$user" \
        SHELL=/bin/bash XDG_RUNTIME_DIR="$runtime" \
        /bin/sh -c "cd '$project' && $1" &
    wait $!
}

inside_root() {
    [ -n "$root" ] && [ -d "$root" ] && [ "$1" != "$root" ] || return 1
    case "$1" in "$root"/*) return 0 ;; esac
    return 1
}

mounted_under_root() {
    local target rest
    while read -r _ target rest; do
        inside_root "$target" && return 0
    done </proc/self/mounts
    return 1
}

# Ends the processes left running inside the root (started by this check), then
# unmounts what this check mounted, innermost first.
release_root() {
    local p pids i
    for _ in 1 2 3; do
        pids=""
        for p in /proc/[0-9]*; do
            [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && pids="$pids ${p#/proc/}"
        done
        [ -z "$pids" ] && break
        # shellcheck disable=SC2086
        kill -TERM $pids 2>/dev/null
        sleep 2
        # shellcheck disable=SC2086
        kill -KILL $pids 2>/dev/null
    done
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" ||
            echo "check-bare-machine: could not unmount ${mounts[i]}" >&2
    done
    mounts=()
}

remove_root() {
    if mounted_under_root; then
        echo "check-bare-machine: something is still mounted under $root; not removing it" >&2
        return 1
    fi
    rm -rf --one-file-system "$root"
}

finish() {
    local rc=$?
    trap - EXIT INT TERM HUP
    release_root
    if [ -d "$root" ]; then
        if [ "$keep" = yes ]; then
            echo "check-bare-machine: the root is kept in $root"
        else
            echo "check-bare-machine: removing $root"
            remove_root
        fi
    fi
    echo
    echo "== bare-machine check: $([ -z "$failed" ] && [ $rc -eq 0 ] && echo PASS || echo FAIL)" \
        "($(elapsed $((SECONDS - start))) in all)"
    for r in "${results[@]}"; do
        echo "   $r"
    done
    if [ -n "$failed" ]; then
        echo "   failed at: $failed"
    elif [ $rc -ne 0 ]; then
        echo "   interrupted"
    fi
    [ $rc -eq 0 ] && [ -z "$failed" ] && exit 0
    exit 1
}
trap finish EXIT
trap 'failed=${failed:-"$current (interrupted)"}; exit 130' INT
trap 'failed=${failed:-"$current (interrupted)"}; exit 143' TERM HUP

# Prints the first Debian mirror URI of the host's apt sources: one serving
# bookworm if there is one, else any main suite (not -security, -updates...).
host_mirror() {
    local files=() f
    [ -f /etc/apt/sources.list ] && files+=(/etc/apt/sources.list)
    for f in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && files+=("$f")
    done
    [ ${#files[@]} -gt 0 ] || return 1
    # One line per (uri, suite) pair: "URI SUITE".
    awk '
        function flush() {
            if (types ~ /(^| )deb( |$)/ && enabled !~ /^(no|false|0)$/)
                for (i = 1; i <= nu; i++) for (j = 1; j <= ns; j++) print u[i], s[j]
            types = ""; enabled = ""; nu = 0; ns = 0
        }
        FNR == 1 { flush() }
        FILENAME ~ /\.list$/ {
            sub(/#.*/, "")
            if ($1 != "deb") next
            k = 2
            if ($k ~ /^\[/) { while (k <= NF && $k !~ /\]$/) k++; k++ }
            if (k + 1 <= NF) print $k, $(k + 1)
            next
        }
        /^#/ { next }
        /^[ \t]*$/ { flush(); next }
        {
            key = tolower($1); sub(/:$/, "", key)
            if (key == "types") { $1 = ""; types = $0 }
            else if (key == "enabled") enabled = tolower($2)
            else if (key == "uris") { for (i = 2; i <= NF; i++) u[++nu] = $i }
            else if (key == "suites") { for (i = 2; i <= NF; i++) s[++ns] = $i }
        }
        END { flush() }
    ' "${files[@]}" |
        awk '$1 ~ /^(https?|ftp|file):/ { if ($2 == "bookworm") { print $1; found = 1; exit }
                                          if (other == "" && $2 !~ /[-\/]/) other = $1 }
             END { if (!found && other != "") print other }'
}

host_tools() {
    local missing=""
    command -v debootstrap >/dev/null 2>&1 || missing="$missing debootstrap"
    [ -f /usr/share/keyrings/debian-archive-keyring.gpg ] || missing="$missing debian-archive-keyring"
    [ -z "$missing" ] && return 0
    echo "installing on the host:$missing"
    apt-get -o DPkg::Lock::Timeout=300 update -qq || return 1
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 install -y -qq $missing
}

bootstrap() {
    local stamp=$tarball.include mirror
    if [ "$fresh" = yes ]; then
        rm -f "$tarball" "$stamp"
        rm -rf "$debs"
    fi
    if [ -f "$tarball" ] && [ "$(cat "$stamp" 2>/dev/null)" = "$include" ]; then
        echo "using the cached root $tarball (--fresh rebuilds it)"
        return 0
    fi
    mirror=$(host_mirror)
    if [ -z "$mirror" ]; then
        echo "no Debian mirror found in /etc/apt/sources.list or /etc/apt/sources.list.d" >&2
        return 1
    fi
    echo "mirror: $mirror"
    remove_root || return 1
    debootstrap --variant=minbase --include="$include" bookworm "$root" "$mirror" || return 1
    in_root apt-get clean
    tar --numeric-owner -C "$root" -czf "$tarball.tmp" . &&
        mv "$tarball.tmp" "$tarball" &&
        echo "$include" >"$stamp" &&
        echo "cached the root as $tarball"
}

unpack() {
    remove_root || return 1
    mkdir -p "$root" "$debs/partial" &&
        tar --numeric-owner -C "$root" -xzf "$tarball" || return 1
    # The network settings of the host, as a fresh install would have its own.
    cp -L /etc/resolv.conf "$root/etc/resolv.conf" || return 1
    printf '127.0.0.1 localhost\n127.0.1.1 %s\n' "$(hostname)" >"$root/etc/hosts"
    # No daemon installed by a package may start inside the root.
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d" &&
        chmod 755 "$root/usr/sbin/policy-rc.d"
}

mount_one() {
    local target=$root/$1
    shift
    mount "$@" "$target" || return 1
    mounts+=("$target")
}

mount_all() {
    mount_one proc -t proc proc &&
        mount_one sys -t sysfs sysfs &&
        mount_one dev --bind /dev &&
        mount_one dev/pts --bind /dev/pts &&
        mount_one dev/shm -t tmpfs -o mode=1777,nosuid,nodev tmpfs &&
        mount_one var/cache/apt/archives --bind "$debs"
}

make_user() {
    in_root useradd --create-home --shell /bin/bash "$user" || return 1
    printf '%s ALL=(ALL) NOPASSWD: ALL\n' "$user" >"$root/etc/sudoers.d/$user" &&
        chmod 440 "$root/etc/sudoers.d/$user" || return 1
    runtime=/run/user/$(in_root id -u "$user") || return 1
    mkdir -p "$root$runtime" && in_root chown "$user:$user" "$runtime" && chmod 700 "$root$runtime"
}

clone() {
    local head
    head=$(hgit -C "$repo" rev-parse HEAD) || return 1
    hgit clone --quiet --no-checkout "$repo" "$root$project" &&
        git -C "$root$project" -c advice.detachedHead=false checkout --quiet "$head" &&
        in_root chown -R "$user:$user" "$project" || return 1
    echo "cloned $repo at $(hgit -C "$repo" log -1 --format='%h %s' "$head")"
    hgit -C "$repo" diff --quiet HEAD 2>/dev/null ||
        echo "note: the host tree has uncommitted changes; they are not part of this check"
}

run_tests() {
    as_user ./tools/test.sh
}

run_program() {
    local rc
    as_user 'QT_QPA_PLATFORM=offscreen timeout 60 ./tools/run.sh'
    rc=$?
    if [ $rc -eq 124 ]; then
        echo "the program started and was still running after 60 s"
        return 0
    fi
    echo "the program ended before the 60 s were up (exit $rc)" >&2
    [ $rc -eq 0 ] && rc=1
    return $rc
}

runtime=""
step "host tools (debootstrap)" host_tools
step "debootstrap root (bookworm minbase)" bootstrap
step "unpack the root" unpack
step "mount /proc /sys /dev /dev/pts" mount_all
step "user '$user' with sudo" make_user
step "git clone of HEAD" clone
step "./tools/test.sh" run_tests
step "QT_QPA_PLATFORM=offscreen timeout 60 ./tools/run.sh" run_program
