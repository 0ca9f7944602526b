// The LUT page: the LUT file rules, writing a LUT and the knee table, picking and dragging knee
// points in the graph, and simulated cameras whose image follows both tables.
#include "TestSupport.h"

#include "app/CControlBasePane.h"
#include "camera/sim/SimToneCurve.h"
#include "framework/headless/HeadlessCanvasPeer.h"
#include "pages/CKneeLUTView.h"
#include "pages/CLUTDlg.h"
#include "pages/LutFile.h"
#include "view/CMolvaneView.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

using cam::Dispid;
using namespace res;
using Op = fw::DrawCall::Op;
namespace fs = std::filesystem;

namespace {

std::pair<int, int> xy(fw::Point p) { return {p.x, p.y}; }

fs::path writeText(const std::string &name, const std::string &text)
{
    const fs::path path = fs::temp_directory_path() / ("molvane-lut-" + std::to_string(getpid()) + "-" + name);
    std::ofstream(path) << text;
    return path;
}

} // namespace

class LUTPage : public AppFixture {
protected:
    CLUTDlg &page(int line = 0)
    {
        view = open(line);
        frame().routeCommand(CmdCameraControl);
        frame().m_pControlPane->ShowPage(CControlBasePane::Page::Lut);
        return *frame().m_pControlPane->m_pLUTDlg;
    }
    fw::HeadlessCanvasPeer &graph(CLUTDlg &p) { return *dynamic_cast<fw::HeadlessCanvasPeer *>(p.kneeView()->peer()); }
    std::vector<int> calls(std::vector<Dispid> only) { return dispids(*view->m_pCamera, std::move(only)); }
    void click(CLUTDlg &p, int id) { p.dispatch(fw::Notify::Clicked, id); }
    CMolvaneView *view = nullptr;
};

TEST(LutFile, ValuesKeepTheirLowSixteenBitsAndMissingOnesAreZero)
{
    LutFile::Table table{};
    const fs::path wrapped = writeText("wrap.dat", "70000\n-1 12\r\n4095");
    EXPECT_EQ(LutFile::Read(wrapped.string(), table), LutFile::Status::Ok);
    EXPECT_EQ(table[0], 4464);   // 70000 modulo 65536
    EXPECT_EQ(table[1], 65535);  // -1 in 16 bits
    EXPECT_EQ(table[2], 12);
    EXPECT_EQ(table[3], 4095);
    EXPECT_EQ(table[4], 0);  // a short file: the rest stays 0
    std::string longer;
    for (int i = 0; i < 5000; ++i)
        longer += std::to_string(i % 7) + " ";
    const fs::path many = writeText("many.dat", longer);
    EXPECT_EQ(LutFile::Read(many.string(), table), LutFile::Status::Ok);  // past 4096: ignored
    EXPECT_EQ(table[4095], 4095 % 7);
    std::string problem;
    const fs::path text = writeText("text.dat", "1 2 three 4");
    EXPECT_EQ(LutFile::Read(text.string(), table, &problem), LutFile::Status::NotNumbers);
    EXPECT_NE(problem.find("value 3"), std::string::npos) << problem;
    EXPECT_EQ(LutFile::Read("/nonexistent/lut.dat", table), LutFile::Status::CannotOpen);
    for (const auto &p : {wrapped, many, text})
        fs::remove(p);
}

TEST_F(LUTPage, WriteLutNeedsTheLutOnAndAUsableFileBeforeTheCameraIsTouched)
{
    start(1);
    CLUTDlg &p = page();
    EXPECT_EQ(p.form().items(LutNumber), (std::vector<std::string>{"0", "1", "2", "3"}));
    view->m_pCamera->callLog().clear();
    click(p, LutWrite);  // the LUT is off: a balloon, nothing else
    ASSERT_EQ(platform.balloons().size(), 1u);
    EXPECT_EQ(platform.balloons().back().text, "LUT on/off should be checked!");
    p.form().setCheck(LutOnOff, 1);
    platform.answerFileDialog(std::string("/nonexistent/lut.dat"));
    click(p, LutWrite);
    ASSERT_EQ(platform.messageBoxes().size(), 1u);
    EXPECT_EQ(platform.messageBoxes().back().text, "Unable to open file");
    const fs::path bad = writeText("bad.dat", "100 abc");
    platform.answerFileDialog(bad.string());
    click(p, LutWrite);
    ASSERT_EQ(platform.messageBoxes().size(), 2u);
    EXPECT_NE(platform.messageBoxes().back().text.find("Nothing was written"), std::string::npos);
    EXPECT_TRUE(calls({Dispid::WriteLUT, Dispid::LUTIndex, Dispid::LUTEnable}).empty());
    platform.answerFileDialog(std::nullopt);  // cancelled
    click(p, LutWrite);
    EXPECT_TRUE(calls({Dispid::WriteLUT}).empty());
    const fs::path good = writeText("good.dat", "1 2 3");
    p.form().setSelection(LutNumber, 2);
    platform.answerFileDialog(good.string());
    click(p, LutWrite);
    EXPECT_EQ(calls({Dispid::WriteLUT, Dispid::LUTIndex, Dispid::LUTEnable, Dispid::LUTPassThrough}),
              (std::vector<int>{49, 50, 109, 40}));
    EXPECT_EQ(view->m_pCamera->GetEnumValue("LUTSelector"), "2");
    fs::remove(bad);
    fs::remove(good);
}

