#!/usr/bin/env bash
# Installs the build tree into a temporary prefix, checks the layout, then
# configures and builds the README's C++ example against it with
# find_package(Rara) and runs it.
# Usage: check_install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

cmake --install "$build" --prefix "$root/usr" >/dev/null
missing=0
for f in bin/rara-cli include/rara/gf2/gf2n.h include/rara/engine/construction.h \
         lib/librara_integers.a lib/cmake/Rara/RaraConfig.cmake lib/cmake/Rara/RaraConfigVersion.cmake \
         share/man/man1/rara-cli.1 share/bash-completion/completions/rara-cli; do
  [[ -e "$root/usr/$f" ]] || { echo "not installed: $f" >&2; missing=1; }
done
if [[ -e "$build/rara" ]]; then
  for f in bin/rara share/man/man1/rara.1 share/applications/rara.desktop \
           share/icons/hicolor/scalable/apps/rara.svg; do
    [[ -e "$root/usr/$f" ]] || { echo "not installed: $f" >&2; missing=1; }
  done
fi
((missing == 0)) || exit 1
"$root/usr/bin/rara-cli" --version
# The installed Python module imports and runs, where it was built.
if compgen -G "$build/python/rara*.so" >/dev/null; then
  PYTHONPATH="$root/usr/lib/python3/dist-packages" python3 -c \
    'import rara; print("python:", rara.build_curve(64, seed="install")["order"] > 0)'
fi

# The README's example, built outside the tree with only the installed package.
# Each file is the fenced block after "<!-- example: NAME -->".
example() {
  awk -v m="<!-- example: $1 -->" '$0 == m { f = 1; next } f && /^```/ { if (++n == 2) exit; next } f && n == 1' \
    "$source/README.md"
}
mkdir "$root/example"
example CMakeLists.txt >"$root/example/CMakeLists.txt"
example order.cpp >"$root/example/order.cpp"
cmake -S "$root/example" -B "$root/consumer" -G Ninja \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$root/usr" >/dev/null
cmake --build "$root/consumer" >/dev/null
out=$("$root/consumer/order")
echo "$out"
grep -qE '^D = [1-9][0-9]*$' <<<"$out" && grep -qE '^R = [1-9][0-9]{40,}$' <<<"$out"
