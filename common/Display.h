#pragma once
// Screen DPI and the UI scale that follows from it.

// The screen's logical DPI: the mean of the horizontal and vertical values,
// truncated.
int GetScreenDpi();
// 1.0 plus 0.25 for every whole 24 DPI above 96; never below 1.0.
double GetScreenScale();

// The two rules above on given values.
int AverageDpi(int dpiX, int dpiY);
double ScaleForDpi(int dpi);
