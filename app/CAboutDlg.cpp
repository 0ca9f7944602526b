// The About box.
#include "app/CAboutDlg.h"

#include "camera/ComponentVersions.h"
#include "framework/Platform.h"
#include "res/ResourceIds.h"

#include <cstdio>

namespace {

std::string format(const char *label, const std::optional<cam::Version> &v)
{
    if (!v)
        return std::string(label) + " not available";  // say so rather than leave a blank line
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s %d.%d.%d.%d", label, v->major, v->minor, v->build, v->revision);
    return buf;
}

} // namespace

CAboutDlg::CAboutDlg()
{
    on(fw::Notify::Clicked, res::IdOk, [this] { destroyWindow(); });
}

void CAboutDlg::OnInitDialog()
{
    // Read in the order of the table: program, API, transport layer, GigE driver, 1394 driver.
    form().setText(res::AboutProgram, format("Molvane", cam::molvaneVersion()));
    form().setText(res::AboutApi, format("API", cam::componentVersion()));
    form().setText(res::AboutTl, format("TL Driver", cam::aravisVersion()));
    form().setText(res::AboutGigE, format("GigE Camera Driver", cam::aravisVersion()));
    form().setText(res::About1394, format("1394 Camera Driver", cam::dc1394Version()));
}

int CAboutDlg::DoModal()
{
    OnInitDialog();
    const fw::DialogTemplate *t = fw::findDialog(res::DialogAbout);
    fw::WindowSpec params;
    params.kind = fw::WindowKind::ModalDialog;
    params.templateId = res::DialogAbout;
    params.caption = t->caption;
    params.rect = {0, 0, fw::dluToPixelsX(t->width), fw::dluToPixelsY(t->height)};
    if (!create(params))
        return 0;
    return fw::platform().runModal(*this);
}
