#include "app/train_commands.h"

#include <cstdio>
#include <iostream>

#include "app/gnugo_games.h"

namespace obrin::train {
namespace {

using cli::Args;

// "--name value" as text; fallback when absent.
std::string Option(const Args& args, const std::string& name, const std::string& fallback) {
    for (size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == name) return args[i + 1];
    return fallback;
}
int IntOpt(const Args& args, const std::string& name, int fallback) {
    return std::stoi(Option(args, name, std::to_string(fallback)));
}

int RunGames(const Args& args) {
    TGamesOptions o;
    o.GnuGo = Option(args, "--gnugo", o.GnuGo);
    o.OutFile = Option(args, "--out", "");
    o.Games = IntOpt(args, "--games", o.Games);
    o.FirstGame = IntOpt(args, "--first", o.FirstGame);
    o.Level = IntOpt(args, "--level", o.Level);
    if (o.OutFile.empty()) {
        std::cerr << "obrin-cli train games: --out FILE is needed\n";
        return 2;
    }
    PlayGnuGoGames(o);
    return 0;
}

}  // namespace

std::map<std::string, cli::TSubcommand> TrainCommands() {
    return {
        {"games",
         {"train games --out FILE [--games N] [--first K] [--level L] [--gnugo PATH]   GNU Go self-play "
          "games with its verdicts (data building only)",
          RunGames}},
    };
}

}  // namespace obrin::train
