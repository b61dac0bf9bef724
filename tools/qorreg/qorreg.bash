# bash completion for qorreg. Keep the verbs, options and types in step with
# 'qorreg --help': SupportVerbs_test.cpp compares them; completion_test.sh
# drives this function through COMP_WORDS and COMP_CWORD.
_qorreg_keys() {
    # The keys of the -f file, as query -s lists them (key lines are not indented).
    local file=$1 prefix=$2 key
    [[ -f $file ]] || return
    shopt -q nocasematch && local restore= || local restore=1
    shopt -s nocasematch
    while IFS= read -r key; do
        [[ -n $key && $key != " "* && $key == "$prefix"* ]] && printf '%q\n' "$key"
    done < <(qorreg -f "$file" query -s 2>/dev/null)
    [[ -n $restore ]] && shopt -u nocasematch
}

_qorreg() {
    local cur prev
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    local verbs="query add delete copy export import validate root compare check"
    local options="-f --file -v --value -t --type -d --data -s --subtree --app --twain --wait --regedit --utf16 --json --as --create --all --codepage --strict -h --help -V --version"
    local types="REG_SZ REG_DWORD REG_BINARY"
    local IFS=$'\n'  # a completion is one word, spaces and all

    case $prev in
        -f|--file)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$cur"))
            return ;;
        -t|--type)
            COMPREPLY=($(compgen -W "${types// /$'\n'}" -- "$cur"))
            return ;;
        --as)
            COMPREPLY=($(compgen -W $'store\ntwain\nregedit' -- "$cur"))
            return ;;
        --codepage)
            COMPREPLY=($(compgen -W $'utf-8\n1252\n1250\n1251\n437\n850' -- "$cur"))
            return ;;
        -v|--value|-d|--data|--wait)
            return ;;
    esac
    # The verb is the first word that is neither an option nor an option's
    # value; the words after it are its arguments.
    local i word verb= file= skip= args=()
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ -n $skip ]]; then
            [[ $skip == file ]] && file=$word
            skip=
            continue
        fi
        case $word in
            -f|--file) skip=file ;;
            -v|--value|-t|--type|-d|--data|--wait|--as|--codepage) skip=1 ;;
            -*) ;;
            *) if [[ -z $verb ]]; then verb=$word; else args+=("$word"); fi ;;
        esac
    done
    # The options each verb takes (besides -h and --help).
    local own
    case $verb in
        '') own="-f --file --codepage -h --help -V --version" ;;
        query) own="-f --file -v --value -s --subtree --json" ;;
        add) own="-f --file -v --value -t --type -d --data --wait --create" ;;
        delete) own="-f --file -v --value --wait --create" ;;
        copy) own="-f --file --wait --create" ;;
        export) own="-f --file --app --regedit --utf16 --twain --all" ;;
        import) own="-f --file --wait --create --as --strict" ;;
        validate) own="-f --file" ;;
        root) own="-f --file --twain" ;;
        compare) own="-f --file -s --subtree --json" ;;
        check) own="-f --file --json" ;;
    esac
    if [[ $cur == -* ]]; then
        [[ -n $verb ]] && own="$own --codepage -h --help"
        COMPREPLY=($(compgen -W "${own// /$'\n'}" -- "$cur"))
        return
    fi
    if [[ -z $verb ]]; then
        COMPREPLY=($(compgen -W "${verbs// /$'\n'}" -- "$cur"))
        return
    fi
    # Which argument is being typed: a KEY completes from the file's keys.
    local n=${#args[@]} kind=file
    [[ $verb == compare && -n $file ]] && ((n++))
    case $verb in
        query|add|delete|copy) kind=key ;;
        export) ((n == 0)) && kind=key ;;
        compare) ((n >= 2)) && kind=key ;;
    esac
    if [[ $kind == key ]]; then
        [[ $verb == compare && -z $file ]] && file=${args[0]}
        # What was typed, unquoted as the shell will read it.
        local typed=$cur
        [[ $typed == [\'\"]* ]] && typed=${typed:1}
        [[ ${cur:0:1} != "'" ]] && typed=${typed//\\\\/\\}
        COMPREPLY=($(_qorreg_keys "$file" "$typed"))
    else
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}
complete -F _qorreg qorreg
