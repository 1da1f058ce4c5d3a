/* xpixel X Y [X Y ...]: prints "R G B" of each screen pixel, one line each.
 * The end-to-end scripts look at a few pixels many times a second; a full
 * screen grab per look (ImageMagick's import) costs a third of a second, this
 * reads just the pixel. Exit status 1 when the display cannot be opened or a
 * point lies off the screen. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char **argv)
{
    if (argc < 3 || argc % 2 == 0) {
        fprintf(stderr, "usage: xpixel X Y [X Y ...]\n");
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
        XImage *img = XGetImage(dpy, root, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!img) {
            printf("\n");
            status = 1;
            continue;
        }
        unsigned long p = XGetPixel(img, 0, 0);
        /* A 24-bit TrueColor screen (Xvfb's): the masks say where each channel is. */
        int shift[3], bits[3];
        unsigned long masks[3] = {img->red_mask, img->green_mask, img->blue_mask};
        int rgb[3];
        for (int c = 0; c < 3; ++c) {
            unsigned long m = masks[c];
            shift[c] = 0;
            while (m && !(m & 1)) { m >>= 1; ++shift[c]; }
            bits[c] = 0;
            while (m & 1) { m >>= 1; ++bits[c]; }
            unsigned long v = (p & masks[c]) >> shift[c];
            rgb[c] = bits[c] >= 8 ? (int)(v >> (bits[c] - 8)) : (int)(v * 255 / ((1ul << bits[c]) - 1));
        }
        printf("%d %d %d\n", rgb[0], rgb[1], rgb[2]);
        XDestroyImage(img);
    }
    XCloseDisplay(dpy);
    return status;
}
