// molvane-bench tree FILE: the node tree page on the Qt platform, filled from a GenICam
// description, with the user-interface time of the fill and of each visibility switch.
#pragma once

int runTreeBench(int argc, char **argv);
