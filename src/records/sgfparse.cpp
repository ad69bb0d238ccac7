#include "records/sgfparse.h"

#include <cctype>
#include <cstdio>
#include <functional>

#include "board/errors.h"
#include "records/ownformats.h"
#include "records/sgftree.h"

namespace obrin {
namespace {

// Recursive descent on the SGF grammar, with an explicit stack of open game trees so that
// nesting depth costs heap, not call stack. Error recovery reports what it expected but never
// consumes a token that carries structure (";", "(", ")", the end), so one missing piece does
// not swallow the next node or game tree.
class TSgfGrammar {
  public:
    explicit TSgfGrammar(TSgfTokenizer& t) : m_t(t) {}

    void ParseGames(const std::function<void(std::unique_ptr<TSgfData>)>& onGame) {
        while (m_t.Kind != toEOF) {
            if (StartsGameTree())
                onGame(ParseGameTree());
            else
                SkipOutsideText();
        }
    }

  private:
    // A game tree starts at "(" followed by ";", at a ";" whose "(" is missing, or at "("
    // followed by a property whose ";" is missing (the node reports it and keeps the property).
    [[nodiscard]] bool StartsGameTree() const {
        return m_t.Kind == toSemicolon || (m_t.Kind == toOpenParenthese &&
                                           (m_t.PeekAfterWhite() == ';' || m_t.PropertyFollows()));
    }

    // Text before, between or after the game trees (a byte-order mark, mail headers, notes) is
    // skipped with one message line, so it never turns into a junk game that a save would keep.
    void SkipOutsideText() {
        const int64_t line = m_t.TokenLine, column = m_t.TokenColumn;
        do m_t.NextToken();
        while (m_t.Kind != toEOF && !StartsGameTree());
        char text[512];
        std::snprintf(text, sizeof text, msg::SgfSkippedText, static_cast<long long>(line),
                      static_cast<long long>(column), m_t.FileName().substr(0, 400).c_str());
        m_t.Report(text);
    }

    std::unique_ptr<TSgfData> ParseGameTree() {
        std::unique_ptr<TSgfData> root = OpenGameTree();
        std::vector<TSgfData*> open{root.get()};
        while (!open.empty()) {
            if (m_t.Kind == toOpenParenthese) {
                TSgfData* child = open.back()->Variations->Add(OpenGameTree());
                open.push_back(child);
            } else {
                m_t.Expect(toCloseParenthese);
                open.pop_back();
            }
        }
        return root;
    }

    // "(" and the main sequence of a game tree; its variations follow in ParseGameTree.
    std::unique_ptr<TSgfData> OpenGameTree() {
        auto tree = TSgfData::Make(TSgfKind::GameTree);
        if (m_t.Kind == toOpenParenthese)
            m_t.NextToken();
        else
            m_t.ReportExpected(toOpenParenthese);
        tree->Sequence = ParseSequence();
        return tree;
    }

    std::unique_ptr<TSgfData> ParseSequence() {
        auto sequence = TSgfData::Make(TSgfKind::Sequence);
        sequence->Nodes->Add(ParseNode());
        while (m_t.Kind == toSemicolon) sequence->Nodes->Add(ParseNode());
        return sequence;
    }

    std::unique_ptr<TSgfData> ParseNode() {
        auto node = TSgfData::Make(TSgfKind::Node);
        if (m_t.Kind == toSemicolon)
            m_t.NextToken();
        else
            m_t.ReportExpected(toSemicolon);
        for (;;) {
            if (m_t.Kind == toChar) {
                node->Properties->Add(ParseProperty());
            } else if (m_t.Kind == toPropertyValue || m_t.Kind == toEOFInValue) {
                m_t.Expect(toChar);  // a value without an identifier
            } else {
                break;
            }
        }
        return node;
    }

    std::unique_ptr<TSgfData> ParseProperty() {
        auto property = TSgfData::Make(TSgfKind::Property);
        property->Identifier = ReadIdentifier();
        if (m_t.Kind != toPropertyValue && m_t.Kind != toEOFInValue) {
            // The value is missing: the property keeps an empty one and the token stays.
            m_t.ReportExpected(toPropertyValue);
            AddValue(*property, std::string());
        }
        for (;;) {
            if (m_t.Kind == toPropertyValue) {
                AddValue(*property, std::move(m_t.Text));
                m_t.NextToken();
            } else if (m_t.Kind == toEOFInValue) {
                // What was read of an unclosed value is kept; the line reports it.
                AddValue(*property, m_t.Text);
                m_t.Expect(toPropertyValue);
            } else {
                break;
            }
        }
        return property;
    }

    // Lower-case letters are dropped, so AddBlack gives AB; digits and other bytes stay.
    std::string ReadIdentifier() {
        std::string identifier;
        while (m_t.Kind == toChar) {
            const char c = m_t.Text[0];
            if (c < 'a' || c > 'z') identifier += c;
            m_t.NextToken();
        }
        return identifier;
    }

    static void AddValue(TSgfData& property, std::string text) {
        property.Values->Add(TSgfData::Make(TSgfKind::PropertyValue))->Value = std::move(text);
    }

    TSgfTokenizer& m_t;
};

}  // namespace

void ParseSgfGames(TSgfTokenizer& tokenizer,
                   const std::function<void(std::unique_ptr<TSgfData>)>& onGame) {
    TSgfGrammar(tokenizer).ParseGames(onGame);
    tokenizer.Expect(toEOF);
}

std::unique_ptr<TSgfData> ParseSgfCollection(TSgfTokenizer& tokenizer) {
    auto collection = TSgfData::Make(TSgfKind::Collection);
    ParseSgfGames(tokenizer, [&collection](std::unique_ptr<TSgfData> game) {
        collection->GameTrees->Add(std::move(game));
    });
    return collection;
}

std::unique_ptr<TSgfData> ParseSgfText(const std::string& fileName, std::string data,
                                       std::vector<std::string>* messages) {
    TSgfTokenizer tokenizer(fileName, std::move(data), messages);
    return ParseSgfCollection(tokenizer);
}

std::string UpperExtension(const std::string& fileName) {
    const size_t dot = fileName.find_last_of('.');
    const size_t slash = fileName.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = fileName.substr(dot);
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}

TSgfParser::TSgfParser(std::string name) : m_name(std::move(name)) {}

TSgfParser::~TSgfParser() {
    if (m_treeView != nullptr) m_treeView->ParserDestroyed();
}

void TSgfParser::SetActive(bool active) {
    if (active == m_active) return;
    m_active = active;
    m_root.reset();
    if (!active) return;
    Open();
    if (m_treeView != nullptr) m_treeView->Rebuild();
}

void TSgfParser::SetFilename(const std::string& filename) {
    if (filename != m_filename && m_active) throw EObrinError(m_name + msg::SgfParserActive);
    m_filename = filename;
}

void TSgfParser::Open() {
    const std::string ext = UpperExtension(m_filename);
    if (ext == ".SGF" || ext == ".MGT") {
        TSgfTokenizer tokenizer(m_filename, &Messages());
        m_root = ParseSgfCollection(tokenizer);
    } else if (ext == ".STL") {
        TStlParser(m_filename, *this).Parse();
    } else if (ext == ".OBR") {
        TObrParser(m_filename, *this).Parse();
    }
}

}  // namespace obrin
