#!/bin/bash
# The bash completion answers four partial command lines as a user would
# see them: a command, an option, a settings keyword after --set, a file
# after write, and the ports telx5-cli lists after --port.
set -u
completion=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
source "$completion"
# A telx5-cli of the test's own that lists a port of the test's own.
cat >"$folder/telx5-cli" <<STUB
#!/bin/sh
[ "\$1" = ports ] && echo "$folder/ttyTEST0"
STUB
chmod +x "$folder/telx5-cli"
touch "$folder/base.ini" "$folder/backup.ini"

failed=0
expect() {
    local line=$1 wanted=$2
    read -r -a COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_WORDS[0]=$folder/telx5-cli
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _telx5_cli
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ')
    if [[ $got != "$wanted" ]]; then
        echo "\"$line\": got \"$got\", wanted \"$wanted\"" >&2
        failed=1
    fi
}

expect "telx5-cli wr" "write "
expect "telx5-cli hi" "history "
expect "telx5-cli --st" "--strict "
expect "telx5-cli --j" "--json "
expect "telx5-cli --set CO" "COMMENT\\ TEXT= "
expect "telx5-cli --strict write $folder/ba" "$folder/backup.ini $folder/base.ini "
expect "telx5-cli --port " "$folder/ttyTEST0 "
expect "telx5-cli --port $folder/ttyTEST0 fl" "flash "
exit $failed
