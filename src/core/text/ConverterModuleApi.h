/* The plain C interface between the catalogue client and an external
 * converter module: a shared library that turns records of one format into
 * records of another (for example MARC records from a Z39.50 server into the
 * catalogue's own record kinds). docs/converter-modules.md describes it in
 * full; this header is all a module needs to include.
 *
 * Texts are Windows-1250 bytes with an explicit length (no terminating zero
 * is promised and none is needed). Nothing of C++ crosses the interface.
 * Every block of memory a module hands back to the client comes from the
 * client's alloc callback and is freed by the client.
 */
#ifndef VELT_CONVERTER_MODULE_API_H
#define VELT_CONVERTER_MODULE_API_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The version of this interface; velt_host.abi carries it. */
#define VELT_CONVERTER_ABI 1

/* Shows a message (Windows-1250, zero-terminated) to the user. */
typedef void (*velt_report_fn)(void* report_data, const char* message);

typedef struct velt_text {
    const char* bytes;
    size_t length;
} velt_text;

typedef struct velt_field {
    velt_text key;   /* field key, e.g. "245Z.1.1.1.1" or "DOK_IDO" */
    velt_text value; /* current value */
    int readonly;    /* 1: the user may not edit the field */
} velt_field;

typedef struct velt_record {
    velt_text kind; /* record kind; the first character is the kind letter */
    velt_field* fields;
    size_t field_count;
} velt_record;

typedef struct velt_record_list {
    velt_record* records;
    size_t count;
} velt_record_list;

/* The client's services, given to both entries. */
typedef struct velt_host {
    unsigned abi; /* VELT_CONVERTER_ABI */
    void* host_data;
    /* A block the client will own and free; NULL when memory is short. */
    void* (*alloc)(void* host_data, size_t size);
    /* Gives a block from alloc back early (the module need not). */
    void (*release)(void* host_data, void* block);
} velt_host;

/* Called once after loading. config_file is the full name of the client's
 * configuration file and section the name of the module's section in it.
 * Returns 0 when the module is ready; otherwise it has reported why and the
 * client does not use it. */
typedef int (*velt_initialize_fn)(const char* config_file, const char* section,
                                  velt_report_fn report, void* report_data, const velt_host* host);

/* Converts the input records. The client sets *output to no records before
 * the call; the module fills it with memory from host->alloc: the array of
 * records, each record's array of fields and every text. Returns 0 on
 * success; otherwise it has reported why and the client discards the output.
 * The input stays the client's and is valid during the call only. */
typedef int (*velt_translate_fn)(const velt_record_list* input, velt_record_list* output,
                                 velt_report_fn report, void* report_data, const velt_host* host);

/* The two entries a module exports, by these names. */
#define VELT_CONVERTER_INITIALIZE "initialize"
#define VELT_CONVERTER_TRANSLATE "translate"

#ifdef __cplusplus
}
#endif

#endif
