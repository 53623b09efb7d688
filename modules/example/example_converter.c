/* An example converter module: takes USMARC records (kind letter "U") and
 * makes records of the kind named by the key "rodzaj" of its configuration
 * section (default "A").
 *
 * With "tryb=katalog" in the section it makes catalogue records of them: the
 * MARC fields the catalogue's books keep (020 ISBN, 100 main entry, 245
 * title, 250 edition, 260 or 264 imprint, 300 extent, 490 series, 5XX notes,
 * 505 contents a part an occurrence, 6XX subjects as 650, 7XX added entries
 * as 700, 080 UDC, the language from 041 or 008) under the catalogue's keys,
 * their subfields without ISBD's closing punctuation and without "^9" and
 * "^0" (the catalogue's own links); the leader, the control fields and the
 * indicators stay behind. Without it every field is carried over but the
 * working fields (keys holding "#"). Either way the field "DOK_TYP" gets the
 * section's name, so that the catalogue can tell which converter made the
 * record.
 *
 * Built as a shared library; the client loads it with the entries
 * "initialize" and "translate" of ConverterModuleApi.h.
 */
#include "text/ConverterModuleApi.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#if defined(__GNUC__)
#define EXPORT __attribute__((visibility("default")))
#else
#define EXPORT
#endif

static char g_kind[64] = "A";
static char g_section[256] = "";
static int g_catalogue = 0; /* "tryb=katalog" */

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
    g_catalogue = 0;
    while (fgets(line, sizeof line, f)) {
        trim(line);
        if (line[0] == '[') {
            inside = strcmp(line, wanted) == 0;
        } else if (inside && strncmp(line, "rodzaj=", 7) == 0 && line[7]) {
            snprintf(g_kind, sizeof g_kind, "%.63s", line + 7);
        } else if (inside && strncmp(line, "tryb=", 5) == 0) {
            g_catalogue = strcmp(line + 5, "katalog") == 0;
        }
    }
    fclose(f);
    return 0;
}

/* --- MARC to catalogue ---------------------------------------------------- */

/* The fields of one output record, in local memory until they are copied. */
typedef struct out_field {
    char* key;
    char* value;
} out_field;

typedef struct out_record {
    out_field* fields;
    size_t count, capacity;
    int failed; /* memory ran short */
} out_record;

static void add_field(out_record* r, const char* key, const char* value, size_t value_length) {
    out_field* f;
    if (r->failed || value_length == 0) return;
    if (r->count == r->capacity) {
        size_t capacity = r->capacity ? r->capacity * 2 : 32;
        out_field* grown = (out_field*)realloc(r->fields, capacity * sizeof(out_field));
        if (!grown) {
            r->failed = 1;
            return;
        }
        r->fields = grown;
        r->capacity = capacity;
    }
    f = &r->fields[r->count];
    f->key = (char*)malloc(strlen(key) + 1);
    f->value = (char*)malloc(value_length + 1);
    if (!f->key || !f->value) {
        free(f->key);
        free(f->value);
        r->failed = 1;
        return;
    }
    strcpy(f->key, key);
    memcpy(f->value, value, value_length);
    f->value[value_length] = 0;
    ++r->count;
}

static void free_record(out_record* r) {
    size_t i;
    for (i = 0; i < r->count; ++i) {
        free(r->fields[i].key);
        free(r->fields[i].value);
    }
    free(r->fields);
}

/* A growing text in local memory. */
typedef struct text_buf {
    char* bytes;
    size_t length, capacity;
    int failed;
} text_buf;

static void put(text_buf* t, const char* p, size_t n) {
    if (t->failed) return;
    if (t->length + n + 1 > t->capacity) {
        size_t capacity = (t->length + n + 1) * 2;
        char* grown = (char*)realloc(t->bytes, capacity);
        if (!grown) {
            t->failed = 1;
            return;
        }
        t->bytes = grown;
        t->capacity = capacity;
    }
    memcpy(t->bytes + t->length, p, n);
    t->length += n;
    t->bytes[t->length] = 0;
}

/* [p, p + n) without blanks and ISBD's closing marks ("/", ":", ";", "=",
 * ",") at its end, nor blanks at its start. */
static void clean(const char** p, size_t* n) {
    while (*n && **p == ' ') ++*p, --*n;
    while (*n) {
        char c = (*p)[*n - 1];
        if (c == ' ' || c == '/' || c == ':' || c == ';' || c == '=' || c == ',') --*n;
        else break;
    }
}

