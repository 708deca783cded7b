/*
 * xwin.c - small X11 helper for bench/startup.sh.
 *
 * Built on the fly by startup.sh:  cc -O2 xwin.c $(pkg-config --cflags --libs x11) -ldl
 * (libXtst is loaded with dlopen, so only the X11 headers are needed).
 *
 *   xwin ready                  exit 0 when $DISPLAY accepts connections
 *   xwin list                   print viewable named windows: id, pid, title
 *   xwin run [options] -- CMD [ARGS...]
 *       --regex RE       window title to wait for (POSIX ERE, case-insensitive)
 *       --timeout MS     give up after MS (default 20000)
 *       --settle MS      wait MS after the window is viewable before sampling /proc (1000)
 *       --keys N         after settling, inject N digit key presses with XTest and
 *                        time how long the app needs to process them (burst)
 *       --key-interval MS  instead of a burst, type one key every MS ms and time
 *                        each key (injected -> 2nd _NET_WM_PING reply): median,
 *                        p95, max per-key latency
 *       --no-close       leave the app running (prints its pid; caller must kill it)
 *       --pidfile PATH   write the app's pid (= its session id) to PATH
 *       --before-close SH  run `sh -c SH` (with $WID, $APP_PID set) just before closing,
 *                        e.g. to take a screenshot
 *
 * "run" forks, puts the child in a new session (setsid) and execs CMD.  t0 is
 * taken immediately before fork().  The window is detected event-driven: the
 * helper watches SubstructureNotify on the root window plus Structure/Property
 * changes on every top-level window created after t0, and re-checks the
 * candidates (map_state == IsViewable and _NET_WM_NAME/WM_NAME matching RE)
 * whenever an event arrives, and at least every 20 ms.  Pre-existing windows
 * (the window manager's own) are never considered.
 * ttr_ms ("time to responsive") is when the second of two _NET_WM_PING round
 * trips, sent right after the window became viewable, came back: the app's
 * event loop has then handled the map/Expose, i.e. painted and answers input.
 *
 * Output: one line of key=value pairs on stdout, title last.
 *   status=ok|timeout|exited|error ttw_ms= ttr_ms= pid= wpid= rss_kib= hwm_kib=
 *   pss_kib= gl_rss_kib= tree_rss_kib= tree_nproc= cpu_ms= [keys...] close=wm|term|kill|none title=...
 */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <ctype.h>
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <regex.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static int ignore_xerror(Display *d, XErrorEvent *e)
{
    (void)d;
    (void)e;
    return 0; /* windows may vanish between query and use */
}

static Display *dpy;
static Window root;
static Atom a_net_wm_name, a_utf8, a_net_wm_pid, a_wm_protocols, a_wm_delete, a_net_wm_ping;

#define MAXW 8192
static Window tracked[MAXW];
static int ntracked;

static void track(Window w)
{
    for (int i = 0; i < ntracked; i++)
        if (tracked[i] == w)
            return;
    if (ntracked < MAXW)
        tracked[ntracked++] = w;
    XSelectInput(dpy, w, StructureNotifyMask | SubstructureNotifyMask | PropertyChangeMask);
}

static int get_title(Window w, char *buf, size_t n)
{
    Atom type;
    int fmt;
    unsigned long nitems, after;
    unsigned char *prop = NULL;
    buf[0] = 0;
    if (XGetWindowProperty(dpy, w, a_net_wm_name, 0, 1024, False, a_utf8, &type, &fmt, &nitems,
                           &after, &prop) == Success && prop && nitems > 0 && fmt == 8) {
        snprintf(buf, n, "%.*s", (int)nitems, (char *)prop);
        XFree(prop);
        return 1;
    }
    if (prop)
        XFree(prop);
    prop = NULL;
    if (XGetWindowProperty(dpy, w, XA_WM_NAME, 0, 1024, False, AnyPropertyType, &type, &fmt,
                           &nitems, &after, &prop) == Success && prop && nitems > 0 && fmt == 8) {
        snprintf(buf, n, "%.*s", (int)nitems, (char *)prop);
        XFree(prop);
        return 1;
    }
    if (prop)
        XFree(prop);
    return 0;
}

