#!/usr/bin/env bash
# Saves among real users: two users made for the test (ann and bob, bob in
# a group with ann), a shared sticky folder, a group folder, ACLs, extended
# attributes and a copy installed in a system folder. Needs root; skipped
# (exit 77) without it.
# Usage: other_users.sh PROBE   (the settings_probe executable)
set -uo pipefail
probe_built=$1
[ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root to create users"; exit 77; }
command -v setfacl >/dev/null && command -v setfattr >/dev/null ||
  { echo "SKIP: setfacl/setfattr missing (packages acl, attr)"; exit 77; }

passed=0 failed=0
expect_eq() { if [ "$2" = "$3" ]; then passed=$((passed + 1)); else echo "FAIL: $1: got '$2', expected '$3'"; failed=$((failed + 1)); fi; }

group=cttax-test-grp
getent group $group >/dev/null || groupadd $group
for u in cttax-ann cttax-bob; do
  id $u >/dev/null 2>&1 || useradd --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin -G $group $u
done
work=$(mktemp -d /tmp/cttax-users.XXXXXX)
opt=/opt/cttax-test-$$
trap 'rm -rf "$work" "$opt"; userdel cttax-ann 2>/dev/null; userdel cttax-bob 2>/dev/null; groupdel $group 2>/dev/null' EXIT
chmod 755 "$work"
probe=$work/settings_probe
cp "$probe_built" "$probe" && chmod 755 "$probe"
as() { local user=$1; shift; setpriv --reuid="$user" --regid="$user" --init-groups "$@"; }
content() { printf '%s\r\n2\r\n 3.00000000000000E+0000\r\n 4.00000000000000E+0000\r\n1\r\n' "$1"; }
early=$'9\r\n9\r\n'

# 1. A link another user planted in a sticky shared folder is not followed.
shared=$work/shared; mkdir -m 1777 "$shared"
printf 'bob private\n' > "$work/bob.txt"; chown cttax-bob "$work/bob.txt"
as cttax-ann ln -s "$work/bob.txt" "$shared/cttax.fig"
expect_eq "planted link, bob saves" "$(as cttax-bob "$probe" save "$shared/cttax.fig" 7)" "error 5"
expect_eq "planted link, bob loads" "$(as cttax-bob "$probe" load "$shared/cttax.fig")" "error 5"
expect_eq "bob's file untouched" "$(cat "$work/bob.txt")" "bob private"
rm -f "$shared/cttax.fig"

# 2. Temporaries another user planted neither block nor delay a save.
as cttax-bob sh -c "printf '$early' > '$shared/cttax.fig'"
as cttax-ann ln -s "$work/bob.txt" "$shared/cttax.fig.saving"
as cttax-ann sh -c "umask 077; echo planted > '$shared/cttax.fig.saving-1'"
start=$(date +%s%N)
expect_eq "planted temporaries, bob saves" "$(as cttax-bob "$probe" save "$shared/cttax.fig" 7)" "saved"
expect_eq "...within a second" "$(( ($(date +%s%N) - start) / 1000000000 ))" 0
expect_eq "...saved" "$(cat "$shared/cttax.fig")" "$(content 7)"
expect_eq "...planted names kept" "$(stat -c %U "$shared/cttax.fig.saving" "$shared/cttax.fig.saving-1" | sort -u)" cttax-ann

# 5. A file another user planted in the sticky folder is neither written nor
# read, even where bob may write it (the kernel's protected_regular rule).
rm -f "$shared"/cttax.fig*
as cttax-ann sh -c "printf '$early' > '$shared/cttax.fig'; chmod 666 '$shared/cttax.fig'"
expect_eq "ann's 0666 file, bob saves" "$(as cttax-bob "$probe" save "$shared/cttax.fig" 5)" "error 5"
expect_eq "ann's 0666 file, bob loads" "$(as cttax-bob "$probe" load "$shared/cttax.fig")" "error 5"
expect_eq "...untouched" "$(cat "$shared/cttax.fig")" "$(printf %s "$early")"
rm -f "$shared/cttax.fig"

# 6. A link a member planted in a group folder (2775) is not followed either,
# and a configuration folder in another user's home is not used, by root
# neither (sudo -E).
grp_links=$work/group-links; mkdir -m 2775 "$grp_links"; chgrp $group "$grp_links"
printf 'bob notes\n' > "$work/notes.txt"; chown cttax-bob "$work/notes.txt"
as cttax-ann ln -s "$work/notes.txt" "$grp_links/cttax.fig"
expect_eq "group folder link, bob saves" "$(as cttax-bob "$probe" save "$grp_links/cttax.fig" 7)" "error 5"
expect_eq "...bob's notes untouched" "$(cat "$work/notes.txt")" "bob notes"
ann_home=$work/ann-home; mkdir -p "$ann_home/.config"; chown -R cttax-ann "$ann_home"
expect_eq "root with ann's XDG_CONFIG_HOME" \
  "$(XDG_CONFIG_HOME=$ann_home/.config "$probe" where /usr/bin/cttax)" "$(getent passwd root | cut -d: -f6)/.config/cttax/cttax.fig config"
expect_eq "root with ann's HOME" \
  "$(env -u XDG_CONFIG_HOME HOME=$ann_home "$probe" where /usr/bin/cttax)" "$(getent passwd root | cut -d: -f6)/.config/cttax/cttax.fig config"

# 3. ACL and extended attributes are kept; no one gains access.
acl=$work/acl; mkdir -m 777 "$acl"
as cttax-ann sh -c "umask 002; printf '$early' > '$acl/cttax.fig'"
setfacl -m u:cttax-bob:rw "$acl/cttax.fig"
as cttax-ann setfattr -n user.note -v kept "$acl/cttax.fig"
before=$(getfacl -c "$acl/cttax.fig" 2>/dev/null)
expect_eq "ACL file, ann saves" "$(as cttax-ann "$probe" save "$acl/cttax.fig" 3)" "saved"
expect_eq "...ACL kept" "$(getfacl -c "$acl/cttax.fig" 2>/dev/null)" "$before"
expect_eq "...attribute kept" "$(getfattr --only-values -n user.note "$acl/cttax.fig" 2>/dev/null)" kept
expect_eq "ACL file, bob saves" "$(as cttax-bob "$probe" save "$acl/cttax.fig" 4)" "saved"
expect_eq "...ACL kept" "$(getfacl -c "$acl/cttax.fig" 2>/dev/null)" "$before"
expect_eq "...content" "$(cat "$acl/cttax.fig")" "$(content 4)"
expect_eq "...owner" "$(stat -c %U "$acl/cttax.fig")" cttax-ann

# 7. A group folder: bob's save keeps ann's file ann's, in the group.
grp=$work/group; mkdir -m 775 "$grp"; chgrp $group "$grp"
as cttax-ann sh -c "umask 002; printf '$early' > '$grp/cttax.fig'"
chgrp $group "$grp/cttax.fig"
expect_eq "group file, bob saves" "$(as cttax-bob "$probe" save "$grp/cttax.fig" 6)" "saved"
expect_eq "...owner and group kept" "$(stat -c '%U %G %a' "$grp/cttax.fig")" "cttax-ann $group 664"
expect_eq "...ann saves again" "$(as cttax-ann "$probe" save "$grp/cttax.fig" 8)" "saved"
expect_eq "...content" "$(cat "$grp/cttax.fig")" "$(content 8)"

# 8. A copy in a system folder: neither root nor bob use the file there.
mkdir -p "$opt"; cp "$probe" "$opt/cttax"; printf '%s' "$early" > "$opt/cttax.fig"
expect_eq "system folder, root" "$(XDG_CONFIG_HOME=/root/.config "$probe" where "$opt/cttax")" \
  "/root/.config/cttax/cttax.fig config"
expect_eq "system folder, bob" "$(as cttax-bob env XDG_CONFIG_HOME=/x "$probe" where "$opt/cttax")" \
  "/x/cttax/cttax.fig config"
expect_eq "the stray file there is left" "$(cat "$opt/cttax.fig")" "$(printf %s "$early")"

echo "other users: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
