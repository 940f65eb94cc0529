# Tab completion for the halomark command in bash.

_halomark_reply() {
  mapfile -t COMPREPLY < <(compgen -W "$1" -- "$2")
}

# `run` reads options only up to "--" or the first word that is not one; the rest is a command line
# of its own, completed as bash would complete it.
_halomark_run() {
  local cur=$1 prev=$2 start=2 in_command=
  while ((start < COMP_CWORD)); do
    case ${COMP_WORDS[start]} in
      --) ((start++)); in_command=1; break ;;
      --message | --style) ((start += 2)) ;;
      *) in_command=1; break ;;
    esac
  done
  if [[ $in_command ]]; then
    if declare -F _command_offset >/dev/null; then
      _command_offset "$start"
    elif ((COMP_CWORD == start)); then
      mapfile -t COMPREPLY < <(compgen -c -- "$cur")
    else
      mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    fi
    return
  fi
  case $prev in
    --style) _halomark_reply "breathing double steady" "$cur" ;;
    --message) ;;
    *)
      if [[ $cur == -* ]]; then
        _halomark_reply "--message --style --" "$cur"
      else
        mapfile -t COMPREPLY < <(compgen -c -- "$cur")
      fi
      ;;
  esac
}

_halomark() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  COMPREPLY=()
  if ((COMP_CWORD == 1)); then
    _halomark_reply "status on off toggle auto automatic set reset uninstall signal run claude-hook shell-init version help" "$cur"
    return
  fi
  case ${COMP_WORDS[1],,} in
    status)
      if [[ $prev == --format ]]; then
        _halomark_reply "json waybar" "$cur"
      else
        _halomark_reply "--json --format --follow" "$cur"
      fi
      ;;
    shell-init)
      if [[ $prev == --after ]]; then
        :
      elif ((COMP_CWORD == 2)); then
        _halomark_reply "bash zsh fish --after" "$cur"
      else
        _halomark_reply "--after" "$cur"
      fi
      ;;
    set) ((COMP_CWORD == 2)) && _halomark_reply "25 150 600" "$cur" ;;
    signal)
      case $prev in
        --style) _halomark_reply "breathing double steady" "$cur" ;;
        --message) ;;
        *) if ((COMP_CWORD == 2)); then
             _halomark_reply "stop --message --style" "$cur"
           else
             _halomark_reply "--message --style" "$cur"
           fi ;;
      esac
      ;;
    run) _halomark_run "$cur" "$prev" ;;
    claude-hook) ((COMP_CWORD == 2)) && _halomark_reply "install remove status" "$cur" ;;
    uninstall) _halomark_reply "--yes" "$cur" ;;
  esac
}

complete -F _halomark halomark
