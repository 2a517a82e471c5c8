#ifndef QUILLON_TEST_SCREENSHOT_H
#define QUILLON_TEST_SCREENSHOT_H

// Saves the whole screen as a PNG file; returns false on failure.
bool SaveScreenshotPng(const char* path);

#endif
