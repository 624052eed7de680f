# Bash completion of tessaron-cli's options, their values and files.
# Made from the option table (cli/src/options.cpp) and checked against it by
# the tests (optiontabletest.cpp), which write the new script when it differs.
_tessaron_cli()
{
    local current previous
    current="${COMP_WORDS[COMP_CWORD]}"
    previous="${COMP_WORDS[COMP_CWORD - 1]}"
    case "$previous" in
        --method)
            mapfile -t COMPREPLY < <(compgen -W "trie complete approximate" -- "$current")
            return
            ;;
        --report)
            mapfile -t COMPREPLY < <(compgen -W "summary listing pairs info gff bed bedpe ssr paper html tandem families" -- "$current")
            return
            ;;
        --normalize)
            mapfile -t COMPREPLY < <(compgen -W "fasta genbank" -- "$current")
            return
            ;;
        --mask)
            mapfile -t COMPREPLY < <(compgen -W "soft hard" -- "$current")
            return
            ;;
        --kind)
            mapfile -t COMPREPLY < <(compgen -W "direct inverted mirror complementary" -- "$current")
            return
            ;;
        --map-style)
            mapfile -t COMPREPLY < <(compgen -W "default staggered tidy paper" -- "$current")
            return
            ;;
        --record | --seqid | --random | --seed | --gap-open | --gap-extend | --mismatch-penalty | \
        --identity | --max-mismatches | --evalue | --controls | -j | --jobs | --min | --max | \
        --ssr-min | --ssr-compound | --plastome-min-ir | --plastome-min-ir-share | \
        --tandem-max-period | --tandem-match | --tandem-mismatch | --tandem-indel | \
        --tandem-min-score | --mask-classes | --motif | --map-size | --map-hide | --repeat)
            return
            ;;
        --text | --genbank | --map | --chart)
            mapfile -t COMPREPLY < <(compgen -f -- "$current")
            return
            ;;
    esac
    if [[ "$current" == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "--text --genbank --record --seqid --random --seed
            --compare --batch --method --complete --approximate --gaps --gap-open --gap-extend
            --families --mismatch-penalty --identity --max-mismatches --evalue --controls -j --jobs
            --min --max --report --ssr --ssr-min --ssr-compound --plastome --plastome-min-ir
            --plastome-min-ir-share --normalize --junctions --ssr-imperfect --tandem
            --tandem-max-period --tandem-all --tandem-match --tandem-mismatch --tandem-indel
            --tandem-min-score --mask --mask-classes --genes --kind --features --motif --tidy --csv
            --map --map-style --map-size --map-hide --chart --force --repeat -q --quiet --help
            --version" -- "$current")
        return
    fi
    mapfile -t COMPREPLY < <(compgen -f -- "$current")
}
complete -o filenames -F _tessaron_cli tessaron-cli
