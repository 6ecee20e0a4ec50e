#!/usr/bin/env bash
# The release tools apart from a full package build:
#   tests/package/run.sh [WIN_BUILD]     (default build/windows)
# signing with a throw-away certificate (installer/sign-file), the help
# file's time stamps (scripts/chm_stamp.py) and the package manager's
# manifests (check_winget.py). The last line is "N passed, N failed".
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
win_build="$(cd "${1:-$root/build/windows}" && pwd)"
passed=0
failed=0
check() {  # NAME COMMAND...: passes when the command succeeds
  local name="$1"
  shift
  if "$@"; then passed=$((passed + 1)); echo "ok   $name"; else failed=$((failed + 1)); echo "FAIL $name"; fi
}
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# --- Signing -----------------------------------------------------------------
# A self-signed code-signing certificate in a PKCS#12 file with a password.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj "/CN=ZORANTE test signing" -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature" \
  >/dev/null 2>&1
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.pfx" -passout pass:'pa ss$word' \
  >/dev/null 2>&1
export ZOR_SIGN_PFX="$work/cert.pfx" ZOR_SIGN_PASSWORD='pa ss$word' SOURCE_DATE_EPOCH=1765000000
sign() { bash "$root/installer/sign-file" "$@" 2>"$work/sign.err"; }
verify() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.log" 2>&1; }

cp "$win_build/zortool.exe" "$work/a.exe"
cp "$win_build/zortool.exe" "$work/b.exe"
check "a program signed with the certificate verifies" eval 'sign "$work/a.exe" && verify "$work/a.exe"'
check "the signature is SHA-256" grep -qi 'sha256' "$work/verify.log"
# Faults: a signing time taken from the clock, so a signed build could not be repeated.
check "one commit signed twice gives the same bytes" eval 'sign "$work/b.exe" && cmp -s "$work/a.exe" "$work/b.exe"'
# Faults: a verification that does not look at the bytes signed.
cp "$work/a.exe" "$work/flipped.exe"
offset=$(( $(stat -c %s "$work/flipped.exe") / 3 ))
byte=$(od -An -tu1 -j "$offset" -N1 "$work/flipped.exe" | tr -d ' ')
printf "$(printf '\\%03o' $(( (byte + 1) % 256 )))" | dd of="$work/flipped.exe" bs=1 seek="$offset" conv=notrunc status=none
check "a changed byte breaks the signature" eval '! verify "$work/flipped.exe"'
# Faults: a wrong password or a missing certificate that leaves a half-written
# program behind, or says nothing.
cp "$win_build/zortool.exe" "$work/c.exe"
check "a wrong password is refused with a message, the program untouched" \
  eval '! ZOR_SIGN_PASSWORD=wrong sign "$work/c.exe" && grep -q "wrong password" "$work/sign.err" && cmp -s "$win_build/zortool.exe" "$work/c.exe"'
check "a missing certificate is refused, the program untouched" \
  eval '! ZOR_SIGN_PFX="$work/none.pfx" sign "$work/c.exe" && grep -q "ZOR_SIGN_PFX" "$work/sign.err" && cmp -s "$win_build/zortool.exe" "$work/c.exe"'
head -c 3000 /dev/urandom >"$work/garbage.pfx"
check "a garbage certificate file is refused, the program untouched" \
  eval '! ZOR_SIGN_PFX="$work/garbage.pfx" sign "$work/c.exe" && cmp -s "$win_build/zortool.exe" "$work/c.exe"'
printf 'MZ' >"$work/truncated.exe"
check "a file that is no program is refused" eval '! sign "$work/truncated.exe"'

# setup made with a certificate: the programs inside, the uninstaller
# (signed as makensis packs it) and setup itself.
if [ -x "$root/build/native/zortool" ] && command -v makensis >/dev/null; then
  if setup=$(bash "$root/installer/make-setup" "$win_build" "$root/build/native" "$work/setup" 2>"$work/make-setup.err"); then
    check "signed setup verifies" verify "$setup"
    check "the programs staged for setup and the zip are signed" \
      eval 'verify "${setup%-setup.exe}/zorante.scr" && verify "${setup%-setup.exe}/zortool.exe"'
    check "makensis signed the uninstaller" grep -q 'signed: .*' "$work/make-setup.err"
  else
    check "make-setup with a certificate" false
    cat "$work/make-setup.err"
  fi
fi
unset ZOR_SIGN_PFX ZOR_SIGN_PASSWORD

# --- The help file's time stamps -------------------------------------------------
stamp() { python3 "$root/scripts/chm_stamp.py" "$@" 2>"$work/stamp.err"; }
if [ -f "$win_build/zorante.chm" ]; then
  cp "$win_build/zorante.chm" "$work/a.chm"
  cp "$win_build/zorante.chm" "$work/b.chm"
  # Two compilations differ only in the stamps: setting both makes them equal.
  # Flip the stamps of b first, as a later compilation would have them.
  python3 - "$work/b.chm" <<'EOF'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
data[0x10:0x14] = bytes(b ^ 0x5A for b in data[0x10:0x14])
open(sys.argv[1], "wb").write(data)
EOF
  check "two stamps set to one time give the same help file" \
    eval 'stamp "$work/a.chm" 1765000000 && stamp "$work/b.chm" 1765000000 && cmp -s "$work/a.chm" "$work/b.chm"'
  check "the header holds the milliseconds of the day, big-endian" \
    eval '[ "$(od -An -tx1 -j 16 -N4 "$work/a.chm" | tr -d " ")" = "$(printf %08x $(( (1765000000 % 86400) * 1000 )))" ]'
  check "7-Zip still reads the stamped help file" eval '! command -v 7z >/dev/null || 7z t "$work/a.chm" >/dev/null'
  # Hostile input: truncated, garbage, empty, no such file: a message, the file as it was.
  head -c 200 "$win_build/zorante.chm" >"$work/short.chm"
  head -c 20000 /dev/urandom >"$work/garbage.chm"
  : >"$work/empty.chm"
  # A directory that points past the end of the file.
  python3 - "$win_build/zorante.chm" "$work/hostile.chm" <<'EOF'
import struct, sys
data = bytearray(open(sys.argv[1], "rb").read())
struct.pack_into("<I", data, struct.unpack_from("<Q", data, 0x48)[0] + 0x2C, 0x7FFFFFFF)
open(sys.argv[2], "wb").write(data)
EOF
  for f in short garbage empty hostile; do
    cp "$work/$f.chm" "$work/$f.orig"
    check "a $f help file is refused with a message, unchanged" \
      eval '! stamp "$work/$f.chm" 1765000000 && grep -q "chm_stamp: " "$work/stamp.err" && cmp -s "$work/$f.chm" "$work/$f.orig"'
  done
  check "a missing help file is refused" eval '! stamp "$work/none.chm" 1 && grep -q "chm_stamp: " "$work/stamp.err"'
fi

# --- The package manager's manifests -----------------------------------------
python3 "$here/check_winget.py" >"$work/winget.log" 2>&1
grep -E '^(ok|FAIL) ' "$work/winget.log"
last=$(tail -n 1 "$work/winget.log")
if [[ "$last" =~ ^([0-9]+)\ passed,\ ([0-9]+)\ failed$ ]]; then
  passed=$((passed + BASH_REMATCH[1]))
  failed=$((failed + BASH_REMATCH[2]))
else
  cat "$work/winget.log"
  failed=$((failed + 1))
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
