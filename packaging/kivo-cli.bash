# bash completion for kivo-cli. The commands and options are read from kivo-cli's own help, so they are
# always those of the installed program.
_kivo_cli() {
    local cur words=() i w help
    cur="${COMP_WORDS[COMP_CWORD]}"
    # The subcommands typed so far: the words before the cursor that are not options or their values.
    for ((i = 1; i < COMP_CWORD; i++)); do
        w="${COMP_WORDS[i]}"
        [[ "$w" == -* ]] && continue
        words+=("$w")
    done
    help="$("${COMP_WORDS[0]}" "${words[@]}" --help 2>/dev/null)"
    local subcommands options
    subcommands="$(printf '%s\n' "$help" | awk '/^[A-Za-z]*ubcommands:/ {s=1; next} /^[^ ]/ {s=0} s && NF {print $1}')"
    options="$(printf '%s\n' "$help" | grep -oE -- '--[a-z][a-z0-9-]*' | sort -u)"
    if [[ "$cur" == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    elif [[ -n "$subcommands" ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$subcommands" -- "$cur")
    else
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        compopt -o filenames 2>/dev/null
    fi
}
complete -F _kivo_cli kivo-cli
