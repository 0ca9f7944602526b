// molvane-bench tree FILE [--fake-camera]: the node tree page on the Qt platform, filled from
// a GenICam description (carried by a simulated camera, or served by arv-fake-gv-camera-0.8),
// with the user-interface time of the fill and of each visibility switch.
#pragma once

int runTreeBench(int argc, char **argv);
