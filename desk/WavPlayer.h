#pragma once

#include <QString>

#include <chrono>

// Plays a WAV file and returns when it has finished, failed or run past the timeout,
// so a shut-down never hangs on the sound. Returns true when it played to the end;
// a missing file, a broken file or no audio device give false without a message.
bool playWavAndWait(const QString& path, std::chrono::milliseconds timeout,
                    const char* sinkFactory = "autoaudiosink");
