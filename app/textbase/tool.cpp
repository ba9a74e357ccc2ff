#include "tool.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "base.h"
#include "base_view.h"
#include "checker.h"
#include "solver.h"
#include "textform.h"

namespace textbase {
namespace {

namespace fs = std::filesystem;

constexpr char kHelp[] = R"(Usage: tessarin-base COMMAND [OPTIONS] FILE...

The text form of a Tessarin base: JSON (UTF-8) with every object, field,
reference and list order of the base file (docs/TEXTFORM.md).

Commands:
  export BASE.tob [-o FILE.json]    write the base as text (to standard output
                                    without -o); JSON files in place of the
                                    base are imported and written out again,
                                    which gives their canonical layout
  import FILE.json... -o BASE.tob   read the files as one into a new base file;
        [--force]                   an existing BASE.tob is replaced only with
                                    --force
  check BASE.tob | FILE.json...     check formulas, ties, units, dimensions and
                                    clashes; one line per problem
  stats BASE.tob | FILE.json...     the number of objects of each kind
  help, --help, -h                  this text

Inputs: a file that begins with the signature of a base file is a base; any
other file is read as the text form.  Reading a base never changes its file.
Two bases compare line by line as text:
  diff <(tessarin-base export a.tob) <(tessarin-base export b.tob)

Exit codes:
  0  success (check: no problems)
  1  check found problems
  2  bad usage or bad input (malformed or inconsistent text, unreadable or
     unwritable file, a base that cannot be written as text); the message
     names the file, array, index and key at fault
)";

// Bad usage or bad input, already worded for the user.
class ToolError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A command line the tool does not understand.
class UsageError : public ToolError {
  public:
    using ToolError::ToolError;
};

std::string read_file(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ToolError("cannot read " + path.string() + ": " + std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw ToolError("cannot read " + path.string());
    return text.str();
}

bool is_base_file(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    char signature[5] = {};
    return in.read(signature, 5) && std::memcmp(signature, "TDB\x01\x00", 5) == 0;
}

// A private directory for the base library's files, removed with everything in it.
class ScratchDirectory {
  public:
    ScratchDirectory() {
        std::string pattern = (fs::temp_directory_path() / "tessarin-base-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw ToolError(std::string("cannot make a temporary directory: ") + std::strerror(errno));
        path_ = pattern;
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory &) = delete;
    ScratchDirectory &operator=(const ScratchDirectory &) = delete;

    fs::path file(const char *name) const { return path_ / name; }

  private:
    fs::path path_;
};

class SolverSession {
  public:
    SolverSession() { SolverInit(); }
    ~SolverSession() { SolverDone(); }
    SolverSession(const SolverSession &) = delete;
    SolverSession &operator=(const SolverSession &) = delete;
};

// The process's one base.  The library writes a base back to its file when
// it is closed, so a base is opened from a private copy, and unless it is
// written on purpose it is closed into the scratch directory.
class OpenBase {
  public:
    // An empty base.
    explicit OpenBase(const ScratchDirectory &scratch) : scratch_(scratch) {
        BaseInit(scratch.file("new.tob").c_str());
    }

    // The base in `file`, which stays untouched.
    OpenBase(const fs::path &file, const ScratchDirectory &scratch) : scratch_(scratch) {
        const fs::path copy = scratch.file("read.tob");
        std::error_code error;
        fs::copy_file(file, copy, fs::copy_options::overwrite_existing, error);
        if (error) throw ToolError("cannot read " + file.string() + ": " + error.message());
        BaseInit(copy.c_str());
        const uint16_t result = BaseLastResult();
        if (result == 1) fail("cannot open " + file.string());
        if (result == 2) fail(file.string() + " is not a base file");
    }

    ~OpenBase() {
        if (open_) close_into(scratch_.file("discard.tob"));
    }
    OpenBase(const OpenBase &) = delete;
    OpenBase &operator=(const OpenBase &) = delete;

    void close_into(const fs::path &file) {
        ChangeBaseName(file.c_str());
        BaseDone();
        open_ = false;
    }

  private:
    [[noreturn]] void fail(const std::string &message) {
        close_into(scratch_.file("discard.tob"));
        throw ToolError(message);
    }

    const ScratchDirectory &scratch_;
    bool open_ = true;
};

// Writes next to the target and renames, so the target is either the old
// file or the complete new one.
class ReplacingFile {
  public:
    explicit ReplacingFile(fs::path target)
        : target_(std::move(target)),
          partial_(target_.string() + ".partial-" + std::to_string(static_cast<long>(getpid()))) {}
    ~ReplacingFile() {
        std::error_code ignored;
        if (!committed_) fs::remove(partial_, ignored);
    }
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;

    const fs::path &partial() const { return partial_; }

    void commit() {
        std::error_code error;
        fs::rename(partial_, target_, error);
        if (error) throw ToolError("cannot write " + target_.string() + ": " + error.message());
        committed_ = true;
    }

  private:
    fs::path target_;
    fs::path partial_;
    bool committed_ = false;
};

void write_text_file(const fs::path &target, const std::string &text) {
    ReplacingFile file(target);
    {
        std::ofstream out(file.partial(), std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) throw ToolError("cannot write " + target.string() + ": " + std::strerror(errno));
    }
    file.commit();
}

struct Arguments {
    std::string command;
    std::vector<fs::path> inputs;
    std::optional<fs::path> output;
    bool force = false;
};

Arguments parse_arguments(std::span<const std::string> arguments) {
    Arguments parsed;
    bool options_done = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string &a = arguments[i];
        if (!options_done && (a == "-o" || a == "--output")) {
            if (i + 1 >= arguments.size()) throw UsageError(a + " needs a file name");
            if (parsed.output) throw UsageError("only one -o is allowed");
            parsed.output = arguments[++i];
        } else if (!options_done && a == "--force") {
            parsed.force = true;
        } else if (!options_done && a == "--") {
            options_done = true;
        } else if (!options_done && a.size() > 1 && a[0] == '-' && a != "-h" && a != "--help") {
            throw UsageError("unknown option " + a);
        } else if (parsed.command.empty()) {
            parsed.command = a;
        } else {
            parsed.inputs.emplace_back(a);
        }
    }
    return parsed;
}

// The inputs of a command: one base file, or text form files read as one.
struct Inputs {
    std::optional<fs::path> base;
    std::vector<Document> documents;
};

Inputs classify(const std::vector<fs::path> &paths) {
    if (paths.empty()) throw UsageError("no input file given");
    Inputs inputs;
    for (const fs::path &path : paths) {
        if (!fs::exists(path)) throw ToolError("cannot read " + path.string() + ": no such file");
        if (is_base_file(path)) {
            if (paths.size() > 1)
                throw ToolError(path.string() + " is a base file; give either one base or text files");
            inputs.base = path;
        } else {
            inputs.documents.push_back({path.string(), read_file(path)});
        }
    }
    return inputs;
}

// Opens the inputs as the process's base.
std::unique_ptr<OpenBase> open_inputs(const Inputs &inputs, const ScratchDirectory &scratch,
                                      Origins *origins = nullptr) {
    if (inputs.base) return std::make_unique<OpenBase>(*inputs.base, scratch);
    auto base = std::make_unique<OpenBase>(scratch);
    import_documents(inputs.documents, origins);
    return base;
}

void require_no_output(const Arguments &arguments) {
    if (arguments.output) throw UsageError(arguments.command + " takes no -o");
}

int run_export(const Arguments &arguments, std::ostream &out) {
    const Inputs inputs = classify(arguments.inputs);
    ScratchDirectory scratch;
    auto base = open_inputs(inputs, scratch);
    const std::string text = export_base();
    if (arguments.output) {
        write_text_file(*arguments.output, text);
    } else {
        out << text;
    }
    return kExitOk;
}

int run_import(const Arguments &arguments, std::ostream &err) {
    if (!arguments.output) throw UsageError("import needs -o BASE.tob");
    const fs::path target = *arguments.output;
    if (fs::exists(target) && !arguments.force) {
        throw ToolError(target.string() + " exists; give --force to replace it");
    }
    const Inputs inputs = classify(arguments.inputs);
    if (inputs.base) throw ToolError(inputs.base->string() + " is a base file; import reads text files");
    ScratchDirectory scratch;
    ReplacingFile file(target);
    std::string written;
    {
        OpenBase base(scratch);
        import_documents(inputs.documents);
        written = export_base();
        base.close_into(file.partial());
    }
    // The base library reports no failure of writing: read the file back.
    {
        if (!fs::exists(file.partial())) throw ToolError("cannot write " + target.string());
        OpenBase base(file.partial(), scratch);
        if (export_base() != written)
            throw ToolError("the base written to " + target.string() + " does not read back the same");
    }
    file.commit();
    err << "tessarin-base: wrote " << target.string() << "\n";
    return kExitOk;
}

int run_check(const Arguments &arguments, std::ostream &out, std::ostream &err) {
    require_no_output(arguments);
    const Inputs inputs = classify(arguments.inputs);
    ScratchDirectory scratch;
    Origins origins;
    auto base = open_inputs(inputs, scratch, &origins);
    SolverSession solver;
    const auto problems = check_base(inputs.base ? nullptr : &origins);
    for (const std::string &problem : problems) out << problem << "\n";
    if (problems.empty()) return kExitOk;
    err << "tessarin-base: " << problems.size() << (problems.size() == 1 ? " problem" : " problems") << "\n";
    return kExitProblems;
}

int run_stats(const Arguments &arguments, std::ostream &out) {
    require_no_output(arguments);
    const Inputs inputs = classify(arguments.inputs);
    ScratchDirectory scratch;
    auto base = open_inputs(inputs, scratch);
    BaseStatistics statistics{};
    BaseStatistics *area = &statistics;
    BaseStatistic(&area);
    for (int kind = 1; kind <= kKindCount; ++kind) {
        out << array_name(static_cast<ObjectKind>(kind)) << " " << statistics.Count[kind - 1] << "\n";
    }
    return kExitOk;
}

}  // namespace

int run_tool(std::span<const std::string> arguments, std::ostream &out, std::ostream &err) {
    try {
        const Arguments parsed = parse_arguments(arguments);
        const std::string &command = parsed.command;
        if (command == "help" || command == "--help" || command == "-h") {
            out << kHelp;
            return kExitOk;
        }
        if (command.empty()) throw UsageError("no command given");
        if (parsed.force && command != "import") throw UsageError("--force is for import only");
        if (command == "export") return run_export(parsed, out);
        if (command == "import") return run_import(parsed, err);
        if (command == "check") return run_check(parsed, out, err);
        if (command == "stats") return run_stats(parsed, out);
        throw UsageError("unknown command " + command);
    } catch (const UsageError &e) {
        err << "tessarin-base: " << e.what() << "\nTry 'tessarin-base --help'.\n";
        return kExitBadInput;
    } catch (const ToolError &e) {
        err << "tessarin-base: " << e.what() << "\n";
        return kExitBadInput;
    } catch (const InputError &e) {
        err << "tessarin-base: " << e.what() << "\n";
        return kExitBadInput;
    } catch (const ExportError &e) {
        err << "tessarin-base: cannot write the base as text: " << e.what() << "\n";
        return kExitBadInput;
    } catch (const std::exception &e) {
        err << "tessarin-base: " << e.what() << "\n";
        return kExitBadInput;
    }
}

}  // namespace textbase
