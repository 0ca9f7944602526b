// The string table.
#include "framework/Resources.h"

#include <map>

namespace fw {

std::string loadString(int id)
{
    static const std::map<int, std::string> table = {
        {100, "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
        {128, "Molvane"},
        {130, "\nMolvane\nMolvane\n\n\nMolvane.Document\nMolvane.Document"},
        {132, "Windows..."},
        {133, "Camera List"},
        {134, "Camera Info"},
        {306, "Edit"},
        {500, "Can't create camera activeX"},
        {511, "Warning!"},
        {512, "Unable to open camera"},
        {324, "This camera not support One/MultiShot"},
        {325, "First, you must play camera."},
        {326, "Unavailable shot count. \n Available range : 2 ~ 65535"},
        {514, "Unable to open file"},
        {515, "Unavailable Byte per packet value"},
        {517, "Unavailable node range."},
        {524, "Unavailable Trigger pulse value"},
        {530, "Unavailable delay value"},
        {531, "Unavailable duration value"},
        {535, "Setting complete!"},
        {540, "Unavailable shutter value"},
        {552, "Invalid range."},
        {557, "Save Complete!"},
        {558, "Data Error! Parameter number is more than 256.\n Check the data file."},
        {559, "Unavailable Gain value"},
        {541, "Unavailable zoom range.\n Available range : 1 ~ 1000"},
        {527, "Unavailable input value"},
        {564, "Unavailable EndX value"},
        {565, "Unavailable EndY value"},
        {566, "ROI size error"},
        {578, "Unit error"},
        {576, "Unavailable capture time"},
        {577, "Not supported capture format."},
        {328, "LUT on/off should be checked!"},
        {514, "Unable to open file"},
        {570, "Not Support 4-step knee LUT"},
        {501, ""},
        {556, "Success!"},
        {591, "Can't create zoom toolbar"},
        {32772, "Stop Camera. \nStop"},
        {32773, "View Camera Control Window. \nCamera Control"},
        {32774, "Play Camera. \nPlay"},
        {32791, "Zoom\nZoom Out"},
        {32792, "Zoom\nZoom Slider"},
        {32793, "Zoom\nZoom In"},
        {32794, "Zoom\nZoom 100%"},
        {32816, "Bayer Color \n Bayer Color"},
        {32822, "Zoom\nFit to window"},
        {32823, "Zoom\nFit to Window"},
        {32824, "Full Screen Mode\nFull Screen"},
        {57344, "Molvane"},
    };
    auto it = table.find(id);
    return it == table.end() ? std::string() : it->second;
}

} // namespace fw
