// Fuzz target: a restore's file reader must take any bytes, and either hand back a
// backup whose every entry is a catalogued, writable setting with a value that fits, or
// refuse with a usage error; the refusal's message never carries a control character.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "backup_file.h"
#include "cli_errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Json document;
    std::string error;
    if (!ParseJsonDocument(text, &document, &error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    try {
        const Backup backup = BackupFromJson(document);
        for (const BackupEntry& entry : backup.entries) {
            if (!entry.view || !entry.address.entry || entry.view->write == WriteKind::None) std::abort();
            if (entry.address.Size() < 4 && entry.value >> (8 * entry.address.Size()) != 0) std::abort();
        }
        // What was read is written back in the same form.
        Json again;
        if (!ParseJsonDocument(JsonText(BackupToJson(backup), true), &again, nullptr)) std::abort();
        if (BackupFromJson(again).entries.size() != backup.entries.size()) std::abort();
    } catch (const CliError& refusal) {
        if (refusal.ExitCode() != EXIT_USAGE) std::abort();
        for (const char c : std::string(refusal.what())) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) std::abort();
        }
    }
    return 0;
}
