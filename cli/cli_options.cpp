#include "cli_options.h"

#include "cli_errors.h"

namespace {

// "-5" and "-0x10" are values, not options.
bool LooksLikeOption(const std::string& word) {
    if (word.size() < 2 || word[0] != '-') return false;
    return !(word[1] >= '0' && word[1] <= '9');
}

// Marks a word that came after "--" so that CommandArgs never takes it for an option.
const char kLiteralMark = '\x01';

}  // namespace

CliOptions ParseCommandLine(int argc, const char* const* argv) {
    CliOptions options;
    bool literal = false;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i] ? argv[i] : "";
        if (!literal && word == "--") {
            literal = true;
            continue;
        }
        if (!literal && LooksLikeOption(word)) {
            if (word == "--port") {
                if (i + 1 >= argc) ThrowUsage("--port needs a port name, for example --port /dev/ttyUSB0");
                options.port = argv[++i];
                if (options.port.empty()) ThrowUsage("--port needs a port name");
                continue;
            }
            if (word.rfind("--port=", 0) == 0) {
                options.port = word.substr(7);
                if (options.port.empty()) ThrowUsage("--port needs a port name");
                continue;
            }
            if (word == "--trace") { options.trace = true; continue; }
            if (word == "--json") { options.json = true; continue; }
            if (word == "--quiet") { options.quiet = true; continue; }
            if (word == "--help" || word == "-h") { options.help = true; continue; }
            if (options.command.empty()) ThrowUsage("unknown option " + word);
            options.args.push_back(word);  // the command's own option, checked by it
            continue;
        }
        if (options.command.empty() && !literal) {
            options.command = word;
        } else {
            options.args.push_back(literal ? kLiteralMark + word : word);
        }
    }
    return options;
}

bool CommandArgs::TakeOption(const std::string& name, std::string* value) {
    bool found = false;
    for (size_t i = 0; i < args_.size();) {
        const std::string& word = args_[i];
        if (word == name) {
            if (i + 1 >= args_.size()) ThrowUsage(command_ + ": " + name + " needs a value");
            std::string next = args_[i + 1];
            if (!next.empty() && next[0] == kLiteralMark) next.erase(0, 1);
            *value = next;
            args_.erase(args_.begin() + long(i), args_.begin() + long(i) + 2);
            found = true;
            continue;
        }
        if (word.rfind(name + "=", 0) == 0) {
            *value = word.substr(name.size() + 1);
            args_.erase(args_.begin() + long(i));
            found = true;
            continue;
        }
        ++i;
    }
    return found;
}

std::vector<std::string> CommandArgs::Positional() const {
    std::vector<std::string> words;
    for (const std::string& word : args_) {
        if (!word.empty() && word[0] == kLiteralMark) {
            words.push_back(word.substr(1));
            continue;
        }
        if (LooksLikeOption(word)) {
            ThrowUsage(command_ + ": unknown option " + word + " (see zelctl " + command_ + " --help)");
        }
        words.push_back(word);
    }
    return words;
}

std::vector<std::string> CommandArgs::Expect(int least, int most, const std::string& what) const {
    std::vector<std::string> words = Positional();
    const int count = int(words.size());
    if (count < least || (most >= 0 && count > most)) {
        ThrowUsage(command_ + " takes " + what + " (see zelctl " + command_ + " --help)");
    }
    return words;
}
