# expect_refusal WHAT MESSAGE ALLOWLIST PROGRAM...: the import check ($tools/check-imports) must
# fail and say MESSAGE; sets status=1 when it does not. Sourced by the import check's tests.
expect_refusal() {
    local what=$1 message=$2 output
    shift 2
    if output=$("$tools/check-imports" "$@" 2>&1); then
        echo "accepted $what: $output"
        status=1
    elif ! grep -qF "$message" <<<"$output"; then
        echo "refused $what without saying why: $output"
        status=1
    else
        echo "ok: refused $what"
    fi
}