static long get_cardinal(Window w, Atom a)
{
    Atom type;
    int fmt;
    unsigned long nitems, after;
    unsigned char *prop = NULL;
    long v = -1;
    if (XGetWindowProperty(dpy, w, a, 0, 1, False, XA_CARDINAL, &type, &fmt, &nitems, &after,
                           &prop) == Success && prop && nitems == 1 && fmt == 32)
        v = (long)*(unsigned long *)prop;
    if (prop)
        XFree(prop);
    return v;
}

static int has_protocol(Window w, Atom p)
{
    Atom *protos = NULL;
    int n = 0, found = 0;
    if (XGetWMProtocols(dpy, w, &protos, &n)) {
        for (int i = 0; i < n; i++)
            if (protos[i] == p)
                found = 1;
        XFree(protos);
    }
    return found;
}

static Window scan(regex_t *re, char *title, size_t tn)
{
    for (int i = 0; i < ntracked; i++) {
        XWindowAttributes wa;
        if (!XGetWindowAttributes(dpy, tracked[i], &wa))
            continue;
        if (wa.map_state != IsViewable || wa.class == InputOnly)
            continue;
        if (!get_title(tracked[i], title, tn))
            continue;
        if (regexec(re, title, 0, NULL, 0) == 0)
            return tracked[i];
    }
    return 0;
}

/* Drain X events; returns 1 if anything happened. */
static int drain(void)
{
    int any = 0;
    while (XPending(dpy)) {
        XEvent ev;
        XNextEvent(dpy, &ev);
        any = 1;
        if (ev.type == CreateNotify && ev.xcreatewindow.parent == root &&
            !ev.xcreatewindow.override_redirect)
            track(ev.xcreatewindow.window);
    }
    return any;
}

static void wait_fd(int ms)
{
    if (XQLength(dpy) > 0)
        return;
    int fd = ConnectionNumber(dpy);
    fd_set fds;
    FD_ZERO(&fds);
    FD_SET(fd, &fds);
    struct timeval tv = {ms / 1000, (ms % 1000) * 1000};
    select(fd + 1, &fds, NULL, NULL, &tv);
}

/* ---- /proc helpers ---- */
static long status_kib(pid_t pid, const char *key)
{
    char path[64], line[256];
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    FILE *f = fopen(path, "r");
    if (!f)
        return -1;
    long v = -1;
    size_t kl = strlen(key);
    while (fgets(line, sizeof line, f))
        if (strncmp(line, key, kl) == 0 && line[kl] == ':') {
            v = strtol(line + kl + 1, NULL, 10);
            break;
        }
    fclose(f);
    return v;
}

/* proportional set size (shared pages divided among sharers), kB */
static long pss_kib(pid_t pid)
{
    char path[64], line[256];
    snprintf(path, sizeof path, "/proc/%d/smaps_rollup", (int)pid);
    FILE *f = fopen(path, "r");
    if (!f)
        return -1;
    long v = -1;
    while (fgets(line, sizeof line, f))
        if (strncmp(line, "Pss:", 4) == 0) {
            v = strtol(line + 4, NULL, 10);
            break;
        }
    fclose(f);
    return v;
}

/* part of the RSS that is mapped from Mesa/GL libraries (software GL under
 * Xvfb pulls in llvmpipe: libLLVM + swrast_dri, ~50 MiB), kB */
static long gl_rss_kib(pid_t pid)
{
    char path[64], line[512], cur[512] = "";
    snprintf(path, sizeof path, "/proc/%d/smaps", (int)pid);
    FILE *f = fopen(path, "r");
    if (!f)
        return -1;
    long sum = 0;
    while (fgets(line, sizeof line, f)) {
        if (isxdigit((unsigned char)line[0]) && strchr(line, '-') && strchr(line, ' ')) {
            char *p = strchr(line, '/');
            snprintf(cur, sizeof cur, "%s", p ? p : "");
        } else if (strncmp(line, "Rss:", 4) == 0) {
            if (strstr(cur, "libLLVM") || strstr(cur, "/dri/") || strstr(cur, "libGLX_mesa") ||
                strstr(cur, "libgallium") || strstr(cur, "libglapi") || strstr(cur, "libEGL_mesa"))
                sum += strtol(line + 4, NULL, 10);
        }
    }
    fclose(f);
    return sum;
}

