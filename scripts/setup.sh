# Shared by scripts/run, scripts/test and scripts/bench: installs the Debian packages the
# build needs when any is missing (as root, or through sudo).
facetry_packages=(cmake ninja-build g++ qt6-base-dev zlib1g-dev libpng-dev libgtest-dev
                  libbenchmark-dev xvfb xauth xdotool python3)

facetry_install_missing() {
  local missing=()
  for p in "${facetry_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then sudo=sudo; else
      echo "These packages are missing and this user cannot install them: ${missing[*]}" >&2
      echo "Install them as root, then run this script again." >&2
      return 1
    fi
  fi
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

facetry_jobs() { nproc 2>/dev/null || echo 2; }
