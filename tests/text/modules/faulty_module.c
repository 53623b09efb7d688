/* A converter module that misbehaves as its section name says:
 *   "KONWERTER_ODMOWA"   initialize reports and fails;
 *   "KONWERTER_PORAZKA"  translate reports and fails after filling output;
 *   "KONWERTER_OBCY"     translate hands back memory that is not the host's;
 *   "KONWERTER_ZA_DUZO"  translate claims more fields than it allocated.
 */
#include "text/ConverterModuleApi.h"

#include <string.h>

#define EXPORT __attribute__((visibility("default")))

static char g_mode[64];
static velt_field g_static_field = {{"k", 1}, {"v", 1}, 0};

EXPORT int initialize(const char* config_file, const char* section, velt_report_fn report,
                      void* report_data, const velt_host* host) {
    (void)config_file, (void)host;
    strncpy(g_mode, section, sizeof g_mode - 1);
    if (strcmp(section, "KONWERTER_ODMOWA") == 0) {
        report(report_data, "odmowa");
        return 1;
    }
    return 0;
}

EXPORT int translate(const velt_record_list* input, velt_record_list* output, velt_report_fn report,
                     void* report_data, const velt_host* host) {
    velt_record* r = (velt_record*)host->alloc(host->host_data, sizeof(velt_record));
    (void)input;
    if (!r) return 1;
    memset(r, 0, sizeof *r);
    output->records = r;
    output->count = 1;
    if (strcmp(g_mode, "KONWERTER_PORAZKA") == 0) {
        report(report_data, "porazka");
        return 1;
    }
    if (strcmp(g_mode, "KONWERTER_OBCY") == 0) {
        r->fields = &g_static_field;
        r->field_count = 1;
        return 0;
    }
    if (strcmp(g_mode, "KONWERTER_ZA_DUZO") == 0) {
        r->fields = (velt_field*)host->alloc(host->host_data, sizeof(velt_field));
        if (!r->fields) return 1;
        memset(r->fields, 0, sizeof(velt_field));
        r->field_count = 2;
        return 0;
    }
    return 0;
}
