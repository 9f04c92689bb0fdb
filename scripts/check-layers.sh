#!/usr/bin/env bash
# Fails, naming each offending include, when the modules of src/ break their
# layering:
#   - each system's headers belong to its back-end's folder alone:
#       src/platform/linux/   SDL, libmpg123, EGL/OSMesa, X11
#       src/platform/win32/   Windows
#       src/platform/web/     Emscripten and WebGL
#   - only a back-end's own folder includes its files ("platform/linux/..."):
#     no other back-end, no shared platform file, no module above;
#   - a module includes only itself and the modules below it:
#       platform           platform
#       scene, image       platform and itself
#       clock              platform, scene, clock
#       render             platform, scene, image, clock, render
#       music              platform, music
#       shell              everything
#   - a module folder not named above fails until it is given its place;
#   - a tool links qeb_shell only when it opens the demo's window
#     (OpenDemoWindow, or DemoMain, which opens it).
# With --self-test, checks a copy of the tree with a planted bad include of
# each kind and fails unless every plant is caught.
set -eu -o pipefail

usage() {
  echo "usage: scripts/check-layers.sh [--self-test] [ROOT]"
  echo "Checks the include layering of ROOT/src (default: this checkout) and which tools link the shell."
  echo "--self-test plants bad includes in a temporary copy and fails unless each one is reported."
}

declare -A allowed=(
  [platform]="platform"
  [scene]="platform scene"
  [image]="platform image"
  [clock]="platform scene clock"
  [render]="platform scene image clock render"
  [music]="platform music"
  [shell]="platform scene image clock render music shell"
)

# Each system's headers, by the back-end folder that alone may include them.
# Matched against the include line in lower case.
include_of='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]'
declare -A system_header=(
  [linux]="${include_of}((sdl2?/)?sdl[^>\"]*|mpg123\.h|fmt123\.h|egl/[^>\"]*|gl/osmesa\.h|x11/[^>\"]*)[>\"]"
  [win32]="${include_of}(gl/wgl[^>\"]*|windows\.h|win(user|gdi|def|base|nt|reg|sock2?)\.h|mmsystem\.h|mmreg\.h|msacm\.h|shellapi\.h|commctrl\.h)[>\"]"
  [web]="${include_of}(emscripten(\.h|/[^>\"]*)|html5\.h|webgl/[^>\"]*)[>\"]"
)
backends="linux win32 web"

