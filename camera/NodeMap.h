// An in-memory GenICam-like feature tree: categories, typed nodes, bounds, access, visibility.
#pragma once

#include "camera/FeatureAccess.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace cam {

enum class NodeType { Category, Integer, Float, Boolean, String, Enumeration, Command };

struct Node {
    std::string name;
    NodeType type = NodeType::Integer;
    int access = access::ReadWrite;
    int visibility = 0;  // 0 beginner, 1 expert, 2 guru
    std::string description;
    std::vector<std::string> children;  // categories
    int64_t intValue = 0, intMin = 0, intMax = 0, intInc = 1;
    double floatValue = 0, floatMin = 0, floatMax = 0;
    bool boolValue = false;
    std::string stringValue;
    std::vector<std::string> entries;  // enumerations
    std::string entry;
    // Hooks run after a write or an execution, with the map's lock released.
    std::function<void()> onWrite;
};

class NodeMap : public FeatureAccess {
public:
    NodeMap();

    // Building the tree.
    Node &add(const std::string &category, Node node);
    Node &category(const std::string &parent, const std::string &name, int visibility = 0);
    Node &integer(const std::string &cat, const std::string &name, int64_t value, int64_t min,
                  int64_t max, int64_t inc = 1, int access = access::ReadWrite);
    Node &real(const std::string &cat, const std::string &name, double value, double min,
               double max, int access = access::ReadWrite);
    Node &boolean(const std::string &cat, const std::string &name, bool value,
                  int access = access::ReadWrite);
    Node &string(const std::string &cat, const std::string &name, const std::string &value,
                 int access = access::ReadOnly);
    Node &enumeration(const std::string &cat, const std::string &name,
                      std::vector<std::string> entries, const std::string &value,
                      int access = access::ReadWrite);
    Node &command(const std::string &cat, const std::string &name, std::function<void()> action);

    // Direct access for the device that owns the map (no access checks, no hooks).
    Node *find(const std::string &name);
    template <typename Fn>
    auto locked(Fn fn)
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        return fn();
    }
    void setBounds(const std::string &name, int64_t min, int64_t max);
    void setValueQuiet(const std::string &name, int64_t value);
    void setFloatQuiet(const std::string &name, double value);
    void setEntryQuiet(const std::string &name, const std::string &entry);

    // FeatureAccess
    std::vector<std::string> childNodes(const std::string &category) override;
    std::string interfaceName(const std::string &node) override;
    int accessMode(const std::string &node) override;
    std::string description(const std::string &node) override;
    void setVisibility(int level) override;
    int64_t intValue(const std::string &node) override;
    void setIntValue(const std::string &node, int64_t value) override;
    int64_t intMin(const std::string &node) override;
    int64_t intMax(const std::string &node) override;
    int64_t intInc(const std::string &node) override;
    double floatValue(const std::string &node) override;
    void setFloatValue(const std::string &node, double value) override;
    double floatMin(const std::string &node) override;
    double floatMax(const std::string &node) override;
    bool boolValue(const std::string &node) override;
    void setBoolValue(const std::string &node, bool value) override;
    std::string stringValue(const std::string &node) override;
    void setStringValue(const std::string &node, const std::string &value) override;
    std::vector<std::string> enumEntries(const std::string &node) override;
    std::string enumValue(const std::string &node) override;
    void setEnumValue(const std::string &node, const std::string &entry) override;
    void execute(const std::string &node) override;
    bool has(const std::string &node) override;

private:
    Node &get(const std::string &name, NodeType type);
    Node &readable(const std::string &name, NodeType type);
    Node &writable(const std::string &name, NodeType type);
    void written(Node &node);

    std::recursive_mutex mutex_;  // protects nodes_ and visibility_
    std::map<std::string, std::unique_ptr<Node>> nodes_;
    int visibility_ = 2;
};

} // namespace cam
