# Tab completion for the halomark command in fish.

set -l commands status on off toggle auto automatic set reset uninstall signal run claude-hook shell-init version help
set -l styles breathing double steady

complete -c halomark -f
complete -c halomark -n "not __fish_seen_subcommand_from $commands" -a status -d "Show the logo's setting and current brightness"
complete -c halomark -n "not __fish_seen_subcommand_from $commands" -a on -d "Turn the logo on (back to its last on setting)"
complete -c halomark -n "not __fish_seen_subcommand_from $commands" -a off -d "Turn the logo off"
complete -c halomark -n "not __fish_seen_subcommand_from $commands" -a toggle -d "Switch between off and the last on setting"
complete -c halomark -n "not __fish_seen_subcommand_from $commands" -a "auto automatic" -d "Follow the display"
complete -c halomark -n "not __fish_seen_subcommand_from $commands" -a set -d "Hold a fixed brightness in nits"
complete -c halomark -n "not __fish_seen_subcommand_from $commands" -a reset -d "Give the logo back to the normal behaviour"
complete -c halomark -n "not __fish_seen_subcommand_from $commands" -a uninstall -d "Remove Halomark's settings, links and program"
complete -c halomark -n "not __fish_seen_subcommand_from $commands" -a signal -d "Pulse the logo until you come back, or stop it"
complete -c halomark -n "not __fish_seen_subcommand_from $commands" -a run -d "Run a command and signal when it finishes"
complete -c halomark -n "not __fish_seen_subcommand_from $commands" -a claude-hook -d "Make Claude Code signal when it needs your input"
complete -c halomark -n "not __fish_seen_subcommand_from $commands" -a shell-init -d "Print what makes a shell signal after every long command"
complete -c halomark -n "not __fish_seen_subcommand_from $commands" -a version -d "Show the version"
complete -c halomark -n "not __fish_seen_subcommand_from $commands" -a help -d "Show a summary of the commands"

complete -c halomark -n "__fish_seen_subcommand_from set; and test (count (commandline -opc)) -eq 2" -a "25 150 600" -d "Nits"
complete -c halomark -n "__fish_seen_subcommand_from signal; and test (count (commandline -opc)) -eq 2" -a stop -d "Stop the signal"
complete -c halomark -n "__fish_seen_subcommand_from signal run" -l message -x -d "Text shown with the signal"
complete -c halomark -n "__fish_seen_subcommand_from signal run" -l style -x -a "$styles" -d "Pulse style"
complete -c halomark -n "__fish_seen_subcommand_from run" -a "(__fish_complete_subcommand --fcs-skip=2)"
complete -c halomark -n "__fish_seen_subcommand_from claude-hook; and test (count (commandline -opc)) -eq 2" -a "install remove status"
complete -c halomark -n "__fish_seen_subcommand_from uninstall" -s y -l yes -d "Don't ask for confirmation"
complete -c halomark -n "__fish_seen_subcommand_from status" -l json -d "One JSON object"
complete -c halomark -n "__fish_seen_subcommand_from status" -l format -x -a "json waybar" -d "Output for programs"
complete -c halomark -n "__fish_seen_subcommand_from status" -l follow -d "A line for each change"
complete -c halomark -n "__fish_seen_subcommand_from shell-init; and test (count (commandline -opc)) -eq 2" -a "bash zsh fish"
complete -c halomark -n "__fish_seen_subcommand_from shell-init" -l after -x -d "Signal after commands that ran this long (seconds)"
