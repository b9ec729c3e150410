#pragma once
// Message pumping for test threads that wait for something to happen.

#include <windows.h>

#include <functional>

namespace tarnix::testhost {

// Pumps the calling thread's queue (translate and dispatch; sent messages are handled) until
// predicate is true or deadlineMs have passed. Returns the predicate's last value. A WM_QUIT
// taken off the queue is put back and ends the pumping.
bool PumpUntil(const std::function<bool()>& predicate, DWORD deadlineMs);

// Pumps for ms milliseconds.
void PumpFor(DWORD ms);

}  // namespace tarnix::testhost
