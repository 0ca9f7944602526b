// The node tree page: the tree and its filters, access rules, value display by type, the
// geometry acceptance rules, the special commands and white balance.
#include "FileSizeLimit.h"
#include "TestSupport.h"

#include "app/CCameraInfoBasePane.h"
#include "app/CControlBasePane.h"
#include "app/CMenuDlg.h"
#include "framework/ErrorReport.h"
#include "pages/CXMLTreeDlg.h"
#include "view/CMolvaneView.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

using cam::Dispid;
using namespace res;

class TreePage : public AppFixture {
protected:
    CXMLTreeDlg &page(int line)
    {
        view = open(line);
        frame().routeCommand(CmdCameraControl);
        frame().m_pControlPane->m_pMenuDlg->dispatch(fw::Notify::Clicked, BtnTree);
        return *view->m_pXMLTreeDlg;
    }
    int find(const CXMLTreeDlg &p, const std::string &name)
    {
        const auto &items = p.form().treeItems(TreNodes);
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].text == name)
                return static_cast<int>(i);
        return -1;
    }
    void choose(CXMLTreeDlg &p, const std::string &name)
    {
        p.form().setSelection(TreNodes, find(p, name));
        p.dispatch(fw::Notify::TreeSelChange, TreNodes);
    }
    void set(CXMLTreeDlg &p, const std::string &node, const std::string &value)
    {
        choose(p, node);
        p.form().setText(TreValue, value);
        p.dispatch(fw::Notify::Clicked, TreSet);
    }
    CMolvaneView *view = nullptr;
};

TEST_F(TreePage, TheTreeLeavesOutUnimplementedNodesAndFollowsTheVisibilityOfItsCamera)
{
    start(1);
    CXMLTreeDlg &p = page(0);
    EXPECT_EQ(p.form().treeItems(TreNodes)[0].text, "Root");
    EXPECT_GE(find(p, "Width"), 0);
    EXPECT_EQ(find(p, "FactoryTest"), -1);         // not implemented, with its subtree
    EXPECT_EQ(find(p, "FactoryTestPattern"), -1);
    EXPECT_EQ(find(p, "SequencerMode"), -1);
    const int width = find(p, "Width");
    EXPECT_EQ(p.form().treeItems(TreNodes)[width].image, 3);
    EXPECT_EQ(p.form().treeItems(TreNodes)[find(p, "ImageFormatControl")].image, 1);
    EXPECT_EQ(find(p, "DeviceReset"), -1);  // guru only; the page starts at BEGINNER
    p.form().setSelection(TreVisibility, 2);
    p.dispatch(fw::Notify::SelChange, TreVisibility);
    EXPECT_GE(find(p, "DeviceReset"), 0);
    EXPECT_EQ(view->m_nVisibility, 2);
    p.onInitialUpdate();  // the level lives in the camera's view
    EXPECT_EQ(p.form().selectedText(TreVisibility), "GURU");
    EXPECT_GE(find(p, "DeviceReset"), 0);
}

TEST_F(TreePage, AccessDecidesWhatCanBeWrittenAndValuesShowByType)
{
    start(1);
    CXMLTreeDlg &p = page(0);
    choose(p, "DeviceVendorName");  // read only
    EXPECT_FALSE(p.form().isEnabled(TreSet));
    EXPECT_FALSE(p.form().isEnabled(TreValue));
    EXPECT_EQ(p.form().text(TreValue), "Molvane Simulation");
    choose(p, "Width");
    EXPECT_TRUE(p.form().isEnabled(TreSet));
    EXPECT_EQ(p.form().text(TreValue), "1280");
    EXPECT_EQ(p.form().text(TreMin), "48");
    EXPECT_TRUE(p.form().isVisible(TreMin));
    choose(p, "Gamma");
    EXPECT_EQ(p.form().text(TreValue), " 1.00");
    EXPECT_EQ(p.form().text(TreMax), " 4.00");
    choose(p, "PixelFormat");
    EXPECT_TRUE(p.form().isVisible(TreValueList));
    EXPECT_FALSE(p.form().isVisible(TreValue));
    EXPECT_EQ(p.form().selectedText(TreValueList), "BayerGR8");
    EXPECT_FALSE(p.form().isEnabled(TreSet));
    choose(p, "AcquisitionStart");
    EXPECT_EQ(p.form().text(TreValue), "");
    EXPECT_FALSE(p.form().isEnabled(TreValue));
}

TEST_F(TreePage, AddressesAreDottedQuadsTakenUnsignedAndTheMacComesFromRegisters)
{
    start(1);
    CXMLTreeDlg &p = page(0);
    p.form().setSelection(TreVisibility, 2);
    p.dispatch(fw::Notify::SelChange, TreVisibility);
    view->m_pCamera->device()->features().setIntValue("GevPersistentIPAddress", 0xC0A8010A);
    choose(p, "GevPersistentIPAddress");
    EXPECT_EQ(p.form().text(TreValue), "192.168.1.10");
    EXPECT_FALSE(p.form().isVisible(TreMin));
    choose(p, "GevMACAddress");
    EXPECT_EQ(p.form().text(TreValue), "02:4D:56:00:00:01");
    choose(p, "LUTEnable");  // an on/off boolean shows as a list
    EXPECT_EQ(p.form().items(TreValueList), (std::vector<std::string>{"Off", "On"}));
    EXPECT_FALSE(p.form().isVisible(TreSet));
    p.form().setSelection(TreValueList, 1);
    p.dispatch(fw::Notify::SelChange, TreValueList);
    EXPECT_EQ(view->m_pCamera->GetLUTEnable(), 1);
}

