// The trigger sequence table window: opening, the gain and shutter checks, slots, table files
// written and read back, malformed files, closing with unsent edits.
#include "TestSupport.h"

#include "app/CControlBasePane.h"
#include "app/CMenuDlg.h"
#include "pages/CTriggerCtrlDlg.h"
#include "pages/CTriggerExtraDlg.h"
#include "view/CMolvaneView.h"

#include <filesystem>
#include <fstream>
#include <sstream>

using cam::Dispid;
using namespace res;

class TriggerSequence : public AppFixture {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() /
              ("molvane-seq-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override
    {
        AppFixture::TearDown();
        std::filesystem::remove_all(dir);
    }
    // Opens camera 1, the trigger page and its sequence table window.
    CTriggerExtraDlg &table()
    {
        if (!view)
            view = open(0);
        frame().routeCommand(CmdCameraControl);
        frame().m_pControlPane->m_pMenuDlg->dispatch(fw::Notify::Clicked, BtnTrigger);
        frame().m_pControlPane->m_pTriggerDlg->dispatch(fw::Notify::Clicked, TrgExtra);
        return *g_pTriggerExtraDlg;
    }
    void edit(CTriggerExtraDlg &t, int row, int column, const std::string &text)
    {
        t.dispatch(fw::Notify::CellEditBegin, SeqGrid);
        t.form().setCell(SeqGrid, row, column, text);
        t.dispatch(fw::Notify::CellEditEnd, SeqGrid);
    }
    void record(CTriggerExtraDlg &t, int row, int increment, int gain, int shutter)
    {
        edit(t, row, 1, std::to_string(increment));
        edit(t, row, 2, std::to_string(gain));
        edit(t, row, 3, std::to_string(shutter));
    }
    std::vector<std::string> row(const CTriggerExtraDlg &t, int r) const
    {
        return {t.form().cell(SeqGrid, r, 0), t.form().cell(SeqGrid, r, 1), t.form().cell(SeqGrid, r, 2),
                t.form().cell(SeqGrid, r, 3)};
    }
    std::vector<std::vector<std::string>> grid(const CTriggerExtraDlg &t) const
    {
        return t.form().state(SeqGrid).rows;
    }
    int sends() const { return static_cast<int>(puts(*view->m_pCamera, {Dispid::TriggerSequenceTable}).size()); }
    std::string lastMessage() const
    {
        return platform.messageBoxes().empty() ? std::string() : platform.messageBoxes().back().text;
    }
    std::string file(const std::string &name, const std::string &text)
    {
        const std::string path = (dir / name).string();
        std::ofstream(path) << text;
        return path;
    }
    void import(CTriggerExtraDlg &t, const std::string &path)
    {
        platform.answerFileDialog(path);
        t.dispatch(fw::Notify::Clicked, SeqImport);
    }
    std::filesystem::path dir;
    CMolvaneView *view = nullptr;
};

TEST_F(TriggerSequence, OpeningShowsTheCamerasTableWithItsBoundsAndOnlyOneWindowExists)
{
    start(1);
    view = open(0);
    view->m_pCamera->SetTriggerSequenceTable({{0, 2, 6, 5000}, {1, 1, 12, 800}, {2, 0, 0, 0}});
    CTriggerExtraDlg &t = table();
    ASSERT_TRUE(t.hasWindow());
    EXPECT_EQ(t.windowText(), "Trigger mode 12/13 Extra parameters");
    const fw::ControlState &g = t.form().state(SeqGrid);
    EXPECT_EQ(g.columns, (std::vector<std::string>{"Frame Order", "Increment", "Gain( 0~24 )", "Shutter( 20~1000000 )"}));
    EXPECT_EQ(g.columnWidths, (std::vector<int>{80, 80, 110, 130}));
    EXPECT_EQ(g.fixedColumns, 1);
    ASSERT_EQ(g.rows.size(), 255u);
    EXPECT_EQ(row(t, 0), (std::vector<std::string>{"1", "2", "6", "5000"}));
    EXPECT_EQ(row(t, 1), (std::vector<std::string>{"2", "1", "12", "800"}));
    EXPECT_EQ(row(t, 254), (std::vector<std::string>{"255", "0", "0", "0"}));
    EXPECT_EQ(t.form().itemCount(SeqSaveSlot), 16);
    EXPECT_EQ(t.form().selectedText(SeqLoadSlot), "0");
    // A second click leaves the open window as it is.
    edit(t, 0, 2, "7");
    frame().m_pControlPane->m_pTriggerDlg->dispatch(fw::Notify::Clicked, TrgExtra);
    EXPECT_EQ(g_pTriggerExtraDlg, &t);
    EXPECT_EQ(t.form().cell(SeqGrid, 0, 2), "7");
}

TEST_F(TriggerSequence, GainAndShutterAreCheckedUpToTheFirstZeroIncrement)
{
    start(1);
    CTriggerExtraDlg &t = table();
    // An empty table passes and is sent whole.
    t.dispatch(fw::Notify::Clicked, SeqSet);
    EXPECT_EQ(sends(), 1);
    EXPECT_EQ(platform.balloons().back().text, "Setting complete!");
    EXPECT_EQ(platform.balloons().back().title, "Success!");
    EXPECT_EQ(view->m_pCamera->callLog().calls().back().args[0], cam::CallArg{255});
    // A gain one above the maximum after the first zero increment does not count.
    record(t, 0, 1, 24, 20);
    record(t, 2, 1, 25, 100);
    t.dispatch(fw::Notify::Clicked, SeqSet);
    EXPECT_EQ(sends(), 2);
    EXPECT_EQ(view->m_pCamera->GetTriggerSequenceTable()[0].gain, 24);
    // Before it, it stops the send.
    record(t, 1, 3, 25, 100);
    t.dispatch(fw::Notify::Clicked, SeqSet);
    EXPECT_EQ(lastMessage(), "Unavailable Gain value");
    EXPECT_EQ(platform.messageBoxes().back().icon, fw::MsgIcon::Exclamation);
    EXPECT_EQ(platform.messageBoxes().back().title, "");
    EXPECT_EQ(sends(), 2);
    EXPECT_TRUE(t.form().isEnabled(SeqSet));
    record(t, 1, 3, 24, 19);
    t.dispatch(fw::Notify::Clicked, SeqSet);
    EXPECT_EQ(lastMessage(), "Unavailable shutter value");
    EXPECT_EQ(sends(), 2);
    record(t, 1, 3, 24, 1000000);
    edit(t, 2, 1, "0");  // row 3 now ends the table
    t.dispatch(fw::Notify::Clicked, SeqSet);
    EXPECT_EQ(sends(), 3);
    EXPECT_EQ(view->m_pCamera->GetTriggerSequenceTable()[1].shutter, 1000000);
}

TEST_F(TriggerSequence, SlotsKeepTablesAndSaveStoresTheCamerasTableEvenWhenTheGridIsRefused)
{
    start(1);
    CTriggerExtraDlg &t = table();
    record(t, 0, 4, 10, 3000);
    t.form().setSelection(SeqSaveSlot, 3);
    view->m_pCamera->callLog().clear();
    t.dispatch(fw::Notify::Clicked, SeqSave);
    EXPECT_EQ(dispids(*view->m_pCamera, {Dispid::TriggerSequenceTable, Dispid::SaveTriggerSequence}),
              (std::vector<int>{99, 100}));
    EXPECT_EQ(platform.balloons().back().text, "Save Complete!");
    // A refused grid: slot 5 still gets the camera's table (the one just sent).
    record(t, 0, 4, 99, 3000);
    t.form().setSelection(SeqSaveSlot, 5);
    t.dispatch(fw::Notify::Clicked, SeqSave);
    EXPECT_EQ(lastMessage(), "Unavailable Gain value");
    record(t, 0, 9, 1, 50);
    t.dispatch(fw::Notify::Clicked, SeqSet);
    t.form().setSelection(SeqLoadSlot, 5);
    t.dispatch(fw::Notify::Clicked, SeqLoad);
    EXPECT_EQ(row(t, 0), (std::vector<std::string>{"1", "4", "10", "3000"}));
    EXPECT_EQ(view->m_pCamera->GetTriggerSequenceTable()[0].gain, 10);
}

TEST_F(TriggerSequence, ExportedFilesImportBackToTheSameGridAndShortFilesZeroTheRest)
{
    start(1);
    CTriggerExtraDlg &t = table();
    record(t, 0, 1, 3, 100);
    record(t, 1, 2, 24, 1000000);
    const auto before = grid(t);
    const std::string path = (dir / "seq.dat").string();
    platform.answerFileDialog(path);
    t.dispatch(fw::Notify::Clicked, SeqExport);
    std::ifstream in(path);
    std::string first, second;
    std::getline(in, first);
    std::getline(in, second);
    EXPECT_EQ(first, "1  1  3  100");
    EXPECT_EQ(second, "2  2  24  1000000");
    int lines = 2;
    for (std::string l; std::getline(in, l);)
        ++lines;
    EXPECT_EQ(lines, 255);
    record(t, 0, 7, 7, 7);
    import(t, path);
    EXPECT_EQ(grid(t), before);
    EXPECT_EQ(sends(), 0);  // an import is not sent
    // Ten lines fill rows 1 to 10; the first number of a line is not used.
    std::ostringstream ten;
    for (int i = 0; i < 10; ++i)
        ten << 99 << " " << i + 1 << "\t" << 2 << "\n" << 500 << "\n";
    import(t, file("ten.dat", ten.str()));
    EXPECT_EQ(row(t, 9), (std::vector<std::string>{"10", "10", "2", "500"}));
    EXPECT_EQ(row(t, 10), (std::vector<std::string>{"11", "0", "0", "0"}));
    EXPECT_EQ(row(t, 1), (std::vector<std::string>{"2", "2", "2", "500"}));
    // Closing with what was imported but not sent asks first; Cancel keeps the window.
    platform.answerMessageBox(fw::MsgResult::Cancel);
    t.close();
    EXPECT_EQ(lastMessage(), "Table data is not preserved.");
    EXPECT_TRUE(t.hasWindow());
    t.dispatch(fw::Notify::Clicked, SeqSet);
    platform.clearRecords();
    t.close();
    EXPECT_TRUE(platform.messageBoxes().empty());
    EXPECT_FALSE(t.hasWindow());
}

TEST_F(TriggerSequence, MalformedOrOversizedFilesLeaveTheGridAndTheCameraAlone)
{
    start(1);
    CTriggerExtraDlg &t = table();
    record(t, 0, 1, 5, 500);
    const auto before = grid(t);
    struct Case {
        std::string name, text, message;
    };
    std::string tooMany, full;
    for (int i = 0; i < 257; ++i)
        tooMany += "1 1 1 100\n";
    for (int i = 0; i < 256; ++i)
        full += "1 2 3 100\n";
    const Case cases[] = {
        {"truncated.dat", "1 1 1 100\n2 1 1\n", "The table file cannot be read. Record 2 is incomplete: every record has four numbers."},
        {"text.dat", "1 1 one 100\n", "The table file cannot be read. \"one\" in record 1 is not a whole number of 0 or more."},
        {"negative.dat", "1 -1 1 100\n", "The table file cannot be read. \"-1\" in record 1 is not a whole number of 0 or more."},
        {"huge.dat", "1 1 99999999999 100\n", "The table file cannot be read. \"99999999999\" in record 1 is not a whole number of 0 or more."},
        {"missing.dat", "", "Unable to open file"},
        {"binary.dat", std::string(100000, 'x'),
         "The table file cannot be read. \"xxxxxxxxxxxxxxxxxxxx...\" in record 1 is not a whole number of 0 or more."},
    };
    for (const Case &c : cases) {
        platform.clearRecords();
        const std::string path = c.name == "missing.dat" ? (dir / "nowhere" / "missing.dat").string() : file(c.name, c.text);
        import(t, path);
        EXPECT_EQ(lastMessage(), c.message) << c.name;
        EXPECT_EQ(grid(t), before) << c.name;
    }
    platform.clearRecords();
    import(t, file("many.dat", tooMany));
    ASSERT_FALSE(platform.balloons().empty());
    EXPECT_EQ(platform.balloons().back().text, "Data Error! Parameter number is more than 256.\n Check the data file.");
    EXPECT_EQ(grid(t), before);
    // 256 records still read: the 256th is not kept.
    import(t, file("full.dat", full));
    EXPECT_EQ(row(t, 254), (std::vector<std::string>{"255", "2", "3", "100"}));
    // A file that cannot be written is reported; nothing half-written is left.
    platform.clearRecords();
    platform.answerFileDialog((dir / "nowhere" / "out.dat").string());
    t.dispatch(fw::Notify::Clicked, SeqExport);
    EXPECT_EQ(lastMessage(), "Unable to open file");
    EXPECT_EQ(sends(), 0);
}

// Bad entries in the table and bad files: every bad number in a gain or shutter cell is either
// refused with its message before anything is sent or read as a number within the bounds; an
// import of a folder, a binary file or a missing file and an export into a place that cannot
// hold a file say "Unable to open file" or why the file cannot be read, leave the grid as it
// was and send nothing.
TEST_F(TriggerSequence, BadCellsAndBadFilesAreRefusedWithAMessageAndNeverSentOutOfBounds)
{
    start(1);
    CTriggerExtraDlg &t = table();
    for (int column : {2, 3}) {
        for (const std::string &text : badNumbers()) {
            SCOPED_TRACE(std::to_string(column) + " <- \"" + text + "\"");
            record(t, 0, 1, 5, 500);
            edit(t, 0, column, text);
            const int before = sends();
            const Mark m = mark();
            t.dispatch(fw::Notify::Clicked, SeqSet);
            if (sends() == before) {
                EXPECT_EQ(shownSince(m).size(), 1u);
                EXPECT_EQ(shownSince(m)[0], column == 2 ? "Unavailable Gain value" : "Unavailable shutter value");
            } else {
                const cam::TriggerRecord sent = view->m_pCamera->GetTriggerSequenceTable()[0];
                EXPECT_GE(sent.gain, 0);
                EXPECT_LE(sent.gain, 24);
                EXPECT_GE(sent.shutter, 20);
                EXPECT_LE(sent.shutter, 1000000);
            }
        }
    }
    record(t, 0, 1, 5, 500);
    const auto before = grid(t);
    const std::string binary = file("binary.dat", std::string("\x7f" "ELF\0\x01\xff\xfe", 8));
    const std::string regular = file("regular.dat", "1 1 1 100\n");
    struct Case {
        int button;
        std::string path, message;
    };
    const Case cases[] = {
        {SeqImport, dir.string(), "Unable to open file"},
        {SeqImport, (dir / "missing.dat").string(), "Unable to open file"},
        {SeqImport, binary, "The table file cannot be read. "},
        {SeqExport, regular + "/under-a-file.dat", "Unable to open file"},
        {SeqExport, "/proc/molvane-table.dat", "Unable to open file"},
        {SeqExport, dir.string(), "Unable to open file"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        const Mark m = mark(view->m_pCamera);
        platform.answerFileDialog(c.path);
        t.dispatch(fw::Notify::Clicked, c.button);
        const auto shown = shownSince(m);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].substr(0, c.message.size()), c.message);
        EXPECT_EQ(grid(t), before);
        EXPECT_EQ(callsSince(*view->m_pCamera, m, {Dispid::TriggerSequenceTable}), 0);
    }
    std::ifstream kept(regular);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "1 1 1 100\n");
    EXPECT_TRUE(std::filesystem::is_directory(dir));
}
