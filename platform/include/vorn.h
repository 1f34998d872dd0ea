/*
 * sync-vorn: a time-stamped store of fixed-size entries that keeps the newest ones.
 *
 * A store holds at most maxEntries entries of entrySize bytes each; adding to a full store drops the
 * oldest entry. Each entry is stamped with the wall-clock time of its addition. Iteration runs from
 * the oldest entry to the newest; an iterator stays valid until the next sync_vorn_add.
 */
#ifndef VORN_H
#define VORN_H

#include <stddef.h>
#include <stdint.h>
#include <time.h>

#ifdef __cplusplus
extern "C" {
#endif

#define SYNC_VORN_TS_STR_SIZE 30u /* room for any text of sync_vorn_ts_2_str, NUL included */

typedef struct sync_vorn sync_vorn_t;
typedef const struct sync_vorn_entry* sync_vorn_iter_t; /* NULL: past the last entry */

/* A new store, or NULL when maxEntries or entrySize is 0. */
sync_vorn_t* sync_vorn_create(uint32_t maxEntries, uint32_t entrySize);
/* Frees the store; *store becomes NULL. NULL and *store NULL are ignored. */
void sync_vorn_destroy(sync_vorn_t** store);
/* Adds size bytes (at most entrySize; a shorter entry is zero-padded), stamped now. 0 on success. */
int sync_vorn_add(sync_vorn_t* store, const void* data, uint32_t size);
/* Non-zero when the store holds no entry (or is NULL). */
int sync_vorn_empty(const sync_vorn_t* store);
/* The oldest entry, NULL when empty. */
sync_vorn_iter_t sync_vorn_first(const sync_vorn_t* store);
/* The entry after it, NULL after the newest (or for an iterator that is not the store's). */
sync_vorn_iter_t sync_vorn_next(const sync_vorn_t* store, sync_vorn_iter_t it);
/* Copies up to size bytes of the entry into data (may be NULL) and its stamp into *stamp (may be
 * NULL). Returns the number of bytes copied, -1 for a bad iterator. */
int sync_vorn_get(const sync_vorn_t* store, sync_vorn_iter_t it, void* data, uint32_t size,
                  struct timespec* stamp);
/* Formats stamp as local time "%Y-%m-%d %H:%M:%S.mmm" into text (size bytes, truncated to fit,
 * always NUL-terminated when size > 0). Returns text. */
char* sync_vorn_ts_2_str(const struct timespec* stamp, char* text, size_t size);

#ifdef __cplusplus
}
#endif

#endif
