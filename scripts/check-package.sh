#!/usr/bin/env bash
# Makes the Debian package from an existing Release build and checks it: the files it carries,
# and that the program unpacked into a temporary root runs and finds its language files there.
# Usage: scripts/check-package.sh <build folder>
set -euo pipefail
build="$(cd "${1:?build folder}" && pwd)"
(cd "$build" && rm -f lumetra_*.deb && cpack -G DEB >/dev/null)
packages=("$build"/lumetra_*_*.deb)
[ ${#packages[@]} -eq 1 ] && [ -f "${packages[0]}" ] || { echo "package: not built" >&2; exit 1; }
package="${packages[0]}"

contents="$(dpkg-deb --contents "$package")"
expected=(./usr/bin/lumetra ./usr/bin/lumetra-cli ./usr/bin/lumetra-reader-sim ./usr/lib/lumetra/libnetudpapi.so
          ./usr/share/lumetra/Qmel_ZH_TW.ini ./usr/share/lumetra/Qmel_EN_US.ini
          ./usr/share/applications/lumetra.desktop ./usr/share/icons/hicolor/scalable/apps/lumetra.svg
          ./usr/share/doc/lumetra/README.md ./usr/share/man/man1/lumetra.1.gz
          ./usr/share/man/man1/lumetra-cli.1.gz ./usr/share/man/man1/lumetra-reader-sim.1.gz)
for file in "${expected[@]}"; do
    grep -qE " ${file//./\\.}\$" <<<"$contents" || { echo "package: $file missing" >&2; exit 1; }
done
dpkg-deb --field "$package" Depends | grep -q libqt6widgets6 || { echo "package: no library dependencies" >&2; exit 1; }
dpkg-deb --field "$package" Recommends | grep -q fonts-wqy-microhei || { echo "package: font not recommended" >&2; exit 1; }

work="$(mktemp -d)"
pid=""
cleanup() {
    local status=$?
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
dpkg -x "$package" "$work/root"

version="$("$work/root/usr/bin/lumetra" --version)"
[[ "$version" =~ ^Lumetra\ [0-9]+(\.[0-9]+)*$ ]] || { echo "package: lumetra --version said '$version'" >&2; exit 1; }
cli_version="$("$work/root/usr/bin/lumetra-cli" --version)"
[ "$cli_version" = "$version" ] || { echo "package: lumetra-cli --version said '$cli_version'" >&2; exit 1; }

# Started offscreen on temporary paths, the installed program names the language file it chose.
mkdir -p "$work/windows" "$work/drive"
mkdir -m 700 "$work/run"
env XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES=lumetra.start.info=true \
    LUMETRA_USER_HIVE="$work/user.hive" LUMETRA_MACHINE_HIVE="$work/machine.hive" \
    LUMETRA_WINDOWS_DIR="$work/windows" LUMETRA_DATA_DRIVE="$work/drive" LUMETRA_RUNTIME_DIR="$work/run" \
    LUMETRA_DISCOVERY_TARGET=127.0.0.1:9 LUMETRA_DISCOVERY_LOOPBACK_ONLY=1 \
    "$work/root/usr/bin/lumetra" 2>"$work/start.log" &
pid=$!
for _ in $(seq 600); do
    grep -q 'language file:' "$work/start.log" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
grep -q "language file: $work/root/usr/bin/../share/lumetra/Qmel_ZH_TW.ini" "$work/start.log" ||
    { echo "package: the installed program did not find its language file:" >&2; cat "$work/start.log" >&2; exit 1; }
echo "package: $(basename "$package") carries the programs and runs from an unpacked root"
