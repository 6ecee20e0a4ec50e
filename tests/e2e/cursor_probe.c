/* Prints "visible" or "hidden": whether the X server's current cursor image
 * has any opaque pixel (XFixes). Used by the end-to-end tests. */
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <stdio.h>

int main(void) {
  Display* d = XOpenDisplay(NULL);
  if (!d) return 2;
  int event, error;
  if (!XFixesQueryExtension(d, &event, &error)) return 2;
  XFixesCursorImage* c = XFixesGetCursorImage(d);
  if (!c) return 2;
  int opaque = 0;
  for (int i = 0; i < c->width * c->height; ++i) opaque |= (c->pixels[i] >> 24) != 0;
  printf("%s\n", opaque ? "visible" : "hidden");
  XFree(c);
  XCloseDisplay(d);
  return 0;
}
