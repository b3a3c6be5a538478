/* Preloaded into Wine's 32-bit loader when it runs under qemu-i386, to
 * stand in for what the missing kernel support would give Wine.
 *
 * Address space.  Wine's own preloader keeps the address ranges that
 * Windows programs expect free before anything else is mapped; qemu cannot
 * run it, and without it Wine finds those ranges taken and gives up.  This
 * library holds what it can of those ranges and hands them to Wine through
 * the loader's wine_main_preload_info, so that Wine maps into them as it
 * does after its preloader.
 *
 * Segments.  qemu-i386 keeps one global descriptor table for all threads,
 * where the kernel gives each thread its own thread-local entries: a thread
 * that reloads %fs or %gs from such an entry (Wine does in every signal
 * handler) gets the base of whichever thread set it last.  The local
 * descriptor table is shared on Linux too, so both are moved there: the
 * free thread-local entries are filled, which makes Wine fall back to one
 * local entry per thread for %fs, and every thread's C library %gs is given
 * a local entry of its own below 512, the entries Wine leaves to the C
 * library when %gs is a local one. */
#define _GNU_SOURCE
#include <asm/ldt.h>
#include <dlfcn.h>
#include <pthread.h>
#include <semaphore.h>
#include <signal.h>
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

/* ---- Address space ---- */

struct preload_area {
  void* address;
  size_t size;
};

/* Defined by Wine's loader, which reads it once ntdll starts. */
extern struct preload_area* wine_main_preload_info;

enum { most_areas = 64 };
static struct preload_area held[most_areas + 1]; /* ends with an empty row */
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
  if (got != MAP_FAILED) munmap(got, size); /* placed elsewhere: part is taken */
  if (size <= 0x100000) return;
  char* middle = from + ((size / 2) & ~(size_t)0xffff);
  hold(from, middle);
  hold(middle, to);
}

/* ---- Segments ---- */

enum {
  library_tls_entry = 6, /* the C library's thread-local GDT entry */
  first_local = 1,       /* local entries for %gs: 1 to 511 */
  local_count = 512,
};

static unsigned char local_taken[local_count];
static pthread_mutex_t local_lock = PTHREAD_MUTEX_INITIALIZER;
static pthread_mutex_t creating = PTHREAD_MUTEX_INITIALIZER;
static pthread_key_t local_key;
static int (*real_pthread_create)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

static uint32_t thread_base(void) {
  uint32_t self;
  __asm__ volatile("movl %%gs:0, %0" : "=r"(self)); /* the C library's thread pointer */
  return self;
}

static void load_gs(unsigned selector) { __asm__ volatile("movw %w0, %%gs" : : "q"(selector)); }

static void describe(struct user_desc* d, unsigned entry, uint32_t base) {
  *d = (struct user_desc){0};
  d->entry_number = entry;
  d->base_addr = base;
  d->limit = 0xfffff;
  d->seg_32bit = 1;
  d->limit_in_pages = 1;
  d->useable = 1;
}

static void release_local(void* entry) {
  pthread_mutex_lock(&local_lock);
  local_taken[(uintptr_t)entry] = 0;
  pthread_mutex_unlock(&local_lock);
}

/* Gives the calling thread's %gs a local entry of its own; 0 when none is
 * left, and %gs stays as it is. */
static int move_gs_to_local(void) {
  unsigned entry = 0;
  pthread_mutex_lock(&local_lock);
  for (unsigned i = first_local; i < local_count && entry == 0; ++i)
    if (!local_taken[i]) {
      local_taken[i] = 1;
      entry = i;
    }
  pthread_mutex_unlock(&local_lock);
  if (entry == 0) return 0;
  struct user_desc d;
  describe(&d, entry, thread_base());
  if (syscall(SYS_modify_ldt, 1, &d, sizeof d) != 0) {
    release_local((void*)(uintptr_t)entry);
    return 0;
  }
  load_gs((entry << 3) | 7);
  pthread_setspecific(local_key, (void*)(uintptr_t)entry);
  return 1;
}

struct start {
  void* (*routine)(void*);
  void* argument;
  sigset_t mask;
  sem_t moved;
};

static void* begin(void* p) {
  struct start* s = p;
  void* (*routine)(void*) = s->routine;
  void* argument = s->argument;
  sigset_t mask = s->mask;
  move_gs_to_local();
  sem_post(&s->moved); /* s belongs to the creating thread, which now goes on */
  pthread_sigmask(SIG_SETMASK, &mask, NULL);
  return routine(argument);
}

/* The C library builds a new thread's %gs from its creator's: the creator
 * goes back to the shared entry, set to its own base, for the creation, with
 * signals blocked (their return would reload %gs), and waits until the new
 * thread has left the shared entry. */
int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*routine)(void*),
                   void* argument) {
  unsigned own;
  __asm__ volatile("movw %%gs, %w0" : "=q"(own));
  if (!(own & 4)) return real_pthread_create(thread, attributes, routine, argument);

  struct start s;
  s.routine = routine;
  s.argument = argument;
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &s.mask);
  sem_init(&s.moved, 0, 0);
  pthread_mutex_lock(&creating);
  struct user_desc d;
  describe(&d, library_tls_entry, thread_base());
  syscall(SYS_set_thread_area, &d);
  load_gs((library_tls_entry << 3) | 3);
  const int result = real_pthread_create(thread, attributes, begin, &s);
  load_gs(own);
  if (result == 0) sem_wait(&s.moved);
  pthread_mutex_unlock(&creating);
  sem_destroy(&s.moved);
  pthread_sigmask(SIG_SETMASK, &s.mask, NULL);
  return result;
}

/* Fills the free thread-local GDT entries, so that Wine takes local ones. */
static void fill_thread_local_entries(void) {
  for (int i = 0; i < 3; ++i) {
    struct user_desc d;
    describe(&d, (unsigned)-1, 0);
    d.limit = 0;
    if (syscall(SYS_set_thread_area, &d) != 0) break;
  }
}

__attribute__((constructor)) static void stand_in_for_the_preloader(void) {
  hold((char*)0x00010000, (char*)0x00110000); /* DOS area */
  hold((char*)0x00110000, (char*)0x68000000); /* programs and their DLLs */
  hold((char*)0x7f000000, (char*)0x82000000); /* shared user data, top-down heaps */
  wine_main_preload_info = held;

  *(void**)&real_pthread_create = dlsym(RTLD_NEXT, "pthread_create");
  pthread_key_create(&local_key, release_local);
  fill_thread_local_entries();
  move_gs_to_local();

  /* Wine's helper processes are native 64-bit ones: keep this out of them. */
  unsetenv("LD_PRELOAD");
}
