// How every part reaches the application, its main frame and the process-wide lists.
#pragma once

#include <list>

class CMolvaneApp;
class CMainFrame;
class CMolvaneView;
class CHistoDlg;
class CHorizonDlg;
class CVerticalDlg;

CMolvaneApp *theApp();
CMainFrame *mainFrame();  // null before the frame exists and after it closed

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

// The camera view of the main frame's active camera window, null without one.
CMolvaneView *activeCameraView();
// The main window's inside, panes and bars included, and the camera info pane's client width (0 while they do not exist).
fw::Rect mainClientRect();
int cameraInfoClientWidth();
