// The library's own report of a failed platform call: the thread's system
// error goes to the error manager unless an error is already pending (a
// deeper layer's, which says more), and the caller's place is added to its
// locations. Internal to the library.
#pragma once

void v_ReportSystemError(char const* location, unsigned line);
