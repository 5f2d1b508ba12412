#pragma once

// The log file a user can turn on: when the environment variable
// QUORLIN_LOG_FILE names a file, the process's standard output and standard
// error (the device driver class's lines) and every Qt log message (qDebug and
// the others, as UTF-8) are appended to it from then on. This is how the log
// of the Windows program, which has no console, is read. Call it first thing
// in main(). Returns true when the file is in use.
bool startLogFileFromEnvironment();
