/*
 * kolm: the name service, over the same bus as the mailboxes (see tavi.h).
 */
#ifndef KOLM_H
#define KOLM_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define KOLM_SUBSCRIBE_RSP 0x01900000u       /* u32 subscriptionId at 4, u64 tag at 8; 16 bytes */
#define KOLM_SERVICE_ADDED_IND 0x01900001u   /* u32 subscriptionId at 4; sender: the owner; 8 bytes */
#define KOLM_SERVICE_REMOVED_IND 0x01900002u /* u32 subscriptionId at 4; sender: the lost owner */
#define KOLM_SUBSCRIBE_RSP_SIZE 16u
#define KOLM_SERVICE_IND_SIZE 8u

/* 0 on success; non-zero when the name is taken or mailboxId is not a mailbox of this process. */
int kolm_publish(const char* service, const char* domain, uint32_t mailboxId, const char* qualifier);
int kolm_unpublish(const char* service, const char* domain, uint32_t mailboxId, const char* qualifier);
/* Answers at once with KOLM_SUBSCRIBE_RSP to mailbox `from`, then added/removed indications. */
int kolm_subscribe(const char* service, const char* domain, uint64_t tag, uint32_t from);
int kolm_unsubscribe(uint32_t subscriptionId, uint32_t from);

#ifdef __cplusplus
}
#endif

#endif
