/* Loaded into the real game with LD_PRELOAD by tools/measure_present.sh:
 * counts the frames it presents and, after PRESENT_SKIP frames, writes to
 * PRESENT_OUT the process's CPU time (every thread, user and system) and the
 * wall time the next PRESENT_FRAMES frames took: "frames cpu_s wall_s". */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <time.h>

static double cpu_seconds(void)
{
    struct rusage r;
    getrusage(RUSAGE_SELF, &r);
    return (double)(r.ru_utime.tv_sec + r.ru_stime.tv_sec) + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

static double wall_seconds(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + t.tv_nsec / 1e9;
}

static long env_long(const char* name, long fallback)
{
    const char* v = getenv(name);
    return v ? atol(v) : fallback;
}

void SDL_RenderPresent(void* renderer)
{
    static void (*real)(void*);
    static long frames;
    static double cpu0, wall0;
    if (!real)
        real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
    real(renderer);
    const long skip = env_long("PRESENT_SKIP", 120), count = env_long("PRESENT_FRAMES", 600);
    ++frames;
    if (frames == skip) {
        cpu0 = cpu_seconds();
        wall0 = wall_seconds();
    } else if (frames == skip + count) {
        FILE* f = fopen(getenv("PRESENT_OUT"), "w");
        if (f) {
            fprintf(f, "%ld %.4f %.4f\n", count, cpu_seconds() - cpu0, wall_seconds() - wall0);
            fclose(f);
        }
    }
}
