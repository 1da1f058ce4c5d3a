/* xpixel X Y [X Y ...]: prints "R G B" of each screen pixel, one line each.
 * The end-to-end scripts look at a few pixels many times a second; a full
 * screen grab per look (ImageMagick's import) costs a third of a second, this
 * reads just the pixel. Exit status 1 when the display cannot be opened or a
 * point lies off the screen.
 * xpixel --until-blue X Y MS: looks at one pixel every 2 ms until it shows the
 * skin's blue, then prints the system's raw monotonic clock in seconds (the clock
 * Wine stamps its trace lines with); exit status 1 after MS milliseconds
 * without it. xpixel --now prints that clock alone. The start-up benchmark
 * times first frames with these. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

/* The pixel as 8-bit channels; 0 when it cannot be read. */
static int read_pixel(Display *dpy, Window root, int x, int y, int rgb[3])
{
    XImage *img = XGetImage(dpy, root, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!img) return 0;
    unsigned long p = XGetPixel(img, 0, 0);
    /* A 24-bit TrueColor screen (Xvfb's): the masks say where each channel is. */
    unsigned long masks[3] = {img->red_mask, img->green_mask, img->blue_mask};
    for (int c = 0; c < 3; ++c) {
        unsigned long m = masks[c];
        int shift = 0, bits = 0;
        while (m && !(m & 1)) { m >>= 1; ++shift; }
        while (m & 1) { m >>= 1; ++bits; }
        unsigned long v = (p & masks[c]) >> shift;
        rgb[c] = bits >= 8 ? (int)(v >> (bits - 8)) : (int)(v * 255 / ((1ul << bits) - 1));
    }
    XDestroyImage(img);
    return 1;
}

static double monotonic_seconds(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC_RAW, &now);
    return (double)now.tv_sec + now.tv_nsec / 1e9;
}

static int until_blue(Display *dpy, Window root, int x, int y, long timeout_ms)
{
    const double end = monotonic_seconds() + timeout_ms / 1000.0;
    const struct timespec pause = {0, 2 * 1000 * 1000};
    for (;;) {
        int rgb[3];
        const double seen = monotonic_seconds();
        /* The same test as the scripts' is_blue. */
        if (read_pixel(dpy, root, x, y, rgb) && rgb[2] > 200 && rgb[0] < 150) {
            printf("%.3f\n", seen);
            return 0;
        }
        if (seen > end) return 1;
        nanosleep(&pause, NULL);
    }
}

int main(int argc, char **argv)
{
    if (argc == 2 && strcmp(argv[1], "--now") == 0) {
        printf("%.3f\n", monotonic_seconds());
        return 0;
    }
    if (argc == 5 && strcmp(argv[1], "--until-blue") == 0) {
        Display *dpy = XOpenDisplay(NULL);
        if (!dpy) {
            fprintf(stderr, "xpixel: cannot open display\n");
            return 1;
        }
        int status = until_blue(dpy, DefaultRootWindow(dpy), atoi(argv[2]), atoi(argv[3]), atol(argv[4]));
        XCloseDisplay(dpy);
        return status;
    }
    if (argc < 3 || argc % 2 == 0) {
        fprintf(stderr, "usage: xpixel X Y [X Y ...] | xpixel --until-blue X Y MS | xpixel --now\n");
        return 2;
    }
    Display *dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fprintf(stderr, "xpixel: cannot open display\n");
        return 1;
    }
    Window root = DefaultRootWindow(dpy);
    XWindowAttributes attr;
    XGetWindowAttributes(dpy, root, &attr);
    int status = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        int x = atoi(argv[i]), y = atoi(argv[i + 1]);
        if (x < 0 || y < 0 || x >= attr.width || y >= attr.height) {
            printf("\n");
            status = 1;
            continue;
        }
        int rgb[3];
        if (!read_pixel(dpy, root, x, y, rgb)) {
            printf("\n");
            status = 1;
            continue;
        }
        printf("%d %d %d\n", rgb[0], rgb[1], rgb[2]);
    }
    XCloseDisplay(dpy);
    return status;
}
