// How every part reaches the application, its main frame and the process-wide lists.
#pragma once

#include <list>

class CMolvaneApp;
class CMainFrame;
class CMolvaneView;
class CCameraInfoDlg;
class CHistoDlg;
class CHorizonDlg;
class CVerticalDlg;

CMolvaneApp *theApp();
CMainFrame *mainFrame();  // null before the frame exists and after it closed
// The camera info pane's form view; null while the pane does not exist.
CCameraInfoDlg *cameraInfoDlg();
// The camera view of the main frame's active camera window; null when there is none.
CMolvaneView *activeCameraView();

// The open camera views, in order of opening.
extern std::list<CMolvaneView *> g_listCameraView;
// The analysis windows, null while closed.
extern CHistoDlg *g_pHistoDlg;
extern CHorizonDlg *g_pHorizonDlg;
extern CVerticalDlg *g_pVerticalDlg;

namespace fw {
class Form;
struct Rect;
}
// The camera info pane's form (image format, width, height, ...), null while it does not exist.
fw::Form *cameraInfoForm();

#include <string>
// Adds a line to the event log viewer while it is open with its logging on.
void logEvent(const std::string &line);
// The main window's inside, panes and bars included, and the camera info pane's client width (0 while they do not exist).
fw::Rect mainClientRect();
int cameraInfoClientWidth();
