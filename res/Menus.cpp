// Menus and toolbars.
#include "framework/Resources.h"
#include "res/ResourceIds.h"

#include <map>

namespace fw {

namespace {

MenuItem item(int id, const std::string &text) { return MenuItem{id, text, {}, false, true}; }
MenuItem popup(const std::string &text, std::vector<MenuItem> items)
{
    return MenuItem{0, text, std::move(items), false, true};
}
MenuItem separator() { return MenuItem{}; }

MenuItem viewToolbar()
{
    return popup("View Toolbar", {item(res::CmdToolbarCamera, "Camera "), item(res::CmdToolbarZoom, "Zoom "),
                                  separator(), item(res::CmdResetLayout, "Reset window layout")});
}

const std::map<int, Menu> &menus()
{
    static const std::map<int, Menu> table = {
        {res::MenuMain,
         Menu{res::MenuMain,
              {popup("Camera", {viewToolbar(), item(res::CmdExit, "Exit")}),
               popup("Help", {item(res::CmdAbout, "Molvane Information...")})}}},
        {res::MenuCamera,
         Menu{res::MenuCamera,
              {popup("Camera", {popup("Debug", {item(res::CmdEventViewer, "Molvane Event Viewer"),
                                                item(res::CmdRegisterAccess, "Register Access")}),
                                viewToolbar(), separator(), item(res::CmdExit, "Exit")}),
               popup("Analysis", {item(res::CmdHistogram, "Histogram Viewer"),
                                  item(res::CmdVerticalProfile, "Vertical Profile Viewer"),
                                  item(res::CmdHorizontalProfile, "Horizontal Profile Viewer")}),
               popup("Help", {item(res::CmdAbout, "Molvane Information")})}}},
        {res::MenuCastMode,
         Menu{res::MenuCastMode,
              {popup("Popup", {popup("CastMode", {item(res::CmdMultiCast, "MultiCast"),
                                                  item(res::CmdUnicast, "Unicast")})})}}},
    };
    return table;
}

const std::map<int, ToolbarTemplate> &toolbars()
{
    static const std::map<int, ToolbarTemplate> table = {
        {res::ToolbarCamera,
         ToolbarTemplate{res::ToolbarCamera, "Camera",
                         {{res::CmdPlay, "play"}, {res::CmdStop, "stop"}, {0, ""},
                          {res::CmdBayerColor, "bayer"}, {res::CmdCameraControl, "control"}}}},
        {res::ToolbarZoom,
         ToolbarTemplate{res::ToolbarZoom, "Zoom",
                         {{res::CmdZoomOut, "zoom-out"}, {res::CmdZoomSlider, "slider"},
                          {res::CmdZoomIn, "zoom-in"}, {res::CmdZoom100, "zoom-100"},
                          {res::CmdFitToWindow, "fit"}, {res::CmdFullScreen, "full-screen"}}}},
    };
    return table;
}

} // namespace

const Menu *findMenu(int id)
{
    auto it = menus().find(id);
    return it == menus().end() ? nullptr : &it->second;
}

const ToolbarTemplate *findToolbar(int id)
{
    auto it = toolbars().find(id);
    return it == toolbars().end() ? nullptr : &it->second;
}

} // namespace fw
