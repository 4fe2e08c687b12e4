// exporter, in a build made without cpp-httplib: the command is known, and says so.
#include "cli_errors.h"
#include "commands.h"

int RunExporter(const CliOptions&) {
    throw CliError(EXIT_USAGE,
                   "exporter is not part of this build of zelctl (it was built without cpp-httplib, "
                   "the HTTP library the exporter serves with)",
                   "not-built");
}
