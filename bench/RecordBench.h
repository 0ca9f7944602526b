// molvane-bench record: the AVI recorder against OpenCV's single-thread VideoWriter.
#pragma once

// Runs with the arguments after "record"; returns the process exit status.
int runRecordBench(int argc, char **argv);