TEST_F(TreePage, GeometryIsCheckedBeforeItIsWrittenAndThePlayingCameraPausesAroundIt)
{
    start(1);
    CXMLTreeDlg &p = page(0);
    set(p, "Width", "641");  // not a multiple of the increment 8
    ASSERT_FALSE(platform.balloons().empty());
    EXPECT_EQ(platform.balloons().back().text, "Unavailable input value");
    EXPECT_EQ(view->m_pCamera->GetImageWidth(), 1280);
    frame().routeCommand(CmdPlay);
    view->m_pCamera->callLog().clear();
    set(p, "Width", "640");
    EXPECT_EQ(puts(*view->m_pCamera, {Dispid::Acquisition, Dispid::ImageWidth}),
              (std::vector<int>{12, 4, 12}));
    EXPECT_EQ(view->m_pCamera->GetImageWidth(), 640);
    EXPECT_EQ(view->m_nRoiWidth, 640);
    EXPECT_EQ(frame().m_pCameraInfoPane->m_dlg.form().text(InfoWidth), "640");
    EXPECT_EQ(view->m_pCamera->GetAcquisition(), 1);
    set(p, "OffsetX", "648");  // 640 + 648 is past the sensor's 1280
    EXPECT_EQ(view->m_pCamera->GetOffsetX(), 0);
    set(p, "OffsetX", "640");
    EXPECT_EQ(view->m_pCamera->GetOffsetX(), 640);
    // A plain integer refused by the camera reads back into the box.
    set(p, "AutoExposure", "999");
    EXPECT_EQ(p.form().text(TreValue), "128");
}

TEST_F(TreePage, AcquisitionStartAndUserSetLoadFollowTheirRules)
{
    start(1);
    CXMLTreeDlg &p = page(0);
    choose(p, "AcquisitionStart");
    p.dispatch(fw::Notify::Clicked, TreSet);
    EXPECT_TRUE(view->m_bPlaying);
    EXPECT_EQ(view->m_pCamera->GetAcquisition(), 1);
    EXPECT_EQ(p.m_bStarted, 1);
    choose(p, "AcquisitionStop");
    p.dispatch(fw::Notify::Clicked, TreSet);
    EXPECT_FALSE(view->m_bPlaying);
    EXPECT_EQ(view->m_pCamera->GetAcquisition(), 0);
    // UserSetLoad takes the number after "UserSet" of the selected entry.
    view->m_pCamera->SetGain("", 7);
    view->m_pCamera->LoadSaveUserSet(3, 1);
    view->m_pCamera->SetGain("", 1);
    view->m_pCamera->SetEnumValue("UserSetSelector", "UserSet3");
    view->m_pCamera->callLog().clear();
    choose(p, "UserSetLoad");
    p.dispatch(fw::Notify::Clicked, TreSet);
    auto calls = view->m_pCamera->callLog().calls();
    auto it = std::find_if(calls.begin(), calls.end(), [](const cam::Call &c) { return c.dispid == Dispid::LoadSaveUserSet; });
    ASSERT_NE(it, calls.end());
    EXPECT_EQ(std::get<int>(it->args[0]), 3);
    EXPECT_FLOAT_EQ(view->m_pCamera->GetGain(), 7);
}

TEST_F(TreePage, OnceWhiteBalanceIsReadBackAfterTwoSeconds)
{
    start(1);
    CXMLTreeDlg &p = page(0);
    choose(p, "BalanceWhiteAuto");
    p.form().setSelection(TreValueList, 2);  // Once
    p.dispatch(fw::Notify::SelChange, TreValueList);
    EXPECT_FALSE(p.form().isEnabled(TreValueList));
    platform.advance(2000);
    EXPECT_TRUE(p.form().isEnabled(TreValueList));
    EXPECT_EQ(p.form().selection(TreValueList), 0);
    EXPECT_EQ(view->m_pCamera->GetBalanceWhiteAuto(), "Off");
}

