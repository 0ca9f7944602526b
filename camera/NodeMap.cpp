// An in-memory GenICam-like feature tree.
#include "camera/NodeMap.h"

#include "camera/CameraError.h"

#include <algorithm>
#include <cmath>

namespace cam {

namespace {

const char *interfaceOf(NodeType t)
{
    switch (t) {
    case NodeType::Category: return "ICategory";
    case NodeType::Integer: return "IInteger";
    case NodeType::Float: return "IFloat";
    case NodeType::Boolean: return "IBoolean";
    case NodeType::String: return "IString";
    case NodeType::Enumeration: return "IEnumeration";
    case NodeType::Command: return "ICommand";
    }
    return "IValue";
}

} // namespace

NodeMap::NodeMap()
{
    Node root;
    root.name = "Root";
    root.type = NodeType::Category;
    root.access = access::ReadOnly;
    nodes_["Root"] = std::make_unique<Node>(root);
}

Node &NodeMap::add(const std::string &cat, Node node)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto parent = nodes_.find(cat);
    if (parent == nodes_.end())
        throw CameraError(code::NoSuchFeature, "no category " + cat);
    parent->second->children.push_back(node.name);
    auto &slot = nodes_[node.name];
    slot = std::make_unique<Node>(std::move(node));
    return *slot;
}

Node &NodeMap::category(const std::string &parent, const std::string &name, int visibility)
{
    Node n;
    n.name = name;
    n.type = NodeType::Category;
    n.access = access::ReadOnly;
    n.visibility = visibility;
    n.description = name + " features.";
    return add(parent, n);
}

Node &NodeMap::integer(const std::string &cat, const std::string &name, int64_t value, int64_t min,
                       int64_t max, int64_t inc, int acc)
{
    Node n;
    n.name = name;
    n.type = NodeType::Integer;
    n.intValue = value;
    n.intMin = min;
    n.intMax = max;
    n.intInc = inc;
    n.access = acc;
    return add(cat, n);
}

Node &NodeMap::real(const std::string &cat, const std::string &name, double value, double min,
                    double max, int acc)
{
    Node n;
    n.name = name;
    n.type = NodeType::Float;
    n.floatValue = value;
    n.floatMin = min;
    n.floatMax = max;
    n.access = acc;
    return add(cat, n);
}

Node &NodeMap::boolean(const std::string &cat, const std::string &name, bool value, int acc)
{
    Node n;
    n.name = name;
    n.type = NodeType::Boolean;
    n.boolValue = value;
    n.access = acc;
    return add(cat, n);
}

Node &NodeMap::string(const std::string &cat, const std::string &name, const std::string &value,
                      int acc)
{
    Node n;
    n.name = name;
    n.type = NodeType::String;
    n.stringValue = value;
    n.access = acc;
    return add(cat, n);
}

Node &NodeMap::enumeration(const std::string &cat, const std::string &name,
                           std::vector<std::string> entries, const std::string &value, int acc)
{
    Node n;
    n.name = name;
    n.type = NodeType::Enumeration;
    n.entries = std::move(entries);
    n.entry = value;
    n.access = acc;
    return add(cat, n);
}

Node &NodeMap::command(const std::string &cat, const std::string &name, std::function<void()> action)
{
    Node n;
    n.name = name;
    n.type = NodeType::Command;
    n.access = access::WriteOnly;
    n.onWrite = std::move(action);
    return add(cat, n);
}

Node *NodeMap::find(const std::string &name)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto it = nodes_.find(name);
    return it == nodes_.end() ? nullptr : it->second.get();
}

void NodeMap::setBounds(const std::string &name, int64_t min, int64_t max)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Node *n = find(name)) {
        n->intMin = min;
        n->intMax = max;
        n->intValue = std::clamp(n->intValue, min, max);
    }
}

void NodeMap::setValueQuiet(const std::string &name, int64_t value)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Node *n = find(name))
        n->intValue = value;
}

void NodeMap::setFloatQuiet(const std::string &name, double value)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Node *n = find(name))
        n->floatValue = value;
}

void NodeMap::setEntryQuiet(const std::string &name, const std::string &entry)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Node *n = find(name))
        n->entry = entry;
}

Node &NodeMap::get(const std::string &name, NodeType type)
{
    auto it = nodes_.find(name);
    if (it == nodes_.end() || it->second->access == access::NotImplemented)
        throw CameraError(code::NoSuchFeature, "the camera has no node \"" + name + "\"");
    if (it->second->type != type)
        throw CameraError(code::WrongType, "node \"" + name + "\" is an " +
                                               interfaceOf(it->second->type));
    return *it->second;
}

Node &NodeMap::readable(const std::string &name, NodeType type)
{
    Node &n = get(name, type);
    if (n.access != access::ReadOnly && n.access != access::ReadWrite)
        throw CameraError(code::AccessDenied, "node \"" + name + "\" cannot be read now");
    return n;
}

Node &NodeMap::writable(const std::string &name, NodeType type)
{
    Node &n = get(name, type);
    if (n.access != access::WriteOnly && n.access != access::ReadWrite)
        throw CameraError(code::AccessDenied, "node \"" + name + "\" cannot be written now");
    return n;
}

