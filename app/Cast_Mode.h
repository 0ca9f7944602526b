// How one camera list line is to be opened: one record per line.
#pragma once

#include <string>

struct Cast_Mode {
    std::string strCamera;  // the text of the list line it belongs to
    int bOpened = 0;        // 1 while a camera window has the camera open
    int nCastMode = 0;      // 0 unicast, 1 multicast
    int nAccessMode = 0;    // 0 unicast control, 1 multicast control
};