TEST_F(LUTPage, SetToLinearSendsTheFourPointsAndSpinsOnlyChangeThePage)
{
    start(1);
    CLUTDlg &p = page();
    p.form().setPos(KneeX2Spin, 1501);
    p.dispatch(fw::Notify::SpinDelta, KneeX2Spin);
    EXPECT_EQ(p.KneeX(1), 1501);
    EXPECT_EQ(p.form().text(KneeX2), "1501");
    int x = 0, y = 0;
    view->m_pCamera->GetKneePoint(1, &x, &y);
    EXPECT_EQ(x, 1500);  // not sent before Set
    view->m_pCamera->callLog().clear();
    click(p, KneeLinear);
    std::vector<std::vector<cam::CallArg>> sent;
    for (const auto &call : view->m_pCamera->callLog().calls())
        if (call.dispid == Dispid::SetKneePoint)
            sent.push_back(call.args);
    ASSERT_EQ(sent.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(sent[i], (std::vector<cam::CallArg>{i, 1000 + 500 * i, 1000 + 500 * i}));
    EXPECT_EQ(p.form().text(KneeY4), "2500");
}

TEST_F(LUTPage, KneePointsArePickedWithinRangeDraggedAndPinnedToTheTable)
{
    start(1);
    CLUTDlg &p = page();
    ASSERT_NE(p.kneeView(), nullptr);
    EXPECT_EQ(xy(CKneeLUTView::ToLut({0, 273})), std::make_pair(0, 0));
    EXPECT_EQ(xy(CKneeLUTView::ToLut({273, 0})), std::make_pair(4095, 4095));
    // Points 1 and 2 both within 200 units of (1250, 1250): the lower number wins.
    p.form().setText(KneeX2, "1300");
    p.form().setText(KneeY2, "1300");
    click(p, KneeSet);
    EXPECT_EQ(p.kneeView()->PointNear({1190, 1190}), 0);
    EXPECT_EQ(p.kneeView()->PointNear({1350, 1350}), 1);
    EXPECT_EQ(p.kneeView()->PointNear({3000, 100}), -1);
    fw::HeadlessCanvasPeer &g = graph(p);
    g.pressLeft({100, 273 - 100});  // (1500, 1500): point 2 lies within 200 units
    EXPECT_EQ(p.kneeView()->selected(), 1);
    p.kneeView()->onMouseMove({400, -50});  // past the corner (a grabbed mouse reports it): pinned
    EXPECT_EQ(p.KneeX(1), 4095);
    EXPECT_EQ(p.KneeY(1), 4095);
    EXPECT_EQ(p.form().text(KneeX2), "4095");
    EXPECT_EQ(p.form().text(KneeCurrent), "( 4095,4095 )");
    p.kneeView()->onMouseMove({-30, 300});
    EXPECT_EQ(p.KneeX(1), 0);
    EXPECT_EQ(p.KneeY(1), 0);
    g.moveMouse({20, 253});
    EXPECT_EQ(p.KneeX(1), 300);
    EXPECT_EQ(p.KneeY(1), 300);
    g.releaseLeft({20, 253});
    EXPECT_FALSE(p.kneeView()->dragging());
    EXPECT_FALSE(g.mouseCaptured());
    int x = 0, y = 0;
    view->m_pCamera->GetKneePoint(1, &x, &y);
    EXPECT_EQ(x, 1300);  // the camera changes only on Set
    // The curve runs from the bottom-left corner through the points to the top-right.
    const auto curves = g.drawing().callsOf(Op::Polyline);
    ASSERT_FALSE(curves.empty());
    const auto &curve = curves.front().points;
    ASSERT_EQ(curve.size(), 6u);
    EXPECT_EQ(xy(curve.front()), std::make_pair(0, 273));
    EXPECT_EQ(xy(curve[2]), std::make_pair(20, 253));  // (300, 300) / 15, y upward
    EXPECT_EQ(xy(curve.back()), std::make_pair(273, 0));
    EXPECT_EQ(curves.front().pen.width, 2);
    EXPECT_EQ(curves.front().pen.color, (fw::Color{0, 0, 255}));
    EXPECT_EQ(g.drawing().count(Op::Line), 12u);  // six grid lines each way
}

TEST(SimToneCurve, TheKneeCurveRunsThroughItsPointsAfterTheUserLut)
{
    cam::SimToneCurve::KneePoints knee{{{1000, 2000}, {2000, 3000}, {3000, 3500}, {4000, 4000}}};
    EXPECT_EQ(cam::SimToneCurve::kneeOutput(knee, 500), 1000);
    EXPECT_EQ(cam::SimToneCurve::kneeOutput(knee, 2000), 3000);
    EXPECT_EQ(cam::SimToneCurve::kneeOutput(knee, 4095), 4095);
    std::vector<uint16_t> invert(4096);
    for (int i = 0; i < 4096; ++i)
        invert[static_cast<size_t>(i)] = static_cast<uint16_t>(4095 - i);
    cam::SimToneCurve curve;
    curve.build(&invert, nullptr);
    EXPECT_EQ(curve.map(0), 4095);
    curve.build(&invert, &knee);
    EXPECT_EQ(curve.map(4095), 0);
    EXPECT_EQ(curve.map(3595), cam::SimToneCurve::kneeOutput(knee, 500));
    cam::FrameBuffer f;
    f.format = cam::PixelFormat::Mono8;
    f.data = {0, 255};
    f.size = 2;
    curve.build(&invert, nullptr);
    curve.apply(f);
    EXPECT_EQ(f.data, (std::vector<uint8_t>{255, 0}));
}

TEST_F(LUTPage, ALutFileAndTheKneeCurveChangeTheLiveImage)
{
    start(1);
    CLUTDlg &p = page();
    view->m_pCamera->SetImageFormat(2);  // Mono8
    frame().routeCommand(CmdPlay);
    auto meanOfNextFrame = [&] {
        const unsigned target = view->m_nFrameCount + 3;
        EXPECT_TRUE(platform.processUntil([&] { return view->m_nFrameCount >= target; }));
        const auto bytes = view->m_pCamera->GetRawImage(0).value_or(std::vector<uint8_t>{0});
        double sum = 0;
        for (uint8_t b : bytes)
            sum += b;
        return sum / bytes.size();
    };
    const double plain = meanOfNextFrame();
    std::string dark;
    for (int i = 0; i < 4096; ++i)
        dark += std::to_string(i / 4) + "\n";  // a quarter of every value
    const fs::path file = writeText("dark.dat", dark);
    p.form().setCheck(LutOnOff, 1);
    platform.answerFileDialog(file.string());
    click(p, LutWrite);
    const double darker = meanOfNextFrame();
    EXPECT_LT(darker, plain * 0.4);
    p.form().setCheck(LutOnOff, 0);
    click(p, LutSet);
    EXPECT_NEAR(meanOfNextFrame(), plain, plain * 0.1);
    // A knee curve that lifts the darks brightens the image.
    p.form().setText(KneeX1, "100");
    p.form().setText(KneeY1, "3000");
    p.form().setCheck(KneeOn, 1);
    click(p, KneeSet);
    EXPECT_GT(meanOfNextFrame(), plain * 1.2);
    fs::remove(file);
}

// Bad entries in the eight knee fields and bad LUT files: a typed knee value goes to the camera
// unchecked and the camera keeps only points within 0 to 4095, and the graph still picks points
// by the typed table; a missing file, a folder, a binary file and a path below a regular file
// are refused with a message before the camera is touched.
TEST_F(LUTPage, BadKneeNumbersAndBadLutFilesNeverPutTheCameraOutOfRange)
{
    start(1);
    CLUTDlg &p = page();
    cam::CMolvane &c = *view->m_pCamera;
    const int edits[] = {KneeX1, KneeY1, KneeX2, KneeY2, KneeX3, KneeY3, KneeX4, KneeY4};
    for (int edit : edits) {
        for (const std::string &text : badNumbers()) {
            SCOPED_TRACE(std::to_string(edit) + " <- \"" + text + "\"");
            click(p, KneeLinear);
            p.form().setText(edit, text);
            const Mark m = mark(&c);
            click(p, KneeSet);
            EXPECT_TRUE(shownSince(m).empty());
            for (int i = 0; i < 4; ++i) {
                int x = -1, y = -1;
                c.GetKneePoint(i, &x, &y);
                EXPECT_TRUE(x >= 0 && x <= 4095 && y >= 0 && y <= 4095) << i << ": " << x << "," << y;
            }
            graph(p).pressLeft({0, 273});
            graph(p).releaseLeft({0, 273});
            for (int i = 0; i < 4; ++i)  // the release pins the typed table to the graph
                EXPECT_TRUE(p.KneeX(i) >= 0 && p.KneeX(i) <= 4095 && p.KneeY(i) >= 0 && p.KneeY(i) <= 4095);
        }
    }
    p.form().setCheck(LutOnOff, 1);
    const fs::path binary = writeText("binary.dat", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
    const fs::path regular = writeText("regular.dat", "1 2 3");
    const std::string paths[] = {"/nonexistent/lut.dat", fs::temp_directory_path().string(), binary.string(),
                                 (regular / "lut.dat").string()};
    for (const std::string &path : paths) {
        SCOPED_TRACE(path);
        const Mark m = mark(&c);
        platform.answerFileDialog(path);
        click(p, LutWrite);
        ASSERT_EQ(shownSince(m).size(), 1u);
        EXPECT_TRUE(shownSince(m)[0] == "Unable to open file" ||
                    shownSince(m)[0].find("Nothing was written to the camera.") != std::string::npos)
            << shownSince(m)[0];
        EXPECT_EQ(callsSince(c, m, {Dispid::WriteLUT, Dispid::LUTIndex, Dispid::LUTEnable}), 0);
    }
    fs::remove(binary);
    fs::remove(regular);
}
