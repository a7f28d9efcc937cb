// `basis records`: record files from the command line. Creates one, adds
// files (or standard input) as records, writes a record back out, lists
// the records with either scan, checks a file and shows its header. This
// file reads the command line; the actions are in RecordsEdit.cpp and
// RecordsExamine.cpp.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

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
                 "       basis records add <file> [<input>...]\n"
                 "       basis records get <file> <record> [--out <output>]\n"
                 "       basis records list <file> [--robust]\n"
                 "       basis records check <file>\n"
                 "       basis records header <file>\n"
                 "       basis records delete <file> <record>...\n"
                 "       basis records update <file> <record> [<input>]\n"
                 "       basis records resource list <file>\n"
                 "       basis records resource get <file> <key> [--out <output>] [--force]\n"
                 "       basis records resource set <file> <key> [<input>]\n"
                 "       basis records resource delete <file> <key>\n"
                 "       basis records dump <file> <folder> [--robust] [--force]\n"
                 "       basis records restore <file> <folder> [--force]\n"
                 "       basis records salvage <file> <output> [--force]\n"
                 "       basis records compact <file>\n"
                 "\n"
                 "  create: a new record file of B-byte blocks (default %u) whose records\n"
                 "  start with an H-byte record header (default %u; H + 8 <= B), with room\n"
                 "  for R resources (default %u). An existing file is kept unless --force.\n"
                 "  add: one record per input file, or one from standard input when no\n"
                 "  input or \"-\" is given; prints each new record's number.\n"
                 "  get: writes the record's bytes to standard output or to <output>.\n"
                 "  list: number, length and first bytes of every record, found by the\n"
                 "  scan that trusts size words or, with --robust, block by block.\n"
                 "  check: geometry, free space and resources, and the records found\n"
                 "  against the stored count; exit status 1 when the file is corrupt.\n"
                 "  header: the header's fields as stored.\n"
                 "  --json (list, check, header): one JSON object on standard output.\n"
                 "  delete: frees the records named; none goes unless all exist.\n"
                 "  update: replaces a record's bytes with an input file's or, without\n"
                 "  one or with \"-\", standard input's; the record keeps its number.\n"
                 "  resource: the file's keyed resources (keys 0 to 4294967295): list\n"
                 "  them, write one out, set one from a file or standard input (added,\n"
                 "  or replaced when the key exists), delete one.\n"
                 "  dump: every record and resource as its own file in <folder>\n"
                 "  (record-N.bin, resource-K.bin) with a manifest.txt; --robust takes\n"
                 "  the records found block by block, as from a damaged file.\n"
                 "  restore: a new record file from a dump, every record under its\n"
                 "  number again.\n"
                 "  salvage: every record found block by block, and every resource that\n"
                 "  reads, copied into a new file; prints each record's new number.\n"
                 "  compact: rewrites the file without its free space, keeping every\n"
                 "  record's number; refuses a corrupt file.\n"
                 "  A record no longer than H bytes has no body and does not keep its\n"
                 "  length: with H = 0 every input reads back exactly as it was added.\n",
                 kDefaultBlockSize, kDefaultHeaderSize, kDefaultResources);
    return out == stdout ? e_RecordsOk : e_RecordsUsage;
}

struct st_Options {
    unsigned n_HeaderSize = kDefaultHeaderSize;
    unsigned n_BlockSize = kDefaultBlockSize;
    unsigned n_Resources = kDefaultResources;
    bool b_Force = false;
    bool b_Robust = false;
    bool b_Json = false;
    char const* qccz_Out = nullptr;
    std::vector<std::string> ao_Given;  // the options given, to check against the action
};

}  // namespace

int i_RunRecords(int argc, char** argv) {
    std::vector<char const*> args;
    st_Options options;
    for (int i = 0; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--help" || option == "-h") return i_RecordsUsage(stdout);
        if (option == "--header" || option == "--block" || option == "--resources" || option == "--out") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "basis records: %s needs a value\n", option.c_str());
                return e_RecordsUsage;
            }
            char const* value = argv[++i];
            unsigned number = 0;
            if (option != "--out" && !b_ParseNumber(value, &number)) {
                std::fprintf(stderr, "basis records: %s needs a number, not \"%s\"\n", option.c_str(), value);
                return e_RecordsUsage;
            }
            if (option == "--header") options.n_HeaderSize = number;
            else if (option == "--block") options.n_BlockSize = number;
            else if (option == "--resources") options.n_Resources = number;
            else options.qccz_Out = value;
            options.ao_Given.push_back(option);
            continue;
        }
        if (option == "--force" || option == "--robust" || option == "--json") {
            (option == "--force" ? options.b_Force : option == "--json" ? options.b_Json : options.b_Robust) = true;
            options.ao_Given.push_back(option);
            continue;
        }
        if (option.size() > 1 && option[0] == '-') {
            std::fprintf(stderr, "basis records: unknown option \"%s\"\n", argv[i]);
            return i_RecordsUsage(stderr);
        }
        args.push_back(argv[i]);
    }
    if (args.empty()) return i_RecordsUsage(stderr);
    std::string action = args[0];
    struct st_Action {
        char const* qccz_Name;
        std::size_t n_Least, n_Most;  // positional arguments with the action's own name
        char const* qccz_Options;
    };
    static st_Action const aso_Actions[] = {
        {"create", 2, 2, " --header --block --resources --force "},
        {"add", 2, ~std::size_t(0), " "},
        {"get", 3, 3, " --out "},
        {"list", 2, 2, " --robust --json "},
        {"check", 2, 2, " "},
        {"header", 2, 2, " --json "},
        {"delete", 3, ~std::size_t(0), " "},
        {"update", 3, 4, " "},
        {"resource", 3, 5, " --out --force "},
        {"dump", 3, 3, " --robust --force "},
        {"restore", 3, 3, " --force "},
        {"salvage", 3, 3, " --force "},
        {"compact", 2, 2, " "},
    };
    st_Action const* chosen = nullptr;
    for (st_Action const& candidate : aso_Actions)
        if (action == candidate.qccz_Name) chosen = &candidate;
    if (chosen == nullptr) {
        std::fprintf(stderr, "basis records: unknown action \"%s\"\n", args[0]);
        return i_RecordsUsage(stderr);
    }
    for (std::string const& option : options.ao_Given) {
        if (std::strstr(chosen->qccz_Options, (" " + option + " ").c_str()) == nullptr) {
            std::fprintf(stderr, "basis records: %s does not go with %s\n", option.c_str(), chosen->qccz_Name);
            return i_RecordsUsage(stderr);
        }
    }
    if (args.size() < chosen->n_Least || args.size() > chosen->n_Most) return i_RecordsUsage(stderr);

    if (action == "create")
        return i_RecordsCreate(args[1], options.n_HeaderSize, options.n_BlockSize, options.n_Resources, options.b_Force);
    if (action == "add") return i_RecordsAdd(args[1], std::vector<char const*>(args.begin() + 2, args.end()));
    if (action == "get") return i_RecordsGet(args[1], args[2], options.qccz_Out);
    if (action == "list")
        return options.b_Json ? i_RecordsListJson(args[1], options.b_Robust) : i_RecordsList(args[1], options.b_Robust);
    if (action == "check") return i_RecordsCheck(args[1]);
    if (action == "header") return options.b_Json ? i_RecordsHeaderJson(args[1]) : i_RecordsHeader(args[1]);
    return i_RunRecordsMaintain(args, options.qccz_Out, options.b_Robust, options.b_Force);
}
