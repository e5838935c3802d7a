#!/bin/bash
# The bash completion of kestrel-cli, with bash-completion's two helpers stood in for:
# commands, options per command, fixed values, --port values from `kestrel-cli ports`.
set -u
script=$1
cli=$2
_init_completion() {
    words=("${COMP_WORDS[@]}")
    cword=$COMP_CWORD
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
}
_filedir() { COMPREPLY=("files:${1:-}"); }
# shellcheck source=/dev/null
source "$script"
failed=0
expect() { # expect "WORDS..." "wanted reply"
    read -r -a COMP_WORDS <<<"$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_WORDS[0]=$cli
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _kestrel_cli
    local got="${COMPREPLY[*]}"
    if [[ $got != "$2" ]]; then
        echo "\"$1\": got \"$got\", wanted \"$2\""
        failed=1
    fi
}
expect "kestrel-cli ch" "channels"
expect "kestrel-cli channels --j" "--json"
expect "kestrel-cli new --band " "0 1 2"
expect "kestrel-cli channels --format c" "chirp"
expect "kestrel-cli diff " "files:@(dat|yaml)"
expect "kestrel-cli import a.dat " "files:@(dat|csv)"
expect "kestrel-cli read -o " "files:@(dat|yaml)"
expect "kestrel-cli export a.dat -o " "files:yaml"
expect "kestrel-cli --demo re" "read"
expect "kestrel-cli f" "fields"
expect "kestrel-cli help wr" "write"
expect "kestrel-cli ports --r" "--remove"
expect "kestrel-cli write --per" "--per-radio"
expect "kestrel-cli write a.dat --per-radio " "files:@(csv|txt)"
# Every --port value offered is a Com number or a device `ports` lists.
ports=$("$cli" ports | cut -f1,2 | tr '\t' '\n' | grep -v '^-$' | sort -u | tr '\n' ' ')
read -r -a COMP_WORDS <<<"kestrel-cli read --port"
COMP_WORDS+=("")
COMP_WORDS[0]=$cli
COMP_CWORD=3
_kestrel_cli
got=$(printf '%s\n' "${COMPREPLY[@]}" | sort -u | tr '\n' ' ')
[[ $got == "$ports" ]] || { echo "--port: got \"$got\", wanted \"$ports\""; failed=1; }
exit $failed
