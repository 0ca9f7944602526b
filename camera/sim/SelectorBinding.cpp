// Selector-dependent node values.
#include "camera/sim/SelectorBinding.h"

namespace cam {

SelectorBinding::SelectorBinding(NodeMap &nodes, std::string selector,
                                 std::vector<std::string> dependents)
    : nodes_(nodes), selector_(std::move(selector)), dependents_(std::move(dependents))
{
    Node *s = nodes_.find(selector_);
    current_ = s ? s->entry : std::string();
    if (s)
        for (const auto &entry : s->entries)
            store(entry);  // every entry starts with the same values
}

void SelectorBinding::store(const std::string &entry)
{
    nodes_.locked([&] {
        for (const auto &d : dependents_) {
            if (Node *n = nodes_.find(d))
                saved_[entry][d] = Saved{n->intValue, n->floatValue, n->boolValue, n->entry};
        }
        return 0;
    });
}

void SelectorBinding::load(const std::string &entry)
{
    nodes_.locked([&] {
        for (const auto &d : dependents_) {
            Node *n = nodes_.find(d);
            auto it = saved_[entry].find(d);
            if (!n || it == saved_[entry].end())
                continue;
            n->intValue = it->second.i;
            n->floatValue = it->second.f;
            n->boolValue = it->second.b;
            n->entry = it->second.e;
        }
        return 0;
    });
}

void SelectorBinding::selectorChanged()
{
    Node *s = nodes_.find(selector_);
    if (!s)
        return;
    std::string next = nodes_.locked([&] { return s->entry; });
    if (next == current_)
        return;
    store(current_);
    load(next);
    current_ = next;
}

double SelectorBinding::value(const std::string &entry, const std::string &dependent)
{
    return nodes_.locked([&]() -> double {
        if (entry == current_) {
            Node *n = nodes_.find(dependent);
            return n ? (n->type == NodeType::Float ? n->floatValue : double(n->intValue)) : 0.0;
        }
        const Saved &s = saved_[entry][dependent];
        Node *n = nodes_.find(dependent);
        return n && n->type == NodeType::Float ? s.f : double(s.i);
    });
}

} // namespace cam
