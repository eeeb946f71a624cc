# The checks of the package tests, sourced by them: each check prints "ok:"
# or "FAILED:" with the command's own words, and counts its failures.
# A check's command runs in a subshell, so it cannot set the caller's variables.
failures=0
check() { # description, command...: the command's own words follow a failure
  local what=$1 said
  shift
  if said=$("$@" 2>&1); then
    echo "ok: $what"
    return 0
  fi
  echo "FAILED: $what"
  [ -z "$said" ] || sed 's/^/   /' <<<"$said"
  failures=$((failures + 1))
  return 1
}
die() { echo "FAILED: $*"; exit 1; }
