#pragma once
// The progress callback that the main frame hands to the install worker, the
// outcome callable that reports a failure, and the progress page's texts.
#include "KeInstall/KEInstallThread.h"
#include "KeInstall/KeBase.h"

// Each report: stores done, then total, in the install settings' counters;
// sends "done,  total\n" to the debugger and the log; and raises
// EVENT_POST_TO_UI carrying EVENT_PROGRESS_CHANGED on the frame's event parent
// (the frame itself when it has none), which posts it to the UI thread. Safe
// on any thread; the frame must outlive the worker that calls it.
ProgressCallback MakeInstallProgress(KeBase* frame);

// A run that did not succeed raises EVENT_POST_TO_UI carrying
// EVENT_INSTALL_FAILED, with the reason as the last argument, on the same
// target as the progress reports; a success raises nothing (the final
// progress report says it). Same thread rules as MakeInstallProgress.
OutcomeCallback MakeInstallOutcome(KeBase* frame);

// Percentage of the payload unpacked, 0 to 100. Nothing to unpack counts as
// all of it, so a payload of 0 bytes shows 100 % rather than no number.
double ProgressPercent(unsigned long long done, unsigned long long total);
// The bar's value: the percentage truncated toward zero.
int ProgressBarValue(unsigned long long done, unsigned long long total);
// "正在安装，请不要关闭 37.5%": the label under the bar.
SkinUI::CUiString FormatProgressLabel(unsigned long long done, unsigned long long total);

// What the progress page shows for an ended run (an UnzipResult); empty for
// success.
const wchar_t* InstallFailureText(int result);
