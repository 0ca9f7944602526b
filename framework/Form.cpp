// Control state keyed by control id.
#include "framework/Form.h"

namespace fw {

const ControlState &Form::state(int id) const
{
    static const ControlState empty;
    auto it = controls_.find(id);
    return it == controls_.end() ? empty : it->second;
}

void Form::changed(int id)
{
    if (listener_)
        listener_->controlChanged(id);
}

void Form::setText(int id, const std::string &text)
{
    edit(id).text = text;
    changed(id);
}

void Form::clearItems(int id)
{
    auto &c = edit(id);
    c.items.clear();
    c.selection = -1;
    changed(id);
}

void Form::addItem(int id, const std::string &item)
{
    edit(id).items.push_back(item);
    changed(id);
}

void Form::setItems(int id, const std::vector<std::string> &items)
{
    auto &c = edit(id);
    c.items = items;
    if (c.selection >= static_cast<int>(items.size()))
        c.selection = -1;
    changed(id);
}

void Form::removeItem(int id, int index)
{
    auto &c = edit(id);
    if (index < 0 || index >= static_cast<int>(c.items.size()))
        return;
    c.items.erase(c.items.begin() + index);
    if (c.selection == index)
        c.selection = -1;
    else if (c.selection > index)
        --c.selection;
    changed(id);
}

void Form::insertItem(int id, int index, const std::string &item)
{
    auto &c = edit(id);
    if (index < 0 || index > static_cast<int>(c.items.size()))
        index = static_cast<int>(c.items.size());
    c.items.insert(c.items.begin() + index, item);
    if (c.selection >= index)
        ++c.selection;
    changed(id);
}

std::string Form::itemText(int id, int index) const
{
    const auto &items = state(id).items;
    if (index < 0 || index >= static_cast<int>(items.size()))
        return {};
    return items[index];
}

void Form::setSelection(int id, int index)
{
    auto &c = edit(id);
    c.selection = (index >= 0 && index < static_cast<int>(c.items.size())) ? index : -1;
    changed(id);
}

void Form::setCheck(int id, int check)
{
    edit(id).check = check;
    changed(id);
}

void Form::enable(int id, bool enabled)
{
    edit(id).enabled = enabled;
    changed(id);
}

void Form::show(int id, bool visible)
{
    edit(id).visible = visible;
    changed(id);
}

void Form::setRange(int id, int lo, int hi)
{
    auto &c = edit(id);
    c.rangeMin = lo;
    c.rangeMax = hi;
    changed(id);
}

void Form::setPos(int id, int pos)
{
    edit(id).pos = pos;
    changed(id);
}

void Form::setHorizontalExtent(int id, int pixels)
{
    edit(id).horizontalExtent = pixels;
    changed(id);
}

} // namespace fw
