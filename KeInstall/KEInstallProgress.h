#pragma once
// The progress callback that the main frame hands to the install worker.
#include "KeInstall/KEInstallThread.h"
#include "KeInstall/KeBase.h"

// Each report: stores done, then total, in the install settings' counters;
// sends "done,  total\n" to the debugger and the log; and raises
// EVENT_POST_TO_UI carrying EVENT_PROGRESS_CHANGED on the frame's event parent
// (the frame itself when it has none), which posts it to the UI thread. Safe
// on any thread; the frame must outlive the worker that calls it.
ProgressCallback MakeInstallProgress(KeBase* frame);
