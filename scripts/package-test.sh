#!/usr/bin/env bash
# Builds the Debian package, installs it with apt-get on a fresh Debian 12 root (debootstrap,
# kept as a tarball once made) and runs it there as an ordinary user: papyra-admin doctor,
# papyra TEST P and UPDATE, papyra-admin log. Fails when a step does not do what it should.
# Needs root (debootstrap, chroot) and the Debian mirror; exits 77 (skipped) when not root.
# usage: package-test.sh [ROOT]   (default: a new folder in /tmp, removed afterwards)
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "package-test: needs root (debootstrap and chroot)" >&2; exit 77; }
start=$SECONDS

deb=$(bash scripts/package.sh)
echo "package: $deb ($((SECONDS - start)) s)"

# A fresh root each run: unpacked from a pristine debootstrap kept in the cache folder (made once,
# about two minutes), so a run costs seconds, not a download of Debian.
cache=${PAPYRA_ROOT_CACHE:-/var/cache/papyra-package-test}
if [ ! -f "$cache/bookworm.tar" ]; then
  mkdir -p "$cache"
  pristine=$(mktemp -d /tmp/papyra-pristine-XXXXXX)
  # The same mirror this machine's apt uses.
  mirror=$(awk '/^URIs:/ && $2 !~ /security/ { print $2; exit }' /etc/apt/sources.list.d/*.sources \
    2>/dev/null || true)
  [ -n "$mirror" ] || mirror=$(awk '/^deb / && $2 !~ /security/ { print $2; exit }' /etc/apt/sources.list)
  debootstrap --variant=minbase bookworm "$pristine" "$mirror" >"$pristine.log" 2>&1 ||
    { tail -20 "$pristine.log"; exit 1; }
  cp /etc/apt/sources.list.d/*.sources "$pristine/etc/apt/sources.list.d/" 2>/dev/null || true
  tar -C "$pristine" -cf "$cache/bookworm.tar.part" . && mv "$cache/bookworm.tar.part" "$cache/bookworm.tar"
  rm -rf "$pristine" "$pristine.log"
fi
if [ -n "${1:-}" ]; then
  root=$1
  mkdir -p "$root"
else
  root=$(mktemp -d /tmp/papyra-root-XXXXXX)
  # --one-file-system: never into /proc, /dev or /sys should they still be bound there.
  trap 'rm -rf --one-file-system "$root"' EXIT
fi
tar -C "$root" -xf "$cache/bookworm.tar"
chmod 755 "$root" # a folder of mktemp: the root of a system is open to its users
echo "fresh root: $root ($((SECONDS - start)) s)"
cp "$deb" "$root/tmp/"

# Runs a command in the root as root, with /proc, /dev and /sys of this machine and its resolver.
in_root() {
  mount --bind /proc "$root/proc"; mount --bind /dev "$root/dev"; mount --bind /sys "$root/sys"
  cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
  local status=0
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin bash -c "$1" || status=$?
  umount "$root/proc" "$root/dev" "$root/sys"
  return $status
}

# As the machine's administrator: install. As a clerk: what a user of Harvex runs.
in_root "
set -e
export DEBIAN_FRONTEND=noninteractive
# Without recommended packages: what papyra needs must be in its own Depends.
apt-get update -q >/dev/null
apt-get install -y -q --no-install-recommends /tmp/$(basename "$deb") >/tmp/apt.log 2>&1 ||
  { tail -20 /tmp/apt.log; exit 1; }
useradd -m clerk
as_clerk() { runuser -l clerk -c \"\$1\"; }
echo '== papyra-admin doctor'; as_clerk 'papyra-admin doctor' || echo \"(exit \$?)\"
echo '== papyra TEST P'; as_clerk 'papyra TEST P; echo exit \$?'
echo '== papyra UPDATE x P'; as_clerk 'papyra UPDATE x P; echo exit \$?'
echo '== papyra-admin printers'; as_clerk 'papyra-admin printers'
echo '== papyra-admin preview'; as_clerk 'papyra-admin preview ~/.local/share/papyra/PrinterTest.prt -o ~/test.png'
echo '== files'; as_clerk 'ls -l ~/Documents/Papyra ~/.local/share/papyra; stat -c \"%a %n\" ~/.local/share/papyra'
echo '== papyra-admin log'; as_clerk 'papyra-admin log'
echo '== man pages'; ls /usr/share/man/man1/papyra*
as_clerk 'test -f ~/Documents/Papyra/PrinterTest.pdf && test -f ~/.local/share/papyra/PrinterTest.prt && test -f ~/.local/share/papyra/RNTME.INI'
"
echo "package-test: passed ($((SECONDS - start)) s)"
