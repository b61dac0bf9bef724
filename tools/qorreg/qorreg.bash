# bash completion for qorreg. Keep the verbs, options and types in step with
# 'qorreg --help': ManualAndCompletion_test.cpp compares them.
_qorreg() {
    local cur prev
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    local verbs="query add delete copy export import validate root compare check"
    local options="-f --file -v --value -t --type -d --data -s --subtree --app --twain --wait --regedit --utf16 --json --as --create --all -h --help -V --version"
    local types="REG_SZ REG_DWORD REG_BINARY"

    case $prev in
        -f|--file)
            COMPREPLY=($(compgen -f -- "$cur"))
            return ;;
        -t|--type)
            COMPREPLY=($(compgen -W "$types" -- "$cur"))
            return ;;
        --as)
            COMPREPLY=($(compgen -W "store twain regedit" -- "$cur"))
            return ;;
        -v|--value|-d|--data|--wait)
            return ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    # The first word that is neither an option nor an option's value is the verb.
    local i word verb= skip=
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ -n $skip ]]; then skip=; continue; fi
        case $word in
            -f|--file|-v|--value|-t|--type|-d|--data|--wait|--as) skip=1 ;;
            -*) ;;
            *) verb=$word; break ;;
        esac
    done
    if [[ -z $verb ]]; then
        COMPREPLY=($(compgen -W "$verbs" -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}
complete -o filenames -F _qorreg qorreg