check_tree() {
  local root=$1 failures=0 hit file line module target relative home backend system_hit
  local -a sources
  mapfile -t sources < <(find "$root/src" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.inl' \) | sort)
  [ ${#sources[@]} -gt 0 ] || return 0
  # One grep over every file; each hit reads "path:line".
  while IFS= read -r hit; do
    file=${hit%%:*}
    line=${hit#*:}
    relative=${file#"$root"/src/}
    module=${relative%%/*}
    home=  # the back-end folder the file lies in, if any
    for backend in $backends; do
      [[ "$relative" == "platform/$backend/"* ]] && home=$backend
    done
    system_hit=
    for backend in $backends; do
      if [[ "${line,,}" =~ ${system_header[$backend]} ]]; then
        system_hit=1
        if [ "$home" != "$backend" ]; then
          echo "check-layers: ${file#"$root"/}: only src/platform/$backend may include this: $line" >&2
          failures=$((failures + 1))
        fi
      fi
    done
    [ -z "$system_hit" ] || continue
    if [[ "$line" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"platform/([a-z0-9_]+)/ ]]; then
      target=${BASH_REMATCH[1]}
      if [[ " $backends " == *" $target "* && "$home" != "$target" ]]; then
        echo "check-layers: ${file#"$root"/}: only src/platform/$target may include its files: $line" >&2
        failures=$((failures + 1))
        continue
      fi
    fi
    [[ "$line" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([a-z_]+)/ ]] || continue
    target=${BASH_REMATCH[1]}
    [ -n "${allowed[$target]+set}" ] || continue
    if [ -z "${allowed[$module]+set}" ]; then
      [[ "$file" == "$root/src/$module/"* ]] || continue  # a file directly in src/
      echo "check-layers: ${file#"$root"/}: src/$module is not in the module order of scripts/check-layers.sh" >&2
      failures=$((failures + 1))
      continue
    fi
    if [[ " ${allowed[$module]} " != *" $target "* ]]; then
      echo "check-layers: ${file#"$root"/}: $module may not include $target: $line" >&2
      failures=$((failures + 1))
    fi
  done < <(grep -EH '^[[:space:]]*#[[:space:]]*include' "${sources[@]}" || true)

  local lists dir
  for lists in "$root"/tools/*/CMakeLists.txt; do
    [ -f "$lists" ] || continue
    grep -q '\bqeb_shell\b' "$lists" || continue
    dir=$(dirname "$lists")
    if ! grep -rqsE --include='*.cpp' '(OpenDemoWindow|DemoMain)\(' "$dir"; then
      echo "check-layers: ${dir#"$root"/}: links qeb_shell but never opens the demo's window" >&2
      failures=$((failures + 1))
    fi
  done
  return $((failures > 0))
}

self_test() {
  local root=$1 copy status=0
  copy=$(mktemp -d "${TMPDIR:-/tmp}/qeb-layers-XXXXXX")
  trap 'rm -rf "$copy"' RETURN
  local -a plants=(
    'src/image/planted.cpp|#include <SDL.h>'
    'src/music/planted.h|#include <mpg123.h>'
    'src/shell/planted.cpp|#include <EGL/egl.h>'
    'src/render/planted.cpp|#include <Windows.h>'
    'src/shell/planted.cpp|#include <emscripten/html5.h>'
    'src/render/planted.cpp|#include "shell/demo_window.h"'
    'src/scene/planted.cpp|#include "render/draw_frame.h"'
    'src/image/planted.cpp|#include "scene/world.h"'
    'src/clock/planted.cpp|#include "image/dib_image.h"'
    'src/music/planted.cpp|#include "clock/demo_state.h"'
    'src/platform/planted.cpp|#include "scene/world.h"'
    'src/platform/planted.cpp|#include <SDL.h>'
    'src/platform/win32/planted.cpp|#include <mpg123.h>'
    'src/platform/web/planted.cpp|#include <X11/Xlib.h>'
    'src/platform/linux/planted.cpp|#include <windows.h>'
    'src/platform/linux/planted.cpp|#include <emscripten.h>'
    'src/platform/web/gl/planted.cpp|#include <mmsystem.h>'
    'src/platform/planted.cpp|#include "platform/linux/sdl_virtual_keys.h"'
    'src/platform/win32/planted.cpp|#include "platform/web/web_virtual_keys.h"'
    'src/platform/web/planted.cpp|#include "platform/linux/message_box_sdl.h"'
    'src/shell/planted.cpp|#include "platform/win32/windows_api.h"'
    'src/newmodule/planted.cpp|#include "render/draw_frame.h"'
    'tools/planted/CMakeLists.txt|target_link_libraries(planted PRIVATE qeb_shell)'
  )
  local plant path text
  for plant in "${plants[@]}"; do
    path=${plant%%|*}
    text=${plant#*|}
    rm -rf "$copy/src" "$copy/tools"
    cp -r "$root/src" "$copy/src"
    mkdir -p "$copy/tools"
    cp -r "$root/tools/." "$copy/tools/"
    mkdir -p "$(dirname "$copy/$path")"
    printf '%s\n' "$text" >"$copy/$path"
    if check_tree "$copy" 2>/dev/null; then
      echo "check-layers: self-test: not caught: $path: $text" >&2
      status=1
    fi
  done
  # The untouched copy passes, so the plants above failed for their own sake.
  rm -rf "$copy/src" "$copy/tools"
  cp -r "$root/src" "$copy/src"
  cp -r "$root/tools" "$copy/tools"
  if ! check_tree "$copy"; then
    echo "check-layers: self-test: the unplanted tree fails" >&2
    status=1
  fi
  [ $status -eq 0 ] && echo "check-layers: self-test: all ${#plants[@]} plants caught"
  return $status
}

mode=check
case "${1:-}" in
  --help)
    usage
    exit 0
    ;;
  --self-test)
    mode=self-test
    shift
    ;;
esac
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)

if [ $mode = self-test ]; then
  self_test "$root"
else
  check_tree "$root"
  echo "check-layers: src/ keeps its layers"
fi
