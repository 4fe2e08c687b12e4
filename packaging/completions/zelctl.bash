# bash completion for zelctl: commands, options, the serial ports present and
# the names of the settings. Ports and names are asked of zelctl itself; when it
# cannot answer, those candidates are simply left out.

_zelctl_commands="ports info get set settings dump backup restore reboot upgrade monitor exporter log"
_zelctl_global_options="--port --ports-file --json --trace --quiet --yes --read-only --help --version"

# Every word of `zelctl ports` that is a device path: the port names and their
# /dev/serial/by-id aliases.
_zelctl_ports()
{
    "$1" ports 2>/dev/null | awk '{ for (i = 1; i <= NF; i++) if ($i ~ /^\/dev\//) print $i }'
}

# `zelctl settings` prints one setting a line: category and setting numbers
# (decimal, 0x hex, or CAT:SETTING), then the name. A line whose first word after
# the numbers is no name (a heading, a note) gives none.
_zelctl_setting_names()
{
    "$1" settings 2>/dev/null | awk '
        function number(word) { return word ~ /^(0[xX][0-9a-fA-F]+|[0-9]+)(:(0[xX][0-9a-fA-F]+|[0-9]+))?$/ }
        number($1) {
            i = 1
            while (i < NF && number($i)) i++
            if ($i ~ /^[a-z][a-z0-9]*(-[a-z0-9]+)*$/) print $i
        }' | sort -u
}

_zelctl()
{
    local cur prev words cword
    if declare -F _init_completion >/dev/null; then
        _init_completion || return
    else
        cur="${COMP_WORDS[COMP_CWORD]}"
        prev="${COMP_WORDS[COMP_CWORD-1]}"
        words=("${COMP_WORDS[@]}")
        cword=$COMP_CWORD
    fi
    local program="${words[0]}"

    case "$prev" in
        --port)
            COMPREPLY=($(compgen -W "$(_zelctl_ports "$program")" -- "$cur"))
            return ;;
        --ports-file)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$cur"))
            return ;;
        --interval|--count|--firmware|--max-parallel|--unit|--since|--until|--listen)
            return ;;
    esac

    # The command is the first word that is neither an option nor an option's value.
    local command="" i arguments=0
    for ((i = 1; i < cword; i++)); do
        case "${words[i]}" in
            --port|--ports-file|--interval|--count|--firmware|--max-parallel|--unit|--since|--until|--listen) ((i++)) ;;
            -*) ;;
            *) if [[ -z "$command" ]]; then command="${words[i]}"; else ((arguments++)); fi ;;
        esac
    done

    if [[ "$cur" == -* ]]; then
        local options="$_zelctl_global_options"
        case "$command" in
            restore) options+=" --dry-run" ;;
            upgrade) options+=" --check --firmware --max-parallel" ;;
            log) options+=" --unit --since --until" ;;
            monitor) options+=" --interval --count" ;;
            exporter) options+=" --listen --interval" ;;
        esac
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi

    case "$command" in
        "")
            COMPREPLY=($(compgen -W "$_zelctl_commands" -- "$cur")) ;;
        get|monitor)
            [[ "$command" == get && $arguments -gt 0 ]] && return
            [[ "$cur" == [0-9]* ]] && return
            COMPREPLY=($(compgen -W "$(_zelctl_setting_names "$program")" -- "$cur")) ;;
        set)
            [[ $arguments -gt 0 || "$cur" == [0-9]* ]] && return
            COMPREPLY=($(compgen -W "$(_zelctl_setting_names "$program")" -- "$cur")) ;;
        backup|restore)
            # With several units the argument is a folder of backups.
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -X '!*.json' -- "$cur") $(compgen -d -- "$cur")) ;;
        upgrade)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -X '!*.zel' -- "$cur") $(compgen -d -- "$cur")) ;;
    esac
}

complete -F _zelctl zelctl
