// Serial ports (RS232, and USB virtual serial ports): 8 data bits, no parity, one stop bit, no
// flow control, DTR and RTS on, 4096-byte queues. Reads wait up to the read timeout for the first
// byte and then return with what has arrived. The handle is a plain value: copies of a record that
// holds it refer to the same open port, and only serialClose releases it. One thread at a time.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct SerialPort {
    std::intptr_t handle = -1;    // -1 while closed
    unsigned readTimeoutMs = 5000;
};

// Opens the port by its name (COM7 on Windows, a device path such as /dev/ttyUSB0 on POSIX) at the
// given speed. False when the port does not exist, is busy or cannot be set up; port stays closed.
bool serialOpen(SerialPort& port, const std::string& name, int baudRate);

// Lets what was written go out (a second at most), drops what is left to read, and closes the port.
// Harmless on a closed port.
void serialClose(SerialPort& port);

// Bytes written, 0 on failure.
int serialWrite(SerialPort& port, const char* data, int length);

// Reads up to length bytes: returns at once with what is queued, otherwise waits up to the read
// timeout for the first byte. 0 when nothing arrived in time or on failure.
int serialRead(SerialPort& port, char* data, int length);

// Bytes waiting in the input queue (0 on failure).
int serialQueued(SerialPort& port);

// Sets how long serialRead waits for a first byte.
bool serialSetReadTimeout(SerialPort& port, unsigned ms);

}  // namespace platform
