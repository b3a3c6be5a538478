/* Preloaded into Wine's 32-bit loader when it runs under qemu-i386.
 *
 * Wine's own preloader keeps the address ranges that Windows programs expect
 * free before anything else is mapped; qemu cannot run it, and without it
 * Wine finds those ranges taken and gives up.  This library does the same
 * job from inside the process: it holds what it can of those ranges and
 * hands them to Wine through the loader's wine_main_preload_info, so that
 * Wine maps into them as it does after its preloader. */
#define _GNU_SOURCE
#include <stddef.h>
#include <stdlib.h>
#include <sys/mman.h>

struct preload_area {
  void* address;
  size_t size;
};

/* Defined by Wine's loader, which reads it once ntdll starts. */
extern struct preload_area* wine_main_preload_info;

enum { most_areas = 64 };
static struct preload_area held[most_areas + 1];  /* ends with an empty row */
static int held_count;

/* Holds every free part of [from, to) that is at least 1 MiB, in 64 KiB
 * steps (Wine's allocation granularity). */
static void hold(char* from, char* to) {
  if (to <= from || held_count == most_areas) return;
  const size_t size = (size_t)(to - from);
  void* got = mmap(from, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (got == (void*)from) {
    struct preload_area* last = held_count > 0 ? &held[held_count - 1] : NULL;
    if (last != NULL && (char*)last->address + last->size == from) {
      last->size += size;
    } else {
      held[held_count].address = from;
      held[held_count].size = size;
      ++held_count;
    }
    return;
  }
  if (got != MAP_FAILED) munmap(got, size);  /* placed elsewhere: part is taken */
  if (size <= 0x100000) return;
  char* middle = from + ((size / 2) & ~(size_t)0xffff);
  hold(from, middle);
  hold(middle, to);
}

__attribute__((constructor)) static void reserve(void) {
  hold((char*)0x00010000, (char*)0x00110000);  /* DOS area */
  hold((char*)0x00110000, (char*)0x68000000);  /* programs and their DLLs */
  hold((char*)0x7f000000, (char*)0x82000000);  /* shared user data, top-down heaps */
  wine_main_preload_info = held;
  /* Wine's helper processes are native 64-bit ones: keep this out of them. */
  unsetenv("LD_PRELOAD");
}
