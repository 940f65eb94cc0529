#!/usr/bin/env python3
"""What the shell snippet adds to each prompt: real interactive bash, zsh and fish in a
pseudo-terminal run PROMPTS short commands (each under the threshold, so each ends at a prompt
and starts nothing), with and without the snippet in their start-up file; the difference per
prompt is the snippet's cost. The two shells take turns, ROUNDS rounds each; figures are medians.

Usage: shell_prompt_cost.py BUILD_DIR SCRATCH_DIR [PROMPTS] [ROUNDS]
(shell_prompt_cost.sh runs it in a throw-away home.)
"""
import os
import pty
import select
import statistics
import subprocess
import sys
import time


class Shell:
    def __init__(self, program, environment):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.chdir(environment["HOME"])
            os.execve(program, [program, "-i"], environment)
        self.shown = b""

    def type(self, text):
        os.write(self.fd, text.encode())

    def wait_for(self, text, timeout=60):
        deadline = time.monotonic() + timeout
        wanted = text.encode()
        while wanted not in self.shown:
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError(f"{text!r} did not appear")
            ready, _, _ = select.select([self.fd], [], [], left)
            if ready:
                self.shown += os.read(self.fd, 65536)
        self.shown = self.shown[self.shown.index(wanted) + len(wanted):]

    def close(self):
        os.kill(self.pid, 9)
        os.waitpid(self.pid, 0)
        os.close(self.fd)


def startup_file(shell, home, config):
    if shell == "bash":
        return os.path.join(home, ".bashrc")
    if shell == "zsh":
        return os.path.join(home, ".zshrc")
    return os.path.join(config, "fish/config.fish")


# The same plain prompt in both variants: a default prompt that asks a version-control tool each
# time would drown the figure in its own noise.
PLAIN_PROMPT = {
    "bash": "PS1='$ '\n",
    "zsh": "PS1='%% '\n",
    "fish": "function fish_prompt; echo -n '> '; end\nset -g fish_greeting\n",
}


def start(shell, snippet, scratch, name):
    """A shell whose start-up file (in a home of its own) holds the plain prompt and `snippet`."""
    home = os.path.join(scratch, name)
    config = os.path.join(home, ".config")
    path = startup_file(shell, home, config)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as rc:
        rc.write(PLAIN_PROMPT[shell] + snippet)
    process = Shell(f"/usr/bin/{shell}", dict(os.environ, TERM="xterm", HOME=home, XDG_CONFIG_HOME=config))
    # The marker is quoted apart so the typed line does not show it.
    process.type('echo "rea""dy"\r')
    process.wait_for("ready")
    return process


def one_round(process, prompts, number):
    started = time.monotonic()
    process.type("true\r" * prompts + f'echo "round""-{number}"\r')
    process.wait_for(f"round-{number}")
    return time.monotonic() - started


def compare(shell, snippet, scratch, prompts, rounds):
    """Seconds a round without and with the snippet, the two shells taking turns so that both see
    the same load; and the median of the differences of each turn."""
    without = start(shell, "", scratch, f"{shell}-without")
    loaded = start(shell, snippet, scratch, f"{shell}-with")
    try:
        plain, with_snippet = [], []
        for number in range(rounds):
            plain.append(one_round(without, prompts, number))
            with_snippet.append(one_round(loaded, prompts, number))
        differences = [b - a for a, b in zip(plain, with_snippet)]
        return statistics.median(plain), statistics.median(with_snippet), statistics.median(differences)
    finally:
        without.close()
        loaded.close()


def main():
    build, scratch = sys.argv[1], sys.argv[2]
    prompts = int(sys.argv[3]) if len(sys.argv) > 3 else 200
    rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 5
    tool = os.path.join(build, "halomark")
    print(f"{prompts} prompts a round, median of {rounds} rounds (threshold: the default 10 s)")
    for shell in ("bash", "zsh", "fish"):
        snippet = subprocess.run([tool, "shell-init", shell], capture_output=True, text=True, check=True).stdout
        without, loaded, added = compare(shell, snippet, scratch, prompts, rounds)
        print(f"{shell}: without {without * 1000 / prompts:.3f} ms a prompt, with {loaded * 1000 / prompts:.3f} ms; "
              f"the snippet adds {added * 1000 / prompts:.3f} ms a prompt")


if __name__ == "__main__":
    main()
