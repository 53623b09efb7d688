/* An example converter module: takes USMARC records (kind letter "U") and
 * makes records of the kind named by the key "rodzaj" of its configuration
 * section (default "A"). Every field is carried over but the working fields
 * (keys holding "#"); the field "DOK_TYP" gets the section's name, so that
 * the catalogue can tell which converter made the record.
 *
 * Built as a shared library; the client loads it with the entries
 * "initialize" and "translate" of ConverterModuleApi.h.
 */
#include "text/ConverterModuleApi.h"

#include <stdio.h>
#include <string.h>

#if defined(__GNUC__)
#define EXPORT __attribute__((visibility("default")))
#else
#define EXPORT
#endif

static char g_kind[64] = "A";
static char g_section[256] = "";

/* Copies [p, p + n) into host memory as a velt_text; 0 when memory is short. */
static int copy_text(const velt_host* host, const char* p, size_t n, velt_text* out) {
    char* block = (char*)host->alloc(host->host_data, n);
    if (!block) return 0;
    if (n) memcpy(block, p, n);
    out->bytes = block;
    out->length = n;
    return 1;
}

static void trim(char* s) {
    size_t n = strlen(s);
    while (n && (s[n - 1] == '\n' || s[n - 1] == '\r' || s[n - 1] == ' ')) s[--n] = 0;
}

/* Reads "rodzaj" from [section] of an INI file. */
EXPORT int initialize(const char* config_file, const char* section, velt_report_fn report,
                      void* report_data, const velt_host* host) {
    char line[1024], wanted[300];
    int inside = 0;
    FILE* f;
    if (!host || host->abi != VELT_CONVERTER_ABI) {
        report(report_data, "Niezgodna wersja interfejsu konwertera");
        return 1;
    }
    f = fopen(config_file, "r");
    if (!f) {
        char message[1200];
        snprintf(message, sizeof message, "Konwerter: nie mo\xBF" "na odczyta\xE6 pliku %s", config_file);
        report(report_data, message);
        return 1;
    }
    snprintf(g_section, sizeof g_section, "%s", section);
    snprintf(wanted, sizeof wanted, "[%s]", section);
    strcpy(g_kind, "A");
    while (fgets(line, sizeof line, f)) {
        trim(line);
        if (line[0] == '[') {
            inside = strcmp(line, wanted) == 0;
        } else if (inside && strncmp(line, "rodzaj=", 7) == 0 && line[7]) {
            snprintf(g_kind, sizeof g_kind, "%.63s", line + 7);
        }
    }
    fclose(f);
    return 0;
}

EXPORT int translate(const velt_record_list* input, velt_record_list* output, velt_report_fn report,
                     void* report_data, const velt_host* host) {
    size_t i, k, n = 0;
    velt_record* records = (velt_record*)host->alloc(host->host_data, sizeof(velt_record) * (input->count + 1));
    if (!records) return 1;
    output->records = records;
    output->count = 0;
    for (i = 0; i < input->count; ++i) {
        const velt_record* in = &input->records[i];
        velt_record* out = &records[n];
        size_t kept = 0;
        if (in->kind.length == 0 || in->kind.bytes[0] != 'U') {
            char message[200];
            snprintf(message, sizeof message, "Pomini\xEAto rekord %u: to nie USMARC", (unsigned)(i + 1));
            report(report_data, message);
            continue;
        }
        out->fields = (velt_field*)host->alloc(host->host_data, sizeof(velt_field) * (in->field_count + 1));
        if (!out->fields || !copy_text(host, g_kind, strlen(g_kind), &out->kind)) return 1;
        for (k = 0; k < in->field_count; ++k) {
            const velt_field* f = &in->fields[k];
            if (f->key.length && memchr(f->key.bytes, '#', f->key.length)) continue;
            if (!copy_text(host, f->key.bytes, f->key.length, &out->fields[kept].key) ||
                !copy_text(host, f->value.bytes, f->value.length, &out->fields[kept].value))
                return 1;
            out->fields[kept].readonly = f->readonly;
            ++kept;
        }
        if (!copy_text(host, "DOK_TYP", 7, &out->fields[kept].key) ||
            !copy_text(host, g_section, strlen(g_section), &out->fields[kept].value))
            return 1;
        out->fields[kept].readonly = 0;
        out->field_count = kept + 1;
        output->count = ++n;
    }
    return 0;
}
