// `basis records`: record files from the command line. Creates one, adds
// files (or standard input) as records, writes a record back out, lists
// the records with either scan, checks a file and shows its header. This
// file reads the command line; the actions are in RecordsEdit.cpp and
// RecordsExamine.cpp.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/basis/Arguments.h"
#include "tools/basis/Commands.h"
#include "tools/basis/Records.h"
#include "tools/basis/RecordsMaintain.h"

namespace {

// The defaults of create. A record no longer than the record header has
// no body and its length is not kept; with a header of 0 bytes only the
// empty record is such a record, so every file added reads back as it
// was. 512-byte blocks keep the scans' steps few for file-sized records
// while a small record wastes little.
unsigned const kDefaultHeaderSize = 0;
unsigned const kDefaultBlockSize = 512;
unsigned const kDefaultResources = 16;

int i_RecordsUsage(FILE* out) {
    std::fprintf(out,
                 "usage: basis records create <file> [--header H] [--block B] [--resources R] [--force]\n"
                 "       basis records add <file> [<input>...] [--force] [--wait S]\n"
                 "       basis records get <file> <record> [--out <output>] [--force] [--wait S]\n"
                 "       basis records list <file> [--robust] [--force] [--wait S]\n"
                 "       basis records check <file> [--wait S]\n"
                 "       basis records header <file> [--wait S]\n"
                 "       basis records delete <file> <record>... [--force] [--wait S]\n"
                 "       basis records update <file> <record> [<input>] [--force] [--wait S]\n"
                 "       basis records resource list <file> [--wait S]\n"
                 "       basis records resource get <file> <key> [--out <output>] [--force] [--wait S]\n"
                 "       basis records resource set <file> <key> [<input>] [--force] [--wait S]\n"
                 "       basis records resource delete <file> <key> [--force] [--wait S]\n"
                 "       basis records dump <file> <folder> [--robust] [--force] [--wait S]\n"
                 "       basis records restore <file> <folder> [--force]\n"
                 "       basis records salvage <file> <output> [--force] [--wait S]\n"
                 "       basis records compact <file> [--wait S]\n"
                 "\n"
                 "  create: a new record file of B-byte blocks (default %u) whose records\n"
                 "  start with an H-byte record header (default %u; H + 8 <= B), with room\n"
                 "  for R resources (default %u). An existing file is kept unless --force.\n"
                 "  add: one record per input file, or one from standard input when no\n"
                 "  input or \"-\" is given; prints each new record's number. The file is\n"
                 "  checked first, read-only, and a corrupt one is left as it was unless\n"
                 "  --force; a file that is not a record file is never written.\n"
                 "  get: writes the record's bytes to standard output or to <output>\n"
                 "  (default \"-\"), which may not be the record file and is not\n"
                 "  replaced when it exists, unless --force.\n"
                 "  list: number, length and first bytes of every record, found by the\n"
                 "  scan that trusts size words or, with --robust, block by block.\n"
                 "  get and list refuse a file shorter than its end offset (its last\n"
                 "  records would read as zeros) unless --force, which warns instead.\n"
                 "  check: geometry, free space and resources, the records found against\n"
                 "  the stored count, and each record's body against the file's size.\n"
                 "  header: the header's fields as stored.\n"
                 "  --json (list, check, header): one JSON object on standard output.\n"
                 "  delete: frees the records named; none goes unless all exist.\n"
                 "  update: replaces a record's bytes with an input file's or, without\n"
                 "  one or with \"-\", standard input's; the record keeps its number.\n"
                 "  delete, update and resource set and delete check the file first as\n"
                 "  add does, and leave a corrupt one as it was unless --force.\n"
                 "  resource: the file's keyed resources (keys 0 to 4294967295): list\n"
                 "  them, write one out (default \"-\"), set one from a file or standard\n"
                 "  input (added, or replaced when the key exists), delete one.\n"
                 "  dump: every record and resource as its own file in <folder>\n"
                 "  (record-N.bin, resource-K.bin) and a manifest.txt written last; a\n"
                 "  folder that holds a dump is kept unless --force. --robust takes the\n"
                 "  records found block by block, as from a damaged file.\n"
                 "  list --json, resource get and dump refuse a file shorter than its\n"
                 "  end offset unless --force, as list and get do; salvage warns.\n"
                 "  restore: a new record file from a dump, every record under its\n"
                 "  number again; an existing file is kept unless --force.\n"
                 "  salvage: every record found block by block, and every resource that\n"
                 "  reads, copied into a new file; prints each record's new number.\n"
                 "  compact: rebuilds the file beside itself, then puts it in its place:\n"
                 "  every record keeps its number, bodies and resources move into the\n"
                 "  gaps, and the free list starts anew. A corrupt file is refused.\n"
                 "  A record no longer than H bytes has no body and does not keep its\n"
                 "  length: with H = 0 every input reads back exactly as it was added.\n"
                 "%s",
                 kDefaultBlockSize, kDefaultHeaderSize, kDefaultResources, kToolCommonUsage);
    return out == stdout ? e_ExitOk : e_ExitUsage;
}

}  // namespace

