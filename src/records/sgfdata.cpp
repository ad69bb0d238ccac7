#include "records/sgfdata.h"

#include <algorithm>
#include <cassert>
#include <limits>

#include "board/errors.h"
#include "records/nodepool.h"

namespace obrin {
namespace {

// The engine runs on one thread; the counts are plain integers.
int64_t g_countSgfData = 0;
int64_t g_countSgfMultiPurposeList = 0;

void Increment(int64_t& count) {
    if (count == std::numeric_limits<int64_t>::max()) throw EObrinError("SGF node count overflow");
    ++count;
}

void Decrement(int64_t& count) {
    assert(count > 0);
    --count;
}

constexpr const char* kCrLf = "\r\n";

// Constant-initialized, so they exist before any tree and need no guard on each use.
constinit TNodePool g_dataPool(sizeof(TSgfData));
constinit TNodePool g_listPool(sizeof(TSgfMultiPurposeList));

void AppendIndent(std::string& out, int indent) {
    out.append(static_cast<size_t>(indent), ' ');
}

void AppendProperty(std::string& out, const TSgfData& property) {
    out += property.Identifier;
    if (property.Values)
        for (const auto& v : *property.Values) {
            out += '[';
            AppendEscapedValue(out, v->Value);
            out += ']';
        }
    out += kCrLf;
}

// A property whose identifier is empty (it held only lower-case letters) would be written as a
// bare "[...]", which cuts the node short when read back; it means nothing, so it is left out.
bool Writable(const TSgfData& property) {
    return !property.Identifier.empty();
}

void AppendNode(std::string& out, const TSgfData& node, int indent) {
    AppendIndent(out, indent);
    out += ';';
    if (!node.Properties) return;
    bool first = true;
    for (const auto& p : *node.Properties) {
        if (!Writable(*p)) continue;
        if (!first) AppendIndent(out, indent);
        AppendProperty(out, *p);
        first = false;
    }
}

}  // namespace

const char* SgfKindName(TSgfKind kind) {
    switch (kind) {
        case TSgfKind::Collection:
            return "Collection";
        case TSgfKind::GameTree:
            return "GameTree";
        case TSgfKind::Sequence:
            return "Sequence";
        case TSgfKind::Node:
            return "Node";
        case TSgfKind::Property:
            return "Property";
        case TSgfKind::PropertyValue:
            return "PropertyValue";
    }
    return "???";
}

TSgfMultiPurposeList::TSgfMultiPurposeList() {
    Increment(g_countSgfMultiPurposeList);
}

TSgfMultiPurposeList::~TSgfMultiPurposeList() {
    Clear();
    Decrement(g_countSgfMultiPurposeList);
}

void* TSgfMultiPurposeList::operator new(size_t size) {
    assert(size == sizeof(TSgfMultiPurposeList));
    (void)size;
    return g_listPool.Allocate();
}

void TSgfMultiPurposeList::operator delete(void* block) {
    g_listPool.Release(block);
}

TSgfData* TSgfMultiPurposeList::Add(std::unique_ptr<TSgfData> item) {
    assert(item != nullptr);
    if (m_count == m_capacity) {
        const int capacity = m_capacity < 4 ? 4 : 2 * m_capacity;
        auto heap = std::make_unique<std::unique_ptr<TSgfData>[]>(static_cast<size_t>(capacity));
        for (int i = 0; i < m_count; ++i) heap[i] = std::move(m_data[i]);
        m_heap = std::move(heap);
        m_data = m_heap.get();
        m_capacity = capacity;
    }
    m_data[m_count] = std::move(item);
    return m_data[m_count++].get();
}

void TSgfMultiPurposeList::Delete(int i) {
    std::unique_ptr<TSgfData> doomed = std::move(m_data[i]);
    for (int k = i; k + 1 < m_count; ++k) m_data[k] = std::move(m_data[k + 1]);
    --m_count;
}

void TSgfMultiPurposeList::Clear() {
    // Each element takes its own deep parts apart without recursion.
    for (int i = 0; i < m_count; ++i) m_data[i].reset();
    m_count = 0;
}

void TSgfMultiPurposeList::TakeAll(std::vector<std::unique_ptr<TSgfData>>& out) {
    for (int i = m_count - 1; i >= 0; --i) out.push_back(std::move(m_data[i]));
    m_count = 0;
}

TSgfData::TSgfData(TSgfKind kind) : Kind(kind) {
    Increment(g_countSgfData);
}

TSgfData::~TSgfData() {
    assert(ConsistencyCode() == 0);
    // Only game trees nest without bound (variations in variations); below a game tree the
    // depth is fixed (sequence, node, property, value). So game trees are taken apart with an
    // explicit stack, and each one dies with no game tree left under it.
    if ((GameTrees && GameTrees->Count() > 0) || (Variations && Variations->Count() > 0)) {
        std::vector<std::unique_ptr<TSgfData>> pending;
        TakeGameTrees(pending);
        while (!pending.empty()) {
            std::unique_ptr<TSgfData> tree = std::move(pending.back());
            pending.pop_back();
            tree->TakeGameTrees(pending);
        }
    }
    Decrement(g_countSgfData);
}

void TSgfData::TakeGameTrees(std::vector<std::unique_ptr<TSgfData>>& out) {
    if (GameTrees) GameTrees->TakeAll(out);
    if (Variations) Variations->TakeAll(out);
}

void* TSgfData::operator new(size_t size) {
    assert(size == sizeof(TSgfData));
    (void)size;
    return g_dataPool.Allocate();
}

void TSgfData::operator delete(void* block) {
    g_dataPool.Release(block);
}

std::unique_ptr<TSgfData> TSgfData::Make(TSgfKind kind) {
    auto d = std::make_unique<TSgfData>(kind);
    switch (kind) {
        case TSgfKind::Collection:
            d->GameTrees = std::make_unique<TSgfMultiPurposeList>();
            break;
        case TSgfKind::GameTree:
            d->Variations = std::make_unique<TSgfMultiPurposeList>();
            break;
        case TSgfKind::Sequence:
            d->Nodes = std::make_unique<TSgfMultiPurposeList>();
            break;
        case TSgfKind::Node:
            d->Properties = std::make_unique<TSgfMultiPurposeList>();
            break;
        case TSgfKind::Property:
            d->Values = std::make_unique<TSgfMultiPurposeList>();
            break;
        case TSgfKind::PropertyValue:
            break;
    }
    return d;
}

int TSgfData::ConsistencyCode() const {
    const int k = static_cast<int>(Kind);
    if (k < 0 || k > 5) return 37;
    // The usual case first: exactly the fields of the kind are set.
    const unsigned setMask = (GameTrees ? 1u : 0u) | (Sequence ? 2u : 0u) | (Variations ? 4u : 0u) |
                             (Nodes ? 8u : 0u) | (Properties ? 16u : 0u) | (Values ? 32u : 0u);
    static constexpr unsigned kMasks[6] = {1u, 6u, 8u, 16u, 32u, 0u};
    if (setMask == kMasks[k]) return 0;
    // Which of the six reference fields each kind uses, in field order.
    static constexpr bool kUses[6][6] = {
        {true, false, false, false, false, false},   // Collection: GameTrees
        {false, true, true, false, false, false},    // GameTree: Sequence, Variations
        {false, false, false, true, false, false},   // Sequence: Nodes
        {false, false, false, false, true, false},   // Node: Properties
        {false, false, false, false, false, true},   // Property: Values
        {false, false, false, false, false, false},  // PropertyValue
    };
    const bool set[6] = {GameTrees != nullptr, Sequence != nullptr,   Variations != nullptr,
                         Nodes != nullptr,     Properties != nullptr, Values != nullptr};
    int code = 0;
    for (int i = 0; i < 6; ++i)
        if (set[i] != kUses[k][i]) code = 6 * k + i + 1;
    return code;
}

void TSgfData::CheckConsistency() const {
    const int code = ConsistencyCode();
    if (code != 0) throw EObrinError(std::string(msg::SgfConsistency) + std::to_string(code));
}

namespace {

std::unique_ptr<TSgfData> CloneShallow(const TSgfData& s) {
    auto d = std::make_unique<TSgfData>(s.Kind);
    d->Identifier = s.Identifier;
    d->Value = s.Value;
    if (s.GameTrees) d->GameTrees = std::make_unique<TSgfMultiPurposeList>();
    if (s.Variations) d->Variations = std::make_unique<TSgfMultiPurposeList>();
    if (s.Nodes) d->Nodes = std::make_unique<TSgfMultiPurposeList>();
    if (s.Properties) d->Properties = std::make_unique<TSgfMultiPurposeList>();
    if (s.Values) d->Values = std::make_unique<TSgfMultiPurposeList>();
    return d;
}

}  // namespace

std::unique_ptr<TSgfData> TSgfData::Clone() const {
    std::unique_ptr<TSgfData> root = CloneShallow(*this);
    std::vector<std::pair<const TSgfData*, TSgfData*>> work{{this, root.get()}};
    while (!work.empty()) {
        const auto [source, copy] = work.back();
        work.pop_back();
        if (source->Sequence) {
            copy->Sequence = CloneShallow(*source->Sequence);
            work.emplace_back(source->Sequence.get(), copy->Sequence.get());
        }
        const std::pair<TSgfMultiPurposeList*, TSgfMultiPurposeList*> lists[] = {
            {source->GameTrees.get(), copy->GameTrees.get()},
            {source->Variations.get(), copy->Variations.get()},
            {source->Nodes.get(), copy->Nodes.get()},
            {source->Properties.get(), copy->Properties.get()},
            {source->Values.get(), copy->Values.get()}};
        for (const auto& [from, to] : lists) {
            if (from == nullptr) continue;
            for (const auto& item : *from)
                work.emplace_back(item.get(), to->Add(CloneShallow(*item)));
        }
    }
    root->CheckConsistency();
    return root;
}

int64_t CountSgfData() {
    return g_countSgfData;
}
int64_t CountSgfMultiPurposeList() {
    return g_countSgfMultiPurposeList;
}

void CheckSgfCounters() {
    if (g_countSgfData != 0) throw EObrinError(msg::SgfDataLeak);
    if (g_countSgfMultiPurposeList != 0) throw EObrinError(msg::SgfListLeak);
}

void AddProperty(TSgfData& node, const std::string& identifier,
                 const std::vector<std::string>& values) {
    if (node.Kind != TSgfKind::Node) return;
    auto property = TSgfData::Make(TSgfKind::Property);
    property->Identifier = identifier;
    for (const std::string& v : values)
        property->Values->Add(TSgfData::Make(TSgfKind::PropertyValue))->Value = v;
    node.Properties->Add(std::move(property));
}

void SetProperty(TSgfData& node, const std::string& identifier,
                 const std::vector<std::string>& values) {
    if (node.Kind != TSgfKind::Node) return;
    for (int i = node.Properties->Count() - 1; i >= 0; --i)
        if (node.Properties->Items(i)->Identifier == identifier) node.Properties->Delete(i);
    AddProperty(node, identifier, values);
}

std::unique_ptr<TSgfData> MakeProperty(const std::string& identifier, const std::string& value) {
    auto property = TSgfData::Make(TSgfKind::Property);
    property->Identifier = identifier;
    property->Values->Add(TSgfData::Make(TSgfKind::PropertyValue))->Value = value;
    return property;
}

void AppendEscapedValue(std::string& out, const std::string& value) {
    size_t start = 0;
    for (size_t i = 0; i < value.size(); ++i)
        if (value[i] == ']' || value[i] == '\\') {
            out.append(value, start, i - start);
            out += '\\';
            start = i;
        }
    out.append(value, start, std::string::npos);
}

void AppendSgfData(std::string& out, const TSgfData& data, int indent) {
    // Game trees nest as deep as the input did: an explicit stack instead of recursion. A task
    // with close set writes the ")" of a game tree.
    struct TTask {
        const TSgfData* Data;
        int Indent;
        bool Close;
    };
    std::vector<TTask> tasks{{&data, indent, false}};
    while (!tasks.empty()) {
        const TTask t = tasks.back();
        tasks.pop_back();
        const TSgfData& d = *t.Data;
        if (t.Close) {
            AppendIndent(out, t.Indent);
            out += ')';
            out += kCrLf;
            continue;
        }
        switch (d.Kind) {
            case TSgfKind::Collection:
                for (int i = d.GameTrees->Count() - 1; i >= 0; --i)
                    tasks.push_back({d.GameTrees->Items(i), 0, false});
                break;
            case TSgfKind::GameTree:
                AppendIndent(out, t.Indent);
                out += '(';
                out += kCrLf;
                tasks.push_back({&d, t.Indent, true});
                for (int i = d.Variations->Count() - 1; i >= 0; --i)
                    tasks.push_back({d.Variations->Items(i), t.Indent, false});
                if (d.Sequence) tasks.push_back({d.Sequence.get(), t.Indent, false});
                break;
            case TSgfKind::Sequence:
                for (const auto& n : *d.Nodes) AppendNode(out, *n, t.Indent + 1);
                break;
            case TSgfKind::Node:
                AppendNode(out, d, t.Indent);
                break;
            case TSgfKind::Property:
                if (Writable(d)) AppendProperty(out, d);
                break;
            case TSgfKind::PropertyValue:
                AppendEscapedValue(out, d.Value);
                break;
            default:
                out += "Unknown Purpose: ";
                out += SgfKindName(d.Kind);
        }
    }
}

std::string WriteSgfData(const TSgfData& data, const std::string& prefix, int indent) {
    std::string out = prefix;
    AppendSgfData(out, data, indent);
    return out;
}

bool IsValidIdentifier(const std::string& identifier) {
    return !identifier.empty() && std::all_of(identifier.begin(), identifier.end(),
                                              [](char c) { return c >= 'A' && c <= 'Z'; });
}

}  // namespace obrin
