#pragma once

#include <QTemporaryDir>

// Gives a test process its own runtime directory (where device sockets live),
// data and config directories, and switches QStandardPaths to test mode, so a
// test never touches a user's files or a running unit. Create it first thing
// in main() or initTestCase() and keep it alive for the whole test.
class TestEnvironment {
public:
    TestEnvironment();

    QString root() const { return m_root.path(); }
    QString runtimeDirectory() const; // $XDG_RUNTIME_DIR

private:
    QTemporaryDir m_root;
};