/* The subfields of a "^a...^b..." value whose codes are in wanted (all but
 * 9 and 0 when wanted is NULL), each as "^" code and its cleaned text,
 * separated by blanks; plain leaves the codes out (texts joined by blanks). */
static void subfields(const char* v, size_t n, const char* wanted, int plain, text_buf* out) {
    size_t i = 0;
    while (i < n) {
        size_t start, end;
        char code;
        const char* text;
        size_t length;
        if (v[i] != '^' || i + 1 >= n) {
            /* Text before the first marker: a subfield of its own ("a"). */
            code = 'a';
            start = i;
        } else {
            code = v[i + 1];
            start = i + 2;
        }
        end = start;
        while (end < n && v[end] != '^') ++end;
        text = v + start;
        length = end - start;
        clean(&text, &length);
        i = end;
        if (!length || code == '9' || code == '0' || (wanted && !strchr(wanted, code))) continue;
        if (out->length) put(out, " ", 1);
        if (!plain) {
            put(out, "^", 1);
            put(out, &code, 1);
        }
        put(out, text, length);
    }
}

/* The parts of an input key "TTTP.1.1.N.1": its tag, part letter and occurrence. */
static int read_key(const velt_text* key, char tag[4], char* part, unsigned* occurrence) {
    const char* k = key->bytes;
    size_t n = key->length, i;
    unsigned occ = 0;
    if (n < 12 || k[4] != '.' || memcmp(k + 4, ".1.1.", 5) != 0) return 0;
    memcpy(tag, k, 3);
    tag[3] = 0;
    *part = k[3];
    for (i = 9; i < n && k[i] >= '0' && k[i] <= '9' && occ < 100000; ++i) occ = occ * 10 + (unsigned)(k[i] - '0');
    *occurrence = occ;
    return i + 2 == n && k[i] == '.' && k[i + 1] == '1';
}

static void data_key(char* key, size_t size, const char* tag, unsigned occurrence) {
    snprintf(key, size, "%sZ.1.1.%u.1", tag, occurrence);
}