/* utime+stime (all threads) in ms; session id via *sid; state via *state */
static long proc_cpu_ms(pid_t pid, long *sid, char *state)
{
    char path[64], buf[1024];
    snprintf(path, sizeof path, "/proc/%d/stat", (int)pid);
    FILE *f = fopen(path, "r");
    if (!f)
        return -1;
    size_t n = fread(buf, 1, sizeof buf - 1, f);
    fclose(f);
    buf[n] = 0;
    char *p = strrchr(buf, ')');
    if (!p)
        return -1;
    /* fields after comm: 3 state 4 ppid 5 pgrp 6 session ... 14 utime 15 stime */
    char st;
    long ppid, pgrp, session, tty, tpgid;
    unsigned long flags, minflt, cminflt, majflt, cmajflt, utime, stime;
    if (sscanf(p + 2, "%c %ld %ld %ld %ld %ld %lu %lu %lu %lu %lu %lu %lu", &st, &ppid, &pgrp,
               &session, &tty, &tpgid, &flags, &minflt, &cminflt, &majflt, &cmajflt, &utime,
               &stime) != 13)
        return -1;
    if (sid)
        *sid = session;
    if (state)
        *state = st;
    return (long)((utime + stime) * 1000.0 / sysconf(_SC_CLK_TCK));
}

/* processes (not zombies) in session sid: count, summed VmRSS; optional signal */
static int session_procs(pid_t sid, long *rss_sum, int sig)
{
    DIR *d = opendir("/proc");
    if (!d)
        return 0;
    struct dirent *e;
    int count = 0;
    long sum = 0;
    while ((e = readdir(d))) {
        if (!isdigit((unsigned char)e->d_name[0]))
            continue;
        pid_t p = (pid_t)atoi(e->d_name);
        long s = -1;
        char st = 0;
        if (proc_cpu_ms(p, &s, &st) < 0 || s != sid || st == 'Z')
            continue;
        count++;
        long r = status_kib(p, "VmRSS");
        if (r > 0)
            sum += r;
        if (sig)
            kill(p, sig);
    }
    closedir(d);
    if (rss_sum)
        *rss_sum = sum;
    return count;
}

static void reap(pid_t child, int *reaped)
{
    int st;
    if (!*reaped && waitpid(child, &st, WNOHANG) == child)
        *reaped = 1;
}

/* wait until no live process remains in session sid (child reaped as we go) */
static int wait_session_gone(pid_t sid, int *reaped, int ms)
{
    double end = now_ms() + ms;
    for (;;) {
        reap(sid, reaped);
        if (session_procs(sid, NULL, 0) == 0)
            return 1;
        if (now_ms() > end)
            return 0;
        usleep(10000);
    }
}

static void send_client_message(Window w, Atom type, long l0, long l1, long l2)
{
    XEvent ev;
    memset(&ev, 0, sizeof ev);
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = type;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = l0;
    ev.xclient.data.l[1] = l1;
    ev.xclient.data.l[2] = l2;
    XSendEvent(dpy, w, False, NoEventMask, &ev);
    XFlush(dpy);
}

/* _NET_WM_PING round trip: the reply arrives only after the client has read
 * (and, in practice, handled) every event queued before the ping. */
static double ping(Window w, long stamp, int timeout_ms)
{
    double t0 = now_ms();
    send_client_message(w, a_wm_protocols, (long)a_net_wm_ping, stamp, (long)w);
    while (now_ms() - t0 < timeout_ms) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == CreateNotify && ev.xcreatewindow.parent == root)
                track(ev.xcreatewindow.window);
            if (ev.type == ClientMessage && ev.xclient.message_type == a_wm_protocols &&
                (Atom)ev.xclient.data.l[0] == a_net_wm_ping && ev.xclient.data.l[1] == stamp)
                return now_ms();
        }
        wait_fd(5);
    }
    return -1;
}

static void clean_title(char *s)
{
    for (; *s; s++)
        if (*s == '\n' || *s == '\r' || *s == '\t')
            *s = ' ';
}

