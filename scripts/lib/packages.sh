# Installs the Debian packages named as arguments that are not installed yet,
# through sudo when not run as root. Sourced by the scripts beside it.
install_missing_packages() {
  local sudo="" p
  local missing=()
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
}
