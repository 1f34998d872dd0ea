/*
 * tavi: process mailboxes carried over a D-Bus message bus.
 *
 * Every mailbox is one bus connection. A message is a byte buffer whose first 4 bytes hold the
 * message number in host order; the buffer handed out by tavi_alloc/tavi_receive points at those
 * bytes. The bus is $TAVI_BUS_ADDRESS when set, else the system bus.
 *
 * The C API drives one mailbox per process, whose bus connection a thread of the library waits on
 * and serves (Id() questions, name changes, answers): tavi_get_fd turns readable only for a message
 * (or a warning of the library) waiting for the application. That thread never calls the
 * application: the warning callback runs inside the application's own calls. Without an open
 * mailbox (before tavi_init and tavi_create_mailbox, or after tavi_delete_mailbox) calls that take
 * a message free it, tavi_receive returns NULL, tavi_monitor 0, and tavi_get_fd -1 (after
 * tavi_delete_mailbox: the descriptor kept until tavi_exit). Programs that need several mailboxes
 * use the C++ class Sync::Platform::Mailbox (Mailbox.h) directly.
 */
#ifndef TAVI_H
#define TAVI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define TAVI_NO_ID 0xFFFFFFFFu      /* no mailbox */
#define TAVI_OWN_ID 0xFFF00000u     /* the calling process's own mailbox */
#define TAVI_ANY_SENDER 0xFFF11111u /* receive from any sender */
#define TAVI_MIN_MSG_SIZE 4u

typedef void (*tavi_warning_fn)(const char* text);

/* 0 on success. count is the number of mailboxes the process will create (1 for the daemon). */
int tavi_init(uint32_t count, uint32_t a, uint32_t b, uint32_t c, uint32_t d);
/* The new mailbox's id, or TAVI_NO_ID when the name is taken, too long or the bus is unreachable. */
uint32_t tavi_create_mailbox(const char* name, uint32_t flags);
void tavi_delete_mailbox(uint32_t id);
void tavi_exit(void);

/* A descriptor that is readable while a message waits and reports hang-up when the mailbox breaks. */
int tavi_get_fd(void);

/* A zero-filled message of size bytes (at least 4) whose first word is msgno; NULL on bad size. */
void* tavi_alloc(uint32_t size, uint32_t msgno);
/* Sends *msg to mailbox `to` as if from `from` (TAVI_OWN_ID: the own mailbox); *msg becomes NULL. */
void tavi_send(void** msg, uint32_t to, uint32_t from);
/* The oldest waiting message or NULL; never blocks. filter and timeout are accepted and ignored. */
void* tavi_receive(const uint32_t* filter, int32_t timeout, uint32_t from);
void tavi_free(void** msg);
uint32_t tavi_sender(const void* msg);
uint32_t tavi_size(const void* msg);

/* When mailbox pid has no owner (already, or later), *msg comes to the own mailbox once, sent by pid.
 * Takes the message (*msg becomes NULL). Returns a non-zero reference, 0 when msg is NULL. */
uint32_t tavi_monitor(uint32_t pid, void** msg);
void tavi_unmonitor(uint32_t ref);
/* Once a mailbox called name exists, *msg comes to the own mailbox once, sent by that mailbox. */
void tavi_locate_async(const char* name, void** msg, uint32_t from);

/* Where the library reports its own warnings; NULL restores syslog. */
void tavi_set_warning_callback(tavi_warning_fn fn);

#ifdef __cplusplus
}
#endif

#endif
