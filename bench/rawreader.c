/* SPDX-FileCopyrightText: 2026 Tavelo developers */
/* SPDX-License-Identifier: MIT */

/* The latency floor: waits on a pty with poll(), reads what arrives and
 * writes one line per byte to stderr. Nothing can answer a byte faster. */
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: rawreader DEVICE\n");
        return 2;
    }
    int fd = open(argv[1], O_RDWR | O_NOCTTY);
    if (fd < 0) {
        perror(argv[1]);
        return 1;
    }
    fprintf(stderr, "ready\n");
    struct pollfd p = {fd, POLLIN, 0};
    char buf[256];
    for (;;) {
        if (poll(&p, 1, -1) < 0)
            return 1;
        ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0)
            return 0;
        for (ssize_t i = 0; i < n; ++i) {
            char line[3] = {buf[i], '\n', 0};
            write(2, line, 2);
        }
    }
}
