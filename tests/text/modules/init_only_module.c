/* A converter module with "initialize" but no "translate": registered, never found. */
#include "text/ConverterModuleApi.h"

__attribute__((visibility("default"))) int initialize(const char* config_file, const char* section,
                                                      velt_report_fn report, void* report_data,
                                                      const velt_host* host) {
    (void)config_file, (void)section, (void)report, (void)report_data, (void)host;
    return 0;
}
