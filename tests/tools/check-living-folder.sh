#!/usr/bin/env bash
# The living folder owned by another user: quorrel-render --living off and
# the player refuse it and change nothing in it. Needs root to give the
# folder away (setpriv runs the tools as the ordinary user); skipped (77)
# otherwise.
#   check-living-folder.sh RENDER PLAYER
set -uo pipefail
render="$1"
player="$2"
[ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null || { echo "SKIPPED: needs root and setpriv"; exit 77; }

work="$(mktemp -d /tmp/quorrel-living-folder-XXXXXX)"
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
fail() { echo "FAILED: $*"; exit 1; }

# The tools as user 65534 (nobody), a copy it may run; its home is its own,
# but the living folder in it belongs to root.
cp "$render" "$player" "$work/"
home="$work/home"
living="$home/.local/share/quorrel/living"
mkdir -p "$living"
printf 'version=1\nway=x11-player\nfile=loop.frames\n' >"$living/living.state"
touch "$living/loop.frames"
chown -R 65534:65534 "$home"
chown 0:0 "$living"
chmod 755 "$living"
as_nobody() {
    setpriv --reuid=65534 --regid=65534 --clear-groups -- env -i HOME="$home" PATH=/usr/bin:/bin "$@"
}
before="$(ls -la "$living")"

as_nobody "$work/$(basename "$render")" --living off >"$work/off.txt" 2>&1 && fail "--living off accepted a folder of another user"
cat "$work/off.txt"
grep -q 'belongs to another user' "$work/off.txt" || fail "--living off did not say the folder is another user's"

as_nobody "$work/$(basename "$player")" --check --frames "$living/loop.frames" >"$work/player.txt" 2>&1
status=$?
cat "$work/player.txt"
[ "$status" = 2 ] || fail "the player did not refuse the folder (status $status)"
grep -q 'belongs to another user' "$work/player.txt" || fail "the player did not say the folder is another user's"

# Group-writable and the user's own: refused as well.
chown 65534:65534 "$living"
chmod 775 "$living"
as_nobody "$work/$(basename "$render")" --living off >"$work/group.txt" 2>&1 && fail "--living off accepted a folder others may write"
grep -q 'may be written by other users' "$work/group.txt" || fail "no word of the writable folder"
chmod 755 "$living"
chown 0:0 "$living"
[ "$(ls -la "$living")" = "$before" ] || fail "the refused folder was changed"
echo "PASSED: a living folder of another user or writable by others is refused, untouched"
