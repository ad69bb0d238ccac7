// libFuzzer target for the SGF tokenizer, parser, writer and record tree. Any input must parse
// without a crash; what is written from it must read back without a message and write again to
// the same text; the record tree must populate, replay and save it; nothing may leak.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/engine.h"
#include "records/replay.h"
#include "records/sgfparse.h"
#include "records/sgftree.h"

namespace {

class TQuietHost : public obrin::IHost {};

void Require(bool condition) {
    if (!condition) std::abort();
}

void ExerciseRecordTree(std::unique_ptr<obrin::TSgfData> root) {
    // One engine for all inputs: building one is the slow part, and replay clears the board.
    static TQuietHost host;
    static obrin::TEngine engine(host);
    obrin::TSgfParser parser;
    obrin::TSgfTreeModel tree(engine);
    obrin::TRecordReplay replay(engine, tree);
    tree.SetSgfParser(&parser);
    parser.SetRoot(std::move(root));
    tree.Rebuild();
    for (const auto& game : tree.Items()) tree.Expand(game.get());
    obrin::ReplayMainLine(tree, replay, -1);
    std::vector<std::string> messages;
    auto again = obrin::ParseSgfText("saved.sgf", tree.SaveToString(), &messages);
    Require(messages.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        std::vector<std::string> messages;
        auto root = obrin::ParseSgfText(
            "fuzz.sgf", std::string(reinterpret_cast<const char*>(data), size), &messages);
        const std::string written = obrin::WriteSgfData(*root, std::string(), 0);
        std::vector<std::string> again;
        auto reread = obrin::ParseSgfText("written.sgf", written, &again);
        Require(again.empty());
        Require(obrin::WriteSgfData(*reread, std::string(), 0) == written);
        ExerciseRecordTree(root->Clone());
    }
    Require(obrin::CountSgfData() == 0 && obrin::CountSgfMultiPurposeList() == 0);
    return 0;
}
