/* Key to gone: presses a key with xdotool (real X input, XTest) and prints
 * the milliseconds from just before it until the window is unmapped or
 * destroyed, or "never" after the timeout.
 *   key_to_gone WINDOW TIMEOUT_MS [KEY]
 */
#include <X11/Xlib.h>
#include <poll.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>

extern char** environ;

static double now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

/* An X error (the window already gone) is not fatal here. */
static int ignore_error(Display* d, XErrorEvent* e) {
  (void)d;
  (void)e;
  return 0;
}

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: key_to_gone WINDOW TIMEOUT_MS [KEY]\n");
    return 2;
  }
  const Window w = (Window)strtoul(argv[1], NULL, 0);
  const double timeout = atof(argv[2]);
  char* key = argc > 3 ? argv[3] : "a";
  Display* d = XOpenDisplay(NULL);
  if (!d) {
    fprintf(stderr, "no display\n");
    return 2;
  }
  XSetErrorHandler(ignore_error);
  XSelectInput(d, w, StructureNotifyMask);
  XWindowAttributes a;
  if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable) {
    printf("not-shown\n");
    return 1;
  }
  XSync(d, False);
  char* args[] = {"xdotool", "key", key, NULL};
  pid_t pid;
  const double t0 = now_ms();
  if (posix_spawnp(&pid, "xdotool", NULL, NULL, args, environ) != 0) {
    fprintf(stderr, "cannot run xdotool\n");
    return 2;
  }
  struct pollfd p = {ConnectionNumber(d), POLLIN, 0};
  for (;;) {
    while (XPending(d)) {
      XEvent e;
      XNextEvent(d, &e);
      if ((e.type == UnmapNotify && e.xunmap.window == w) || (e.type == DestroyNotify && e.xdestroywindow.window == w)) {
        printf("%.1f\n", now_ms() - t0);
        waitpid(pid, NULL, 0);
        return 0;
      }
    }
    const double left = timeout - (now_ms() - t0);
    if (left <= 0) break;
    poll(&p, 1, (int)left + 1);
  }
  printf("never\n");
  waitpid(pid, NULL, 0);
  return 1;
}