int i_RunRecords(int argc, char** argv) {
    static std::vector<st_OptionRule> const ao_Rules = {
        {"--header", true, " create "},  {"--block", true, " create "},
        {"--resources", true, " create "}, {"--out", true, " get resource "},
        {"--force", false, " create add get list delete update resource dump restore salvage "},
        {"--robust", false, " list dump "}, {"--json", false, " list check header "},
        {"--wait", true, " add get list check header delete update resource dump salvage compact "},
    };
    st_CommandLine line;
    bool help = false;
    std::string problem;
    if (!b_ParseCommandLine(argc, argv, ao_Rules, &line, &help, &problem)) return i_ToolUsageError(problem);
    if (help) return i_RecordsUsage(stdout);
    std::vector<char const*> const& args = line.apcc_Positional;
    if (args.empty()) {
        std::fprintf(stderr, "basis records: no action given\n");
        return i_RecordsUsage(stderr);
    }
    std::string action = args[0];
    if (action == "help") return i_RecordsUsage(stdout);
    struct st_Action {
        char const* qccz_Name;
        std::size_t n_Least, n_Most;  // positional arguments with the action's own name
        char const* qccz_Wanted;
    };
    static st_Action const aso_Actions[] = {
        {"create", 2, 2, "a file name"},
        {"add", 2, ~std::size_t(0), "a record file and then inputs"},
        {"get", 3, 3, "a file name and a record number"},
        {"list", 2, 2, "a file name"},
        {"check", 2, 2, "a file name"},
        {"header", 2, 2, "a file name"},
        {"delete", 3, ~std::size_t(0), "a file name and record numbers"},
        {"update", 3, 4, "a file name, a record number and an input"},
        {"resource", 3, 5, "an action (list, get, set, delete), a file name and a key"},
        {"dump", 3, 3, "a file name and a folder"},
        {"restore", 3, 3, "a file name and a folder"},
        {"salvage", 3, 3, "a file name and an output file"},
        {"compact", 2, 2, "a file name"},
    };
    st_Action const* chosen = nullptr;
    for (st_Action const& candidate : aso_Actions)
        if (action == candidate.qccz_Name) chosen = &candidate;
    if (chosen == nullptr) return i_ToolUsageError("unknown action \"" + action + "\"");
    if (args.size() < chosen->n_Least || args.size() > chosen->n_Most) {
        std::fprintf(stderr, "basis records: %s takes %s; %s given\n", chosen->qccz_Name, chosen->qccz_Wanted,
                     s_Count(args.size() - 1, "argument").c_str());
        return i_RecordsUsage(stderr);
    }
    // A record file is read and written at offsets: no stream will do.
    if (std::strcmp(args[1], "-") == 0)
        return i_ToolUsageError("a record file cannot be standard input or output (\"-\")");
    st_RecordsOptions options;
    options.n_HeaderSize = kDefaultHeaderSize;
    options.n_BlockSize = kDefaultBlockSize;
    options.n_Resources = kDefaultResources;
    struct st_Number {
        char const* qccz_Option;
        unsigned* pn_Value;
    } const numbers[] = {{"--header", &options.n_HeaderSize},
                         {"--block", &options.n_BlockSize},
                         {"--resources", &options.n_Resources}};
    for (st_Number const& number : numbers) {
        char const* text = line.qccz_Value(number.qccz_Option);
        if (text && !b_ReadNumber(number.qccz_Option, text, 0xFFFFFFFFull, number.pn_Value, &problem))
            return i_ToolUsageError(problem);
    }
    bool waitOk = true;
    options.n_WaitSeconds = n_WaitSeconds(line, &problem, &waitOk);
    if (!waitOk) return i_ToolUsageError(problem);
    options.b_Force = line.b_Has("--force");
    options.b_Robust = line.b_Has("--robust");
    options.b_Json = line.b_Has("--json");
    options.qccz_Out = line.qccz_Value("--out");

    if (action == "create") return i_RecordsCreate(args[1], options);
    if (action == "add") return i_RecordsAdd(args[1], std::vector<char const*>(args.begin() + 2, args.end()), options);
    if (action == "get") return i_RecordsGet(args[1], args[2], options);
    if (action == "list") return options.b_Json ? i_RecordsListJson(args[1], options) : i_RecordsList(args[1], options);
    if (action == "check") return options.b_Json ? i_RecordsCheckJson(args[1], options) : i_RecordsCheck(args[1], options);
    if (action == "header") return options.b_Json ? i_RecordsHeaderJson(args[1], options) : i_RecordsHeader(args[1], options);
    return i_RunRecordsMaintain(args, options);
}
