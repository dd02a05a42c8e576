// Serial ports on Windows through the communications functions: 8N1, no flow control, DTR and RTS
// on, and timeouts under which a read returns at once with what has arrived or waits for the
// first byte.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include "platform/serial_port.h"

#include <windows.h>

#include <algorithm>

namespace platform {
namespace {

constexpr DWORD kQueueBytes = 4096;
constexpr unsigned kDrainLimitMs = 1000;

HANDLE handleOf(const SerialPort& port) { return reinterpret_cast<HANDLE>(port.handle); }

// Read interval and multiplier at MAXDWORD with a constant in between: a read returns at once with
// what is queued, else waits up to the constant for the first byte. That form needs a constant
// above zero; no wait at all is the interval-only form. Writes may take 10 ms a byte plus 1 ms.
bool applyTimeouts(HANDLE h, unsigned readMs) {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    if (readMs > 0) {
        timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
        timeouts.ReadTotalTimeoutConstant = readMs < MAXDWORD ? readMs : MAXDWORD - 1;
    }
    timeouts.WriteTotalTimeoutMultiplier = 10;
    timeouts.WriteTotalTimeoutConstant = 1;
    return SetCommTimeouts(h, &timeouts) != 0;
}

}  // namespace

bool serialOpen(SerialPort& port, const std::string& name, int baudRate) {
    serialClose(port);
    if (name.empty() || baudRate <= 0) return false;
    const std::string device = "\\\\.\\" + name;
    HANDLE h = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;

    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    bool ok = GetCommState(h, &dcb) != 0;
    if (ok) {
        dcb.BaudRate = static_cast<DWORD>(baudRate);
        dcb.ByteSize = 8;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
        // The rest of what the port held is not kept where it would alter the bytes: replies in
        // the packed binary form carry any byte value, so a port left with XON/XOFF flow control,
        // null stripping, parity replacement or abort-on-error by an earlier program would
        // swallow or change some of them, or stall the output after a stray XOFF.
        dcb.fBinary = TRUE;
        dcb.fParity = FALSE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        dcb.fDsrSensitivity = FALSE;
        dcb.fErrorChar = FALSE;
        dcb.fNull = FALSE;
        dcb.fAbortOnError = FALSE;
        ok = SetCommState(h, &dcb) != 0;
    }
    ok = ok && SetupComm(h, kQueueBytes, kQueueBytes) != 0;
    ok = ok && applyTimeouts(h, 5000);
    if (!ok) {
        CloseHandle(h);
        return false;
    }
    port.handle = reinterpret_cast<std::intptr_t>(h);
    port.readTimeoutMs = 5000;
    return true;
}

void serialClose(SerialPort& port) {
    if (port.handle < 0) return;
    HANDLE h = handleOf(port);
    // The last command written (releasing the instrument, aborting a sweep) must still reach it:
    // the purge below also drops output the driver still holds, so let that drain first, for a
    // second at most.
    for (unsigned waited = 0; waited < kDrainLimitMs; waited += 5) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(h, &errors, &status) || status.cbOutQue == 0) break;
        Sleep(5);
    }
    PurgeComm(h, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    CloseHandle(h);
    port.handle = -1;
}

int serialWrite(SerialPort& port, const char* data, int length) {
    if (port.handle < 0 || length <= 0) return 0;
    DWORD written = 0;
    if (!WriteFile(handleOf(port), data, static_cast<DWORD>(length), &written, nullptr)) return 0;
    return static_cast<int>(written);
}

int serialRead(SerialPort& port, char* data, int length) {
    if (port.handle < 0 || length <= 0) return 0;
    HANDLE h = handleOf(port);
    // Never more than is queued, or one byte when nothing is: Windows returns at once with a shorter
    // read under these timeouts, but Wine waits out the whole timeout for the rest of a longer one.
    auto queued = [h] {
        DWORD errors = 0;
        COMSTAT status{};
        return ClearCommError(h, &errors, &status) ? status.cbInQue : 0;
    };
    int total = 0;
    for (int round = 0; round < 2 && total < length; ++round) {
        DWORD ask = queued();
        if (ask == 0) {
            if (total > 0) break;
            ask = 1;  // wait up to the read timeout for the first byte
        }
        ask = std::min<DWORD>(ask, static_cast<DWORD>(length - total));
        DWORD got = 0;
        if (!ReadFile(h, data + total, ask, &got, nullptr) || got == 0) break;
        total += static_cast<int>(got);
    }
    return total;
}

int serialQueued(SerialPort& port) {
    if (port.handle < 0) return 0;
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(handleOf(port), &errors, &status)) return 0;
    return static_cast<int>(status.cbInQue);
}

bool serialSetReadTimeout(SerialPort& port, unsigned ms) {
    if (port.handle < 0 || !applyTimeouts(handleOf(port), ms)) return false;
    port.readTimeoutMs = ms;
    return true;
}

}  // namespace platform
