// The node tree of an IIDC camera.
#include "camera/iidc/IidcNodeMap.h"

namespace cam {

void IidcNodeMap::bind(const std::string &node, std::function<void()> apply, std::function<void()> refresh)
{
    Node *n = find(node);
    if (!n)
        return;
    n->onWrite = [apply = std::move(apply), refresh = std::move(refresh)] {
        try {
            apply();
        } catch (...) {
            refresh();
            throw;
        }
    };
}

void IidcNodeMap::refreshOnRead(const std::string &node, std::function<void()> refresh)
{
    readers_[node] = std::move(refresh);
}

void IidcNodeMap::refresh(const std::string &node)
{
    auto it = readers_.find(node);
    if (it != readers_.end())
        it->second();
}

int64_t IidcNodeMap::intValue(const std::string &node)
{
    refresh(node);
    return NodeMap::intValue(node);
}

double IidcNodeMap::floatValue(const std::string &node)
{
    refresh(node);
    return NodeMap::floatValue(node);
}

std::string IidcNodeMap::enumValue(const std::string &node)
{
    refresh(node);
    return NodeMap::enumValue(node);
}

} // namespace cam
