# bash completion for kestrel-cli: commands, their options, --port values from
# `kestrel-cli ports`, .dat, .yaml and .csv file names.
_kestrel_cli() {
    local cur prev words cword
    _init_completion || return

    local commands="new channels import rows diff read write info ports detect doctor export apply get set fields help"
    if [[ $cword -eq 1 ]]; then
        COMPREPLY=($(compgen -W "$commands --help --version -h -v -V" -- "$cur"))
        return
    fi
    local command=${words[1]}
    # --demo before the command: the virtual radios stand in for radio and cable.
    if [[ $command == --demo ]]; then
        if [[ $cword -eq 2 ]]; then
            COMPREPLY=($(compgen -W "$commands" -- "$cur"))
            return
        fi
        command=${words[2]}
    fi

    case $prev in
    --port | -p)
        local ports
        ports=$("${words[0]}" ports 2>/dev/null | cut -f1,2 | tr '\t' '\n' | grep -v '^-$')
        COMPREPLY=($(compgen -W "$ports" -- "$cur"))
        # A network port's name has colons, which bash splits words at.
        declare -F __ltrim_colon_completions >/dev/null && __ltrim_colon_completions "$cur"
        return
        ;;
    --remove)
        local remembered
        remembered=$("${words[0]}" ports 2>/dev/null | awk -F'\t' '$3 == "network port" { print $2 }')
        COMPREPLY=($(compgen -W "$remembered" -- "$cur"))
        declare -F __ltrim_colon_completions >/dev/null && __ltrim_colon_completions "$cur"
        return
        ;;
    --add)
        return
        ;;
    --band | -b)
        COMPREPLY=($(compgen -W "0 1 2" -- "$cur"))
        return
        ;;
    --format)
        COMPREPLY=($(compgen -W "kestrel chirp" -- "$cur"))
        return
        ;;
    --lang)
        COMPREPLY=($(compgen -W "en zh" -- "$cur"))
        return
        ;;
    --retries | --count | --insert | --delete | --up | --down | --sort)
        return
        ;;
    -o | --output)
        if [[ $command == export ]]; then _filedir yaml; else _filedir '@(dat|yaml)'; fi
        return
        ;;
    --log)
        _filedir csv
        return
        ;;
    --per-radio)
        _filedir '@(csv|txt)'
        return
        ;;
    esac

    local options=""
    case $command in
    new) options="--band -o" ;;
    channels) options="--format --lang --json" ;;
    import) options="-o --format --lang" ;;
    rows) options="--insert --count --drop --delete --up --down --sort -o" ;;
    diff) options="--lang --json" ;;
    read) options="--port -o --retries --no-backup" ;;
    write) options="--port --retries --verify --log --per-radio --json" ;;
    info) options="--port --retries --json" ;;
    ports) options="--json --add --remove" ;;
    detect) options="--json" ;;
    doctor) options="--port" ;;
    export) options="-o" ;;
    apply | set) options="-o" ;;
    help)
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        return
        ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
        return
    fi
    case $command in
    import) _filedir '@(dat|csv)' ;;
    new | ports | detect | info | doctor | fields) ;;
    *) _filedir '@(dat|yaml)' ;;
    esac
}
complete -F _kestrel_cli kestrel-cli
