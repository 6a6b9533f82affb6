#!/usr/bin/env bash
# Signs a Windows program in place: Authenticode with SHA-256, by osslsigncode.
#
#   sign-authenticode.sh PROGRAM (--pkcs12 FILE | --cert FILE --key FILE)
#                        [--password-file FILE | --password-env NAME] [--timestamp URL]...
#
# The password is read from a file or from the environment variable NAME, never taken from the
# command line, where other users of the machine and build logs would see it. A password from the
# environment reaches osslsigncode as a file name that is a pipe (/dev/fd/N): every version reads
# "-readpass FILE" (2.5, Debian 12's, reads no standard input), and the password never touches
# the disk, so nothing is left to remove on any way out. printf is the shell's builtin: the
# password is in no process's arguments. Several time-stamp
# servers are tried in turn. When signing fails for any reason, PROGRAM is deleted: a build that
# is meant to be signed never leaves an unsigned file where the signed one is expected.
# OSSLSIGNCODE names the tool when it is not the one on the PATH.
set -euo pipefail

program=$1
shift
signed="$program.signing"
options=(-h sha256)
password_env=

fail() {
  rm -f "$program" "$signed"
  echo "sign-authenticode: $1; $(basename "$program") removed" >&2
  exit 1
}

while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || fail "$1 needs a value"
  case $1 in
    --pkcs12) options+=(-pkcs12 "$2") ;;
    --cert) options+=(-certs "$2") ;;
    --key) options+=(-key "$2") ;;
    --password-file) options+=(-readpass "$2") ;;
    --password-env) password_env=$2 ;;
    --timestamp) options+=(-ts "$2") ;;
    *) fail "unknown option $1" ;;
  esac
  shift 2
done

if [ -n "$password_env" ] && [ -z "${!password_env+set}" ]; then
  fail "the environment variable $password_env, which should hold the signing password, is not set"
fi

run_osslsigncode() {
  if [ -n "$password_env" ]; then
    "${OSSLSIGNCODE:-osslsigncode}" "$@" -readpass <(printf '%s' "${!password_env}")
  else
    "${OSSLSIGNCODE:-osslsigncode}" "$@"
  fi
}
rm -f "$signed"
if ! report=$(run_osslsigncode sign "${options[@]}" -in "$program" -out "$signed" 2>&1); then
  echo "$report" >&2
  fail "osslsigncode could not sign"
fi
chmod --reference="$program" "$signed" && mv -f "$signed" "$program" || fail "the signed file could not replace it"
