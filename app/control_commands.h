#pragma once

// The commands quorlinctl sends, run on the GUI thread against what the main
// window shows. Each takes a request whose command and options the server
// has already matched against its dispatch table (control_server.cpp), and
// returns the whole reply.

#include "remote/remote_protocol.h"

class MainWindow;
class Settings;

struct ControlTarget {
    MainWindow* window = nullptr;
    Settings* dialog = nullptr;
};

// Connected or not; the model, the firmware text and the driver options.
remote::Reply runStatus(const ControlTarget& target, const remote::Request& request);
// Every control of the connected unit as NAME=VALUE in panel order, then the
// driver options; with the option "json", one JSON object with the ranges.
remote::Reply runList(const ControlTarget& target, const remote::Request& request);
// NAME=VALUE for each name given.
remote::Reply runGet(const ControlTarget& target, const remote::Request& request);
// Checks every NAME=VALUE given, then makes each change as the user's own.
remote::Reply runSet(const ControlTarget& target, const remote::Request& request);
// The connected model's presets: list, save NAME, load NAME, delete NAME,
// export NAME FILE, import FILE [NAME] (FILE absolute, made so by quorlinctl).
// load refuses to switch 48V on unless --allow-phantom is given; save and
// import replace an existing preset only with --replace.
remote::Reply runPreset(const ControlTarget& target, const remote::Request& request);
