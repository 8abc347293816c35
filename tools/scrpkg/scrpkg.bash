# bash completion for scrpkg. The subcommands and their options are read from scrpkg's own
# --help, so they never fall behind the program.

_scrpkg_subcommands() {
  "$1" --help 2>/dev/null | awk '/^Subcommands:/ { listing = 1; next } listing && NF { print $1 }'
}

_scrpkg() {
  local cur prev words cword
  _init_completion || return

  local subcommand="" word
  for word in "${words[@]:1:cword-1}"; do
    if [[ $word != -* ]]; then
      subcommand=$word
      break
    fi
  done

  if [[ -z $subcommand ]]; then
    if [[ $cur == -* ]]; then
      COMPREPLY=($(compgen -W '--help --version' -- "$cur"))
    else
      COMPREPLY=($(compgen -W "$(_scrpkg_subcommands "$1")" -- "$cur"))
    fi
    return
  fi

  case $prev in
    -d | --windows-dir | --wine-prefix)
      _filedir -d
      return
      ;;
    --answers | --name | --base | --level | --free-kb | --without)
      return
      ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W '$(_parse_help "$1" "$subcommand --help")' -- "$cur"))
  else
    _filedir
  fi
} && complete -F _scrpkg scrpkg