static int cmd_list(void)
{
    Window r, parent, *kids = NULL;
    unsigned int n = 0;
    /* walk two levels: top-level windows and their children (WM frames) */
    if (!XQueryTree(dpy, root, &r, &parent, &kids, &n))
        return 1;
    for (unsigned int i = 0; i < n; i++) {
        Window cand[64];
        int nc = 0;
        cand[nc++] = kids[i];
        Window *k2 = NULL;
        unsigned int n2 = 0;
        if (XQueryTree(dpy, kids[i], &r, &parent, &k2, &n2)) {
            for (unsigned int j = 0; j < n2 && nc < 64; j++)
                cand[nc++] = k2[j];
            if (k2)
                XFree(k2);
        }
        for (int c = 0; c < nc; c++) {
            XWindowAttributes wa;
            char title[1024];
            if (!XGetWindowAttributes(dpy, cand[c], &wa) || wa.map_state != IsViewable)
                continue;
            if (!get_title(cand[c], title, sizeof title))
                continue;
            clean_title(title);
            printf("0x%lx pid=%ld %dx%d title=%s\n", cand[c], get_cardinal(cand[c], a_net_wm_pid),
                   wa.width, wa.height, title);
        }
    }
    if (kids)
        XFree(kids);
    return 0;
}

static int cmp_double(const void *a, const void *b)
{
    double x = *(const double *)a, y = *(const double *)b;
    return (x > y) - (x < y);
}

typedef int (*fake_key_fn)(Display *, unsigned int, Bool, unsigned long);

