// Copies a GenICam description's feature tree into a NodeMap.
#include "bench/GenICamXmlTree.h"

#include <QFile>
#include <QXmlStreamReader>

#include <map>
#include <set>
#include <vector>

namespace {

struct Element {
    cam::NodeType type = cam::NodeType::Integer;
    int visibility = 0;
    std::vector<std::string> features;  // categories
    std::vector<std::string> entries;   // enumerations
};

// The interface of each feature element; elements not listed (ports, swiss knives' variables,
// registers without a value interface) are not features a category can show.
bool typeOf(const QStringView tag, cam::NodeType &type)
{
    using T = cam::NodeType;
    static const std::map<QString, T> types = {
        {"Category", T::Category},     {"Integer", T::Integer},       {"IntReg", T::Integer},
        {"MaskedIntReg", T::Integer},  {"IntSwissKnife", T::Integer}, {"IntConverter", T::Integer},
        {"StructEntry", T::Integer},   {"Register", T::Integer},      {"Float", T::Float},
        {"FloatReg", T::Float},        {"SwissKnife", T::Float},      {"Converter", T::Float},
        {"Boolean", T::Boolean},       {"StringReg", T::String},      {"String", T::String},
        {"Enumeration", T::Enumeration}, {"Command", T::Command}};
    auto it = types.find(tag.toString());
    if (it == types.end())
        return false;
    type = it->second;
    return true;
}

int visibilityOf(const QString &text)
{
    return text == "Expert" ? 1 : text == "Guru" ? 2 : text == "Invisible" ? 3 : 0;
}

std::map<std::string, Element> parse(QXmlStreamReader &xml)
{
    std::map<std::string, Element> elements;
    std::vector<std::pair<Element *, qint64>> open;  // feature elements being read, with depth
    qint64 depth = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            if (!open.empty() && open.back().second == depth)
                open.pop_back();
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        ++depth;
        const QString name = xml.attributes().value("Name").toString();
        Element *current = open.empty() ? nullptr : open.back().first;
        cam::NodeType type;
        if (xml.name() == QLatin1String("EnumEntry") && current) {
            current->entries.push_back(name.toStdString());
        } else if (!name.isEmpty() && typeOf(xml.name(), type)) {
            Element &e = elements[name.toStdString()];
            e.type = type;
            open.emplace_back(&e, depth);
        } else if (current && xml.name() == QLatin1String("Visibility")) {
            current->visibility = visibilityOf(xml.readElementText());
            --depth;  // readElementText consumed the end element
        } else if (current && xml.name() == QLatin1String("pFeature")) {
            current->features.push_back(xml.readElementText().trimmed().toStdString());
            --depth;
        }
    }
    return elements;
}

class Copier {
public:
    Copier(const std::map<std::string, Element> &elements, cam::NodeMap &map)
        : elements_(elements), map_(map)
    {
    }

    void copy(const Element &from, const std::string &into)
    {
        for (const std::string &name : from.features) {
            auto it = elements_.find(name);
            if (it == elements_.end() || !copied_.insert(name).second)
                continue;
            const std::string added = add(it->second, name, into);
            if (it->second.type == cam::NodeType::Category)
                copy(it->second, added);
        }
    }
    int count() const { return static_cast<int>(copied_.size()); }

private:
    std::string add(const Element &e, const std::string &name, const std::string &into)
    {
        cam::Node n;
        n.name = map_.find(name) ? name + "_" : name;
        n.type = e.type;
        n.visibility = e.visibility;
        n.access = e.type == cam::NodeType::Category ? cam::access::ReadOnly : cam::access::ReadWrite;
        n.description = name;
        n.entries = e.entries;
        if (!n.entries.empty())
            n.entry = n.entries.front();
        n.intMax = 1 << 20;
        n.floatMax = 1e6;
        return map_.add(into, n).name;
    }

    const std::map<std::string, Element> &elements_;
    cam::NodeMap &map_;
    std::set<std::string> copied_;
};

} // namespace

int GenICamXmlTree::load(const std::string &file, cam::NodeMap &map, const std::string &category)
{
    QFile f(QString::fromStdString(file));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    QXmlStreamReader xml(&f);
    const auto elements = parse(xml);
    auto root = elements.find("Root");
    if (xml.hasError() || root == elements.end())
        return -1;
    Copier copier(elements, map);
    copier.copy(root->second, category);
    return copier.count();
}
