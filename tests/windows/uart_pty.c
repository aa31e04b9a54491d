/* SPDX-FileCopyrightText: 2026 Tavelo developers */
/* SPDX-License-Identifier: MIT */

/* LD_PRELOAD library for the Wine tests: makes a pseudo-terminal answer the
 * three modem-status requests that a real UART answers and a pty refuses.
 * Wine's serial driver asks them while it waits for input and gives up the
 * wait when they fail (the program then sees "I/O operation aborted" and its
 * port closes). Here the pty reports a UART with all its lines up, no line
 * errors and an empty transmitter. Every other request, and every request
 * on anything but a pty, goes to the real ioctl. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <linux/serial.h>
#include <stdarg.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>

/* Unix98 pty slaves: majors 136 to 143. */
static int is_pty(int fd)
{
    struct stat st;
    return fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136
           && major(st.st_rdev) <= 143;
}

int ioctl(int fd, unsigned long request, ...)
{
    static int (*real_ioctl)(int, unsigned long, ...);
    va_list ap;
    void *arg;

    va_start(ap, request);
    arg = va_arg(ap, void *);
    va_end(ap);
    if (!real_ioctl)
        real_ioctl = (int (*)(int, unsigned long, ...))dlsym(RTLD_NEXT, "ioctl");

    if (arg && is_pty(fd)) {
        switch (request) {
        case TIOCMGET:
            *(int *)arg = TIOCM_DTR | TIOCM_RTS | TIOCM_CTS | TIOCM_DSR | TIOCM_CD;
            return 0;
        case TIOCGICOUNT:
            memset(arg, 0, sizeof(struct serial_icounter_struct));
            return 0;
        case TIOCSERGETLSR:
            *(unsigned int *)arg = TIOCSER_TEMT;
            return 0;
        }
    }
    return real_ioctl(fd, request, arg);
}
