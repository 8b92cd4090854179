#pragma once
// Routes OpenDocument to the desktop session's handler (QDesktopServices).
void InstallDesktopOpenHandler();
