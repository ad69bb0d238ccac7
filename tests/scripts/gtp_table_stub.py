"""A GTP engine that answers from a table, for testing the scripts that talk to engines.

    gtp_table_stub.py TABLE.json LOG [ARGS...]

TABLE is {"known": [commands known_command says true for], "answers": {"N command": answer}},
where N is the number of play commands since the last clear_board; a command not in the table
answers "=" with nothing. LOG gets the program's arguments as its first line, then every
command received. An answer of null to all_move_values ends with no blank line, as GNU Go 3.8
answers it when no move has a value.
"""

import json
import sys


def main(table_path, log_path, *args):
    with open(table_path, encoding="utf-8") as f:
        table = json.load(f)
    log = open(log_path, "w", encoding="utf-8")
    log.write(" ".join(args) + "\n")
    played = 0
    for line in sys.stdin:
        command = line.strip()
        log.write(command + "\n")
        log.flush()
        words = command.split()
        if not words:
            continue
        if words[0] == "clear_board":
            played = 0
        elif words[0] == "play":
            played += 1
        key = "%d %s" % (played, command)
        if words[0] == "known_command":
            answer = "true" if words[1:2] and words[1] in table.get("known", []) else "false"
        else:
            answer = table.get("answers", {}).get(key, "")
        if answer is None:
            sys.stdout.write("= \n")
        else:
            sys.stdout.write("= %s\n\n" % answer)
        sys.stdout.flush()
        if words[0] == "quit":
            break


if __name__ == "__main__":
    main(*sys.argv[1:])
