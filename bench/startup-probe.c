// SPDX-License-Identifier: GPL-3.0-or-later
/* Starts a program and reports, in milliseconds from the moment it was started, when its
 * first top-level window was mapped and when it first drew into one (X DAMAGE), and how much
 * processor time all its threads had used by then (which other load on the machine barely
 * changes).
 *
 *   startup-probe TIMEOUT_MS PROGRAM [ARGUMENTS...]
 *
 * Prints "map <ms> paint <ms> cpu <ms>" and ends the program again. Exit status 1 on a
 * timeout.
 */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

/* The processor time of every thread of `pid` so far, from /proc/PID/task/TID/schedstat. */
static double cpuMs(pid_t pid)
{
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/task", (int)pid);
    DIR* tasks = opendir(path);
    if (!tasks)
        return -1;
    double total = 0;
    struct dirent* task;
    while ((task = readdir(tasks)) != NULL) {
        if (task->d_name[0] == '.')
            continue;
        char statPath[400];
        snprintf(statPath, sizeof statPath, "%s/%s/schedstat", path, task->d_name);
        FILE* stat = fopen(statPath, "r");
        if (!stat)
            continue;
        unsigned long long ns = 0;
        if (fscanf(stat, "%llu", &ns) == 1)
            total += (double)ns / 1e6;
        fclose(stat);
    }
    closedir(tasks);
    return total;
}

static double elapsedMs(const struct timespec* from)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)(now.tv_sec - from->tv_sec) * 1e3 + (double)(now.tv_nsec - from->tv_nsec) / 1e6;
}

int main(int argc, char* argv[])
{
    if (argc < 3) {
        fprintf(stderr, "usage: %s TIMEOUT_MS PROGRAM [ARGUMENTS...]\n", argv[0]);
        return 2;
    }
    const double timeoutMs = atof(argv[1]);
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "no X display\n");
        return 2;
    }
    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        fprintf(stderr, "the X server has no DAMAGE extension\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    struct timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t child = fork();
    if (child == 0) {
        /* The program's own output would mix with the figures. */
        const int devNull = open("/dev/null", O_WRONLY);
        if (devNull >= 0) {
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
        }
        execvp(argv[2], argv + 2);
        _exit(127);
    }

    double mapped = -1, painted = -1, cpu = -1;
    struct pollfd fd = {ConnectionNumber(display), POLLIN, 0};
    while (painted < 0 && elapsedMs(&start) < timeoutMs) {
        if (!XPending(display)) {
            poll(&fd, 1, 5);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify && event.xcreatewindow.parent == root) {
            /* Watch every new top-level window from its creation on, so no drawing is missed. */
            XDamageCreate(display, event.xcreatewindow.window, XDamageReportNonEmpty);
        } else if (event.type == MapNotify && mapped < 0) {
            mapped = elapsedMs(&start);
        } else if (event.type == damageEvent + XDamageNotify) {
            painted = elapsedMs(&start);
            cpu = cpuMs(child);
        }
    }

    kill(child, SIGTERM);
    waitpid(child, NULL, 0);
    XCloseDisplay(display);
    if (painted < 0) {
        fprintf(stderr, "no window drawn within %.0f ms\n", timeoutMs);
        return 1;
    }
    printf("map %.1f paint %.1f cpu %.1f\n", mapped, painted, cpu);
    return 0;
}
