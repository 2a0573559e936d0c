// signal_pipe.h - SIGTERM, SIGINT and SIGHUP turned into a byte on a pipe,
// for the Linux front ends that wait in poll(): the handler only writes,
// and the loop sees the read end become readable within its turn.
//
//   if (!CatchEndSignals()) ...;   // before the loop
//   pollfd fd = {EndSignalFd(), POLLIN, 0};
#pragma once

bool CatchEndSignals();  // makes the pipe and installs the handlers; false when the pipe cannot be made
int EndSignalFd();       // the read end, or -1 before CatchEndSignals
bool EndSignalled();     // true once a signal has come (reads what it wrote); never waits
bool EndSignalCame();    // true once a signal has come, however often it was read since
void ReleaseEndSignals();  // restores the default handlers and closes the pipe