std::vector<std::string> NodeMap::childNodes(const std::string &cat)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto found = nodes_.find(cat);
    if (found != nodes_.end() && found->second->type != NodeType::Category)
        return {};  // a feature has no children
    Node &c = get(cat, NodeType::Category);
    std::vector<std::string> out;
    for (const auto &child : c.children) {
        auto it = nodes_.find(child);
        if (it != nodes_.end() && it->second->visibility <= visibility_)
            out.push_back(child);
    }
    return out;
}

std::string NodeMap::interfaceName(const std::string &node)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto it = nodes_.find(node);
    if (it == nodes_.end())
        throw CameraError(code::NoSuchFeature, "the camera has no node \"" + node + "\"");
    return interfaceOf(it->second->type);
}

int NodeMap::accessMode(const std::string &node)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto it = nodes_.find(node);
    if (it == nodes_.end())
        throw CameraError(code::NoSuchFeature, "the camera has no node \"" + node + "\"");
    return it->second->access;
}

std::string NodeMap::description(const std::string &node)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto it = nodes_.find(node);
    if (it == nodes_.end())
        throw CameraError(code::NoSuchFeature, "the camera has no node \"" + node + "\"");
    return it->second->description.empty() ? node : it->second->description;
}

void NodeMap::setVisibility(int level)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    visibility_ = std::clamp(level, 0, 2);
}

int64_t NodeMap::intValue(const std::string &node)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return readable(node, NodeType::Integer).intValue;
}

void NodeMap::setIntValue(const std::string &node, int64_t value)
{
    std::function<void()> hook;
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        Node &n = writable(node, NodeType::Integer);
        if (value < n.intMin || value > n.intMax)
            throw CameraError(code::OutOfRange, "value " + std::to_string(value) +
                                                    " is outside the range of \"" + node + "\"");
        if (!onStep(value, n.intMin, n.intInc))
            throw CameraError(code::OutOfRange, "value " + std::to_string(value) +
                                                    " is not a step of \"" + node + "\"");
        n.intValue = value;
        hook = n.onWrite;
    }
    if (hook)
        hook();
}

int64_t NodeMap::intMin(const std::string &node)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return get(node, NodeType::Integer).intMin;
}

int64_t NodeMap::intMax(const std::string &node)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return get(node, NodeType::Integer).intMax;
}

int64_t NodeMap::intInc(const std::string &node)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return get(node, NodeType::Integer).intInc;
}

double NodeMap::floatValue(const std::string &node)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return readable(node, NodeType::Float).floatValue;
}

void NodeMap::setFloatValue(const std::string &node, double value)
{
    std::function<void()> hook;
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        Node &n = writable(node, NodeType::Float);
        if (!std::isfinite(value) || value < n.floatMin || value > n.floatMax)
            throw CameraError(code::OutOfRange, "value is outside the range of \"" + node + "\"");
        n.floatValue = value;
        hook = n.onWrite;
    }
    if (hook)
        hook();
}

double NodeMap::floatMin(const std::string &node)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return get(node, NodeType::Float).floatMin;
}

double NodeMap::floatMax(const std::string &node)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return get(node, NodeType::Float).floatMax;
}

bool NodeMap::boolValue(const std::string &node)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return readable(node, NodeType::Boolean).boolValue;
}

void NodeMap::setBoolValue(const std::string &node, bool value)
{
    std::function<void()> hook;
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        Node &n = writable(node, NodeType::Boolean);
        n.boolValue = value;
        hook = n.onWrite;
    }
    if (hook)
        hook();
}

std::string NodeMap::stringValue(const std::string &node)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return readable(node, NodeType::String).stringValue;
}

void NodeMap::setStringValue(const std::string &node, const std::string &value)
{
    std::function<void()> hook;
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        Node &n = writable(node, NodeType::String);
        n.stringValue = value;
        hook = n.onWrite;
    }
    if (hook)
        hook();
}

std::vector<std::string> NodeMap::enumEntries(const std::string &node)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return get(node, NodeType::Enumeration).entries;
}

std::string NodeMap::enumValue(const std::string &node)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return readable(node, NodeType::Enumeration).entry;
}

void NodeMap::setEnumValue(const std::string &node, const std::string &entry)
{
    std::function<void()> hook;
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        Node &n = writable(node, NodeType::Enumeration);
        if (std::find(n.entries.begin(), n.entries.end(), entry) == n.entries.end())
            throw CameraError(code::OutOfRange,
                              "\"" + entry + "\" is not an entry of \"" + node + "\"");
        n.entry = entry;
        hook = n.onWrite;
    }
    if (hook)
        hook();
}

void NodeMap::execute(const std::string &node)
{
    std::function<void()> hook;
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        hook = writable(node, NodeType::Command).onWrite;
    }
    if (hook)
        hook();
}

bool NodeMap::has(const std::string &node)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto it = nodes_.find(node);
    return it != nodes_.end() && it->second->access != access::NotImplemented;
}

} // namespace cam