static int cmd_run(int argc, char **argv)
{
    const char *re_s = ".";
    int timeout = 20000, settle = 1000, keys = 0, key_interval = 0, close_it = 1, i;
    const char *before_close = NULL, *pidfile = NULL;
    for (i = 0; i < argc; i++) {
        if (!strcmp(argv[i], "--")) {
            i++;
            break;
        } else if (!strcmp(argv[i], "--regex") && i + 1 < argc)
            re_s = argv[++i];
        else if (!strcmp(argv[i], "--timeout") && i + 1 < argc)
            timeout = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--settle") && i + 1 < argc)
            settle = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--keys") && i + 1 < argc)
            keys = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--pidfile") && i + 1 < argc)
            pidfile = argv[++i];
        else if (!strcmp(argv[i], "--key-interval") && i + 1 < argc)
            key_interval = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--before-close") && i + 1 < argc)
            before_close = argv[++i];
        else if (!strcmp(argv[i], "--no-close"))
            close_it = 0;
        else {
            fprintf(stderr, "xwin run: bad option %s\n", argv[i]);
            return 64;
        }
    }
    if (i >= argc) {
        fprintf(stderr, "xwin run: missing command\n");
        return 64;
    }
    regex_t re;
    if (regcomp(&re, re_s, REG_EXTENDED | REG_ICASE | REG_NOSUB)) {
        fprintf(stderr, "xwin run: bad regex\n");
        return 64;
    }

    /* replies to _NET_WM_PING go to the root with Structure- or SubstructureNotify
     * (toolkits differ), so listen to both */
    XSelectInput(dpy, root, SubstructureNotifyMask | StructureNotifyMask);
    XSync(dpy, False);

    double t0 = now_ms();
    pid_t child = fork();
    if (child < 0) {
        perror("fork");
        return 1;
    }
    if (child == 0) {
        setsid();
        close(ConnectionNumber(dpy));
        execvp(argv[i], argv + i);
        _exit(127);
    }

    if (pidfile) { /* lets the caller clean up if this helper gets killed */
        FILE *pf = fopen(pidfile, "w");
        if (pf) {
            fprintf(pf, "%d\n", (int)child);
            fclose(pf);
        }
    }

    int reaped = 0, child_exited_early = 0;
    char title[1024] = "";
    Window w = 0;
    double last_scan = 0, tw = -1;
    int dirty = 1;
    for (;;) {
        if (drain())
            dirty = 1;
        double t = now_ms();
        if (dirty || t - last_scan >= 20) {
            dirty = 0;
            last_scan = t;
            w = scan(&re, title, sizeof title);
            if (w) {
                tw = now_ms();
                break;
            }
        }
        if (!reaped) {
            reap(child, &reaped);
            if (reaped)
                child_exited_early = 1; /* may have handed off to a daemon: keep waiting */
        }
        if (reaped && session_procs(child, NULL, 0) == 0) {
            printf("status=exited ttw_ms=-1 pid=%d title=\n", (int)child);
            return 3;
        }
        if (t - t0 > timeout) {
            session_procs(child, NULL, SIGKILL);
            wait_session_gone(child, &reaped, 2000);
            printf("status=timeout ttw_ms=-1 pid=%d title=\n", (int)child);
            return 2;
        }
        wait_fd(5);
    }

    /* time to responsive: two _NET_WM_PING round trips right after the map;
     * the second reply means the event loop has handled the Expose/first paint */
    double tr = -1;
    if (has_protocol(w, a_net_wm_ping)) {
        double r1 = ping(w, 0x5eed11, timeout < 5000 ? timeout : 5000);
        if (r1 > 0)
            tr = ping(w, 0x5eed12, timeout < 5000 ? timeout : 5000);
    }

    long wpid = get_cardinal(w, a_net_wm_pid);
    pid_t mpid = child;
    if (child_exited_early && wpid > 0)
        mpid = (pid_t)wpid;

    /* settle, keep draining events */
    double ts = now_ms();
    while (now_ms() - ts < settle) {
        drain();
        wait_fd(20);
    }
    long rss = status_kib(mpid, "VmRSS"), hwm = status_kib(mpid, "VmHWM"), pss = pss_kib(mpid);
    long glrss = gl_rss_kib(mpid);
    long tree_rss = 0;
    int tree_n = session_procs(child, &tree_rss, 0);
    long cpu = proc_cpu_ms(mpid, NULL, NULL);

    printf("status=ok ttw_ms=%.1f ttr_ms=%.1f pid=%d wpid=%ld rss_kib=%ld hwm_kib=%ld pss_kib=%ld "
           "gl_rss_kib=%ld tree_rss_kib=%ld tree_nproc=%d cpu_ms=%ld",
           tw - t0, tr > 0 ? tr - t0 : -1.0, (int)child, wpid, rss, hwm, pss, glrss, tree_rss,
           tree_n, cpu);

    if (keys > 0) {
        void *h = dlopen("libXtst.so.6", RTLD_NOW);
        fake_key_fn fake = h ? (fake_key_fn)dlsym(h, "XTestFakeKeyEvent") : NULL;
        if (!fake) {
            printf(" keys=0 keys_error=no_libXtst");
        } else {
            XSetInputFocus(dpy, w, RevertToPointerRoot, CurrentTime);
            XSync(dpy, False);
            double tf = now_ms();
            while (now_ms() - tf < 300) {
                drain();
                wait_fd(20);
            }
            KeyCode kc[10];
            for (int k = 0; k < 10; k++)
                kc[k] = XKeysymToKeycode(dpy, XK_0 + (k + 1) % 10); /* 1..9,0 */
            int can_ping = has_protocol(w, a_net_wm_ping);
            long cpu0 = proc_cpu_ms(mpid, NULL, NULL);
            if (key_interval > 0) {
                /* paced typing: one key every key_interval ms; latency of each key =
                 * press/release injected -> 2nd ping reply */
                double *lat = calloc((size_t)keys, sizeof *lat);
                int nl = 0;
                double k0 = now_ms();
                for (int k = 0; k < keys && lat; k++) {
                    double ks = now_ms();
                    if (ks - k0 > 60000)
                        break; /* never run away */
                    fake(dpy, kc[k % 10], True, 0);
                    fake(dpy, kc[k % 10], False, 0);
                    XSync(dpy, False);
                    if (can_ping) {
                        double q1 = ping(w, 0x6000000 + 2 * k, 5000);
                        double q2 = q1 > 0 ? ping(w, 0x6000001 + 2 * k, 5000) : -1;
                        if (q2 > 0)
                            lat[nl++] = q2 - ks;
                    }
                    while (now_ms() - ks < key_interval) {
                        drain();
                        wait_fd(1);
                    }
                }
                double k1 = now_ms();
                long cpu1 = proc_cpu_ms(mpid, NULL, NULL);
                qsort(lat, (size_t)nl, sizeof *lat, cmp_double);
                printf(" keys=%d key_interval_ms=%d keys_lat_med_ms=%.1f keys_lat_p95_ms=%.1f "
                       "keys_lat_max_ms=%.1f keys_total_ms=%.1f keys_cpu_ms=%ld",
                       keys, key_interval, nl ? lat[nl / 2] : -1.0,
                       nl ? lat[(int)(0.95 * (nl - 1) + 0.5)] : -1.0, nl ? lat[nl - 1] : -1.0,
                       k1 - k0, cpu1 - cpu0);
                free(lat);
            } else {
                double k0 = now_ms();
                for (int k = 0; k < keys; k++) {
                    fake(dpy, kc[k % 10], True, 0);
                    fake(dpy, kc[k % 10], False, 0);
                }
                XSync(dpy, False);
                double k1 = now_ms();
                double p1 = -1, p2 = -1;
                if (can_ping) {
                    p1 = ping(w, 0x5eed01, 20000);
                    if (p1 > 0)
                        p2 = ping(w, 0x5eed02, 20000);
                }
                /* CPU idle: no CPU tick consumed for 200 ms; report time of last tick change */
                long last = proc_cpu_ms(mpid, NULL, NULL), c;
                double last_change = now_ms(), tstart = last_change;
                while (now_ms() - last_change < 200 && now_ms() - tstart < 20000) {
                    usleep(5000);
                    c = proc_cpu_ms(mpid, NULL, NULL);
                    if (c != last) {
                        last = c;
                        last_change = now_ms();
                    }
                    drain();
                }
                long cpu1 = proc_cpu_ms(mpid, NULL, NULL);
                printf(" keys=%d keys_sent_ms=%.1f keys_pong1_ms=%.1f keys_pong2_ms=%.1f "
                       "keys_cpuidle_ms=%.1f keys_cpu_ms=%ld rss_after_keys_kib=%ld",
                       keys, k1 - k0, p1 > 0 ? p1 - k0 : -1.0, p2 > 0 ? p2 - k0 : -1.0,
                       (last_change > k1 ? last_change : k1) - k0, cpu1 - cpu0,
                       status_kib(mpid, "VmRSS"));
            }
        }
    }

    if (before_close) {
        char buf[32];
        snprintf(buf, sizeof buf, "0x%lx", (unsigned long)w);
        setenv("WID", buf, 1);
        snprintf(buf, sizeof buf, "%d", (int)mpid);
        setenv("APP_PID", buf, 1);
        fflush(stdout);
        char *sh = NULL;
        if (asprintf(&sh, "exec 1>&2; %s", before_close) < 0)
            sh = NULL;
        if (!sh || system(sh) != 0)
            printf(" before_close=failed");
        free(sh);
    }

    const char *how = "none";
    if (close_it) {
        double tc = now_ms();
        if (has_protocol(w, a_wm_delete)) {
            send_client_message(w, a_wm_protocols, (long)a_wm_delete, CurrentTime, 0);
            how = "wm";
        } else {
            XDestroyWindow(dpy, w);
            XFlush(dpy);
            how = "destroy";
        }
        if (!wait_session_gone(child, &reaped, 3000)) {
            session_procs(child, NULL, SIGTERM);
            how = "term";
            if (!wait_session_gone(child, &reaped, 2000)) {
                session_procs(child, NULL, SIGKILL);
                how = "kill";
                wait_session_gone(child, &reaped, 2000);
            }
        }
        printf(" close=%s close_ms=%.1f", how, now_ms() - tc);
    } else {
        printf(" close=none");
    }
    clean_title(title);
    printf(" title=%s\n", title);
    fflush(stdout);
    return 0;
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: xwin ready|list|run [opts] -- cmd...\n");
        return 64;
    }
    dpy = XOpenDisplay(NULL);
    if (!dpy)
        return 1;
    if (!strcmp(argv[1], "ready"))
        return 0;
    XSetErrorHandler(ignore_xerror);
    root = DefaultRootWindow(dpy);
    a_net_wm_name = XInternAtom(dpy, "_NET_WM_NAME", False);
    a_utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    a_net_wm_pid = XInternAtom(dpy, "_NET_WM_PID", False);
    a_wm_protocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
    a_wm_delete = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    a_net_wm_ping = XInternAtom(dpy, "_NET_WM_PING", False);
    if (!strcmp(argv[1], "list"))
        return cmd_list();
    if (!strcmp(argv[1], "run"))
        return cmd_run(argc - 2, argv + 2);
    fprintf(stderr, "xwin: unknown command %s\n", argv[1]);
    return 64;
}
