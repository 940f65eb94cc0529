#!/usr/bin/env python3
"""What the shell snippet adds to each prompt: real interactive bash, zsh and fish in a
pseudo-terminal run PROMPTS short commands (each under the threshold, so each ends at a prompt
and starts nothing), with and without the snippet in their start-up file; the difference per
prompt is the snippet's cost. Each figure is the median of ROUNDS rounds in one shell.

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
            # Out of any repository, so a prompt that shows one asks nothing.
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


def seconds_per_round(shell, snippet, prompts, rounds):
    home, config = os.environ["HOME"], os.environ["XDG_CONFIG_HOME"]
    path = startup_file(shell, home, config)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as rc:
        rc.write(snippet)
    process = Shell(f"/usr/bin/{shell}", dict(os.environ, TERM="xterm"))
    try:
        # The marker is quoted apart so the typed line does not show it.
        process.type('echo "rea""dy"\r')
        process.wait_for("ready")
        figures = []
        for number in range(rounds):
            started = time.monotonic()
            process.type("true\r" * prompts + f'echo "round""-{number}"\r')
            process.wait_for(f"round-{number}")
            figures.append(time.monotonic() - started)
        return statistics.median(figures)
    finally:
        process.close()


def main():
    build, scratch = sys.argv[1], sys.argv[2]
    prompts = int(sys.argv[3]) if len(sys.argv) > 3 else 200
    rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 5
    tool = os.path.join(build, "halomark")
    print(f"{prompts} prompts a round, median of {rounds} rounds (threshold: the default 10 s)")
    for shell in ("bash", "zsh", "fish"):
        snippet = subprocess.run([tool, "shell-init", shell], capture_output=True, text=True, check=True).stdout
        without = seconds_per_round(shell, "", prompts, rounds)
        loaded = seconds_per_round(shell, snippet, prompts, rounds)
        print(f"{shell}: without {without * 1000 / prompts:.3f} ms a prompt, with {loaded * 1000 / prompts:.3f} ms; "
              f"the snippet adds {(loaded - without) * 1000 / prompts:.3f} ms a prompt")


if __name__ == "__main__":
    main()