/* One USMARC record as a catalogue record. */
static void marc_to_catalogue(const velt_record* in, out_record* out) {
    unsigned isbn = 0, series = 0, notes = 0, contents = 0, subjects = 0, added = 0, udc = 0;
    int imprint = 0, language = 0;
    size_t k;
    char key[64];
    for (k = 0; k < in->field_count; ++k) {
        const velt_field* f = &in->fields[k];
        char tag[4], part;
        unsigned occurrence;
        text_buf t = {NULL, 0, 0, 0};
        const char* v = f->value.bytes;
        size_t n = f->value.length;
        if (!read_key(&f->key, tag, &part, &occurrence) || part != 'Z') continue;
        if (strcmp(tag, "008") == 0) {
            /* Positions 35 to 37: the language, when the 041 does not say it. */
            if (!language && n >= 38 && v[35] >= 'a' && v[35] <= 'z' && v[36] >= 'a' && v[36] <= 'z' &&
                v[37] >= 'a' && v[37] <= 'z') {
                char lang[6] = {'^', 'a', v[35], v[36], v[37], 0};
                add_field(out, "041Z.1.1.1.1", lang, 5);
                language = 1;
            }
            continue;
        }
        if (strcmp(tag, "041") == 0) {
            subfields(v, n, "a", 0, &t);
            if (t.length >= 5) {
                size_t i;
                /* The first language only, as the catalogue keeps one. */
                for (i = 2; i < t.length && t.bytes[i] != ' '; ++i) {}
                if (language) {
                    for (i = 0; i < out->count; ++i)
                        if (strcmp(out->fields[i].key, "041Z.1.1.1.1") == 0) out->fields[i].value[0] = 0;
                }
                add_field(out, "041Z.1.1.1.1", t.bytes, i < t.length ? i : t.length);
                language = 1;
            }
        } else if (strcmp(tag, "020") == 0) {
            /* The number alone: a qualifier such as "(pbk.)" stays behind. */
            subfields(v, n, "a", 1, &t);
            if (t.length) {
                size_t i = 0;
                while (i < t.length && t.bytes[i] != ' ') ++i;
                data_key(key, sizeof key, "020", ++isbn);
                {
                    text_buf a = {NULL, 0, 0, 0};
                    put(&a, "^a", 2);
                    put(&a, t.bytes, i);
                    if (!a.failed) add_field(out, key, a.bytes, a.length);
                    else out->failed = 1;
                    free(a.bytes);
                }
            }
        } else if (strcmp(tag, "100") == 0 || strcmp(tag, "110") == 0 || strcmp(tag, "111") == 0) {
            subfields(v, n, "abcdnq", 0, &t);
            add_field(out, "100Z.1.1.1.1", t.bytes, t.length);
        } else if (strcmp(tag, "245") == 0) {
            subfields(v, n, "abcnp", 0, &t);
            add_field(out, "245Z.1.1.1.1", t.bytes, t.length);
        } else if (strcmp(tag, "250") == 0) {
            subfields(v, n, "ab", 0, &t);
            add_field(out, "250Z.1.1.1.1", t.bytes, t.length);
        } else if ((strcmp(tag, "260") == 0 || strcmp(tag, "264") == 0) && !imprint) {
            subfields(v, n, "abc", 0, &t);
            if (t.length) imprint = 1;
            add_field(out, "260Z.1.1.1.1", t.bytes, t.length);
        } else if (strcmp(tag, "300") == 0) {
            subfields(v, n, "abce", 0, &t);
            add_field(out, "300Z.1.1.1.1", t.bytes, t.length);
        } else if (strcmp(tag, "490") == 0) {
            subfields(v, n, "av", 0, &t);
            data_key(key, sizeof key, "490", ++series);
            add_field(out, key, t.bytes, t.length);
        } else if (strcmp(tag, "505") == 0) {
            /* A part an occurrence: the parts are separated by " -- ". */
            size_t from = 0;
            subfields(v, n, NULL, 1, &t);
            while (t.bytes && from < t.length) {
                const char* at = strstr(t.bytes + from, " -- ");
                size_t end = at ? (size_t)(at - t.bytes) : t.length;
                const char* p = t.bytes + from;
                size_t length = end - from;
                clean(&p, &length);
                if (length) {
                    data_key(key, sizeof key, "505", ++contents);
                    add_field(out, key, p, length);
                }
                from = at ? end + 4 : t.length;
            }
        } else if (tag[0] == '5') {
            subfields(v, n, NULL, 1, &t);
            data_key(key, sizeof key, "500", ++notes);
            add_field(out, key, t.bytes, t.length);
        } else if (strcmp(tag, "600") == 0 || strcmp(tag, "610") == 0 || strcmp(tag, "611") == 0 ||
                   strcmp(tag, "630") == 0 || strcmp(tag, "650") == 0 || strcmp(tag, "651") == 0) {
            subfields(v, n, NULL, 0, &t);
            data_key(key, sizeof key, "650", ++subjects);
            add_field(out, key, t.bytes, t.length);
        } else if (strcmp(tag, "700") == 0 || strcmp(tag, "710") == 0 || strcmp(tag, "711") == 0) {
            subfields(v, n, "abcdnq", 0, &t);
            data_key(key, sizeof key, "700", ++added);
            add_field(out, key, t.bytes, t.length);
        } else if (strcmp(tag, "080") == 0) {
            subfields(v, n, "a", 0, &t);
            data_key(key, sizeof key, "080", ++udc);
            add_field(out, key, t.bytes, t.length);
        }
        if (t.failed) out->failed = 1;
        free(t.bytes);
    }
}

/* The catalogue record of one USMARC record into host memory. */
static int catalogue_record(const velt_record* in, velt_record* out, const velt_host* host) {
    out_record r = {NULL, 0, 0, 0};
    size_t i, kept = 0;
    int ok = 1;
    marc_to_catalogue(in, &r);
    if (r.failed) ok = 0;
    out->fields = ok ? (velt_field*)host->alloc(host->host_data, sizeof(velt_field) * (r.count + 1)) : NULL;
    if (!out->fields || !copy_text(host, g_kind, strlen(g_kind), &out->kind)) ok = 0;
    for (i = 0; ok && i < r.count; ++i) {
        /* A value emptied by a later field is left out. */
        if (!r.fields[i].value[0]) continue;
        if (!copy_text(host, r.fields[i].key, strlen(r.fields[i].key), &out->fields[kept].key) ||
            !copy_text(host, r.fields[i].value, strlen(r.fields[i].value), &out->fields[kept].value))
            ok = 0;
        out->fields[kept].readonly = 0;
        ++kept;
    }
    if (ok && (!copy_text(host, "DOK_TYP", 7, &out->fields[kept].key) ||
               !copy_text(host, g_section, strlen(g_section), &out->fields[kept].value)))
        ok = 0;
    if (ok) {
        out->fields[kept].readonly = 0;
        out->field_count = kept + 1;
    }
    free_record(&r);
    return ok;
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
        if (g_catalogue) {
            if (!catalogue_record(in, out, host)) return 1;
            output->count = ++n;
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