TEST_F(TreePage, SaveAndLoadWriteTheCamerasFeaturesToAFileAndBackPausingForGeometry)
{
    start(1);
    CXMLTreeDlg &p = page(0);
    cam::CMolvane &c = *view->m_pCamera;
    const std::string path = ::testing::TempDir() + "molvane-tree-features-" + std::to_string(::getpid()) + ".txt";
    set(p, "Width", "640");
    platform.answerFileDialog(path);
    p.dispatch(fw::Notify::Clicked, TreSaveFeatures);
    ASSERT_TRUE(platform.messageBoxes().empty());

    frame().routeCommand(CmdPlay);
    set(p, "Width", "1280");
    set(p, "AutoExposure", "100");
    std::ofstream(path, std::ios::app) << "PixelFormat=Mono16\n";
    c.callLog().clear();
    platform.answerFileDialog(path);
    p.dispatch(fw::Notify::Clicked, TreLoadFeatures);
    EXPECT_TRUE(platform.messageBoxes().empty());
    EXPECT_EQ(c.GetImageWidth(), 640);
    EXPECT_EQ(c.GetIntValue("AutoExposure"), 128);
    EXPECT_EQ(view->m_nRoiWidth, 640);
    EXPECT_EQ(frame().m_pCameraInfoPane->m_dlg.form().text(InfoWidth), "640");
    EXPECT_EQ(puts(c, {Dispid::Acquisition}), (std::vector<int>{12, 12}));  // stopped, then started again
    EXPECT_EQ(c.GetAcquisition(), 1);
    EXPECT_EQ(frame().m_pCameraInfoPane->m_dlg.form().text(InfoFormat), "Mono16");
    EXPECT_EQ(p.form().text(TreValue), "128") << "the selected node shows the loaded value";

    std::ofstream(path) << "Bogus=1\nAutoExposure=90\nWidth=abc\n";
    platform.answerFileDialog(path);
    p.dispatch(fw::Notify::Clicked, TreLoadFeatures);
    ASSERT_EQ(platform.messageBoxes().size(), 1u);
    const std::string &text = platform.messageBoxes().back().text;
    EXPECT_NE(text.find("line 1: Bogus=1"), std::string::npos) << text;
    EXPECT_NE(text.find("line 3: Width=abc"), std::string::npos) << text;
    EXPECT_EQ(c.GetIntValue("AutoExposure"), 90);
    std::remove(path.c_str());
}

// Bad entries in the value of integer and decimal nodes, and bad feature files: a node keeps a
// value within its bounds, a geometry value outside them gets "Unavailable input value"; loading
// a missing file, a folder or a binary file and saving below a regular file, into /proc or past
// a file-size limit each say so, and a feature file saved before is still whole afterwards.
TEST_F(TreePage, BadValuesAndBadFeatureFilesKeepTheCameraAndSavedFilesWhole)
{
    start(1);
    CXMLTreeDlg &p = page(0);
    cam::CMolvane &c = *view->m_pCamera;
    for (const std::string node : {"Width", "OffsetX", "AutoExposure", "Gamma"}) {
        const bool decimal = node == "Gamma";
        for (const std::string &text : badNumbers()) {
            SCOPED_TRACE(node + " <- \"" + text + "\"");
            const Mark m = mark(&c);
            fw::guarded([&] { set(p, node, text); });
            const auto shown = shownSince(m);
            EXPECT_LE(shown.size(), 1u);
            if (!shown.empty()) {
                EXPECT_EQ(shown[0], "Unavailable input value");
            }
            if (decimal) {
                EXPECT_GE(c.GetFloatValue(node), c.GetFloatMin(node));
                EXPECT_LE(c.GetFloatValue(node), c.GetFloatMax(node));
            } else {
                EXPECT_GE(c.GetIntValue(node), c.GetIntMin(node));
                EXPECT_LE(c.GetIntValue(node), c.GetIntMax(node));
            }
        }
    }
    EXPECT_LE(c.GetOffsetX() + c.GetImageWidth(), c.GetMaxWidth());

    const std::string dir = ::testing::TempDir() + "molvane-tree-bad-" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    const std::string saved = dir + "/saved.txt", binary = dir + "/binary.txt";
    platform.answerFileDialog(saved);
    p.dispatch(fw::Notify::Clicked, TreSaveFeatures);
    std::ifstream first(saved);
    const std::string before(std::istreambuf_iterator<char>(first), {});
    ASSERT_FALSE(before.empty());
    std::ofstream(binary) << std::string("\0\xff\xfe=\x01\n\x80\x81", 8);
    for (const std::string &path : {dir + "/missing.txt", dir, binary}) {
        SCOPED_TRACE(path);
        const Mark m = mark(&c);
        platform.answerFileDialog(path);
        p.dispatch(fw::Notify::Clicked, TreLoadFeatures);
        EXPECT_EQ(shownSince(m).size(), 1u);
        EXPECT_EQ(callsSince(c, m, {Dispid::SetIntValue, Dispid::SetFloatValue, Dispid::SetEnumValue}), 0);
    }
    for (const std::string &path : {saved + "/under-a-file.txt", std::string("/proc/molvane-features.txt")}) {
        SCOPED_TRACE(path);
        const Mark m = mark();
        platform.answerFileDialog(path);
        p.dispatch(fw::Notify::Clicked, TreSaveFeatures);
        EXPECT_EQ(shownSince(m).size(), 1u);
    }
    // A disk that fills while the file is written: the one saved before stays whole.
    const Mark m = mark();
    {
        FileSizeLimit full(16);
        platform.answerFileDialog(saved);
        p.dispatch(fw::Notify::Clicked, TreSaveFeatures);
    }
    EXPECT_EQ(shownSince(m).size(), 1u);
    std::ifstream after(saved);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(after), {}), before);
    std::filesystem::remove_all(dir);
}
