# Debian packages the project needs, and a function that installs the missing ones.
# Sourced by scripts/test and scripts/run.

# To configure and build everything (the build also finds GoogleTest and Google Benchmark).
ZORVEK_BUILD_PACKAGES=(cmake make g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-l10n-tools libgl-dev
  libftdi1-dev libsoxr-dev libsndfile1-dev libebur128-dev libespeak-ng-dev libgtest-dev libgmock-dev googletest libbenchmark-dev)
# What the tests, the fuzz targets and the packaging checks use on top.
ZORVEK_TEST_PACKAGES=(xvfb xauth fonts-dejavu-core sox espeak-ng ffmpeg lame srecord binutils clang-14 libclang-rt-14-dev
  openbox x11-utils desktop-file-utils libxml2-utils udev dpkg-dev lintian appstream mandoc groff-base man-db bash-completion)

# zorvek_install_missing PACKAGE...: installs those not yet installed (apt-get, as root or through sudo).
zorvek_install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  echo "Installing: ${missing[*]}"
  local sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
