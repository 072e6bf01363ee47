#pragma once

class CapturePlatform;

// The program's start-up and event loop: style, regional formats, message boxes, the
// data module, then the main window shown maximised until the program is told to end.
// `cameras` defaults to the system's video devices.
int runDesk(int argc, char** argv, CapturePlatform* cameras = nullptr);
