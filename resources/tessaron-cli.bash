# Bash completion of tessaron-cli's options, their values and files.
_tessaron_cli()
{
    local current previous
    current="${COMP_WORDS[COMP_CWORD]}"
    previous="${COMP_WORDS[COMP_CWORD - 1]}"
    case "$previous" in
        --report)
            mapfile -t COMPREPLY < <(compgen -W "summary listing pairs info gff bed bedpe" -- "$current")
            return
            ;;
        --kind)
            mapfile -t COMPREPLY < <(compgen -W "direct inverted mirror complementary" -- "$current")
            return
            ;;
        --min | --max | --seed | --controls | -j | --jobs | --random | --motif | --record | --seqid | --repeat)
            return
            ;;
        --text | --genbank | --map | --chart)
            mapfile -t COMPREPLY < <(compgen -f -- "$current")
            return
            ;;
    esac
    if [[ "$current" == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "--text --genbank --record --seqid --random --seed --compare
            --batch --complete --controls -j --jobs --min --max --report --genes --kind --features --motif
            --tidy --csv --map --chart --repeat -q --quiet --help --version" -- "$current")
        return
    fi
    mapfile -t COMPREPLY < <(compgen -f -- "$current")
}
complete -o filenames -F _tessaron_cli tessaron-cli
