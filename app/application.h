#pragma once

// The start-up routine: one instance at a time, the translation for the
// system locale, the settings dialog, the main window and the tray icon, and
// the event loop. Returns the process exit code: 0 when another instance is
// already running, -1 when the instance segment cannot be created, otherwise
// the event loop's.
int runApplication(int argc, char* argv[]);
