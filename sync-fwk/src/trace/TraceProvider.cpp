// Defines the tracepoints and registers the probe provider at program start. The trace facility
// references the tracepoint definitions, so linking it pulls this object out of the static library.
#define LTTNG_UST_TRACEPOINT_CREATE_PROBES
#define LTTNG_UST_TRACEPOINT_DEFINE
#include "trace/TraceProvider.h"
