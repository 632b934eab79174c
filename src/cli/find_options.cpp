#include "cli/find_options.h"

#include <getopt.h>

namespace quorvel {

const char *findUsage()
{
    return "Usage: quorvel-find [OPTION]... ROOT...\n"
           "Find files (or folders) whose names match any of many keywords, below each ROOT.\n"
           "\n"
           "  -k, --keywords FILE   keyword text, one keyword per line ('-' reads standard input),\n"
           "                        blank and space-only lines dropped\n"
           "  -e, --keyword TEXT    one more keyword (repeatable; after those of -k)\n"
           "  -x, --exact           exact matching: the keyword is the whole name or the name\n"
           "                        without its last extension (default)\n"
           "  -f, --fuzzy           fuzzy matching: the keyword occurs in the name\n"
           "  -d, --folders         match folder names instead of file names\n"
           "  -a, --all-disks       search every local disk instead of ROOTs\n"
           "  -0, --print0          end each row with NUL instead of a newline\n"
           "      --columns         print the row's path, a TAB and its name column\n"
           "      --list-order      print rows in the order the window's result list shows them\n"
           "                        (file-name hits newest first); default: the order found\n"
           "      --not-found FILE  write the keywords that no row's name contains to FILE\n"
           "      --charset NAME    utf-8 or gbk (default: the locale's codeset)\n"
           "      --copy-to DIR     after the search, copy every row's entry (a file, or a folder\n"
           "                        with everything in it) into the folder DIR\n"
           "      --move-to DIR     after the search, move every row's entry into DIR\n"
           "      --trash           after the search, move every row's entry to the trash; an\n"
           "                        entry whose volume has no usable trash stays where it is\n"
           "      --rename-on-clash with --copy-to or --move-to: an entry whose name is taken in\n"
           "                        DIR gets the first free name \"name (2).ext\"; default: it\n"
           "                        replaces the entry there (a folder merges into a folder)\n"
           "      --dry-run         print what the action would do, one line per entry\n"
           "                        (\"copy PATH -> DIR\", \"move PATH -> DIR\", \"trash PATH\"),\n"
           "                        after the rows, and change nothing\n"
           "  -h, --help            show this help and exit\n"
           "  -V, --version         show the version and exit\n"
           "\n"
           "ASCII letters match without regard to case.\n"
           "\n"
           "An action starts once the walk has ended and takes the entries in the order their\n"
           "rows were printed. A path that stands in several rows (a file matched by two\n"
           "keywords) is copied, moved or trashed once. An entry inside a folder that the same\n"
           "run has already moved or trashed went along with it and counts as done. A move\n"
           "never replaces an entry that an earlier row put into DIR, nor one that is itself a\n"
           "row: that entry stays where it is and counts as failed. Each failure is reported on\n"
           "standard error, followed by one summary line. An interrupt (Ctrl-C) during the\n"
           "action leaves the entry under way as it was and the rest untouched, reports how\n"
           "many were not done, and ends the program by that signal.\n"
           "\n"
           "Exit status: 0 when a row was found, 1 when none was, 2 on bad usage or an\n"
           "unreadable keyword file, 3 when the action failed for some entry.\n";
}

std::optional<FindOptions> parseFindOptions(int argc, char **argv, std::string &error)
{
    enum { kColumns = 256, kListOrder, kNotFound, kCharset, kCopyTo, kMoveTo, kTrash, kRenameOnClash, kDryRun };
    static const option longOptions[] = {
        {"keywords", required_argument, nullptr, 'k'},
        {"keyword", required_argument, nullptr, 'e'},
        {"exact", no_argument, nullptr, 'x'},
        {"fuzzy", no_argument, nullptr, 'f'},
        {"folders", no_argument, nullptr, 'd'},
        {"all-disks", no_argument, nullptr, 'a'},
        {"print0", no_argument, nullptr, '0'},
        {"columns", no_argument, nullptr, kColumns},
        {"list-order", no_argument, nullptr, kListOrder},
        {"not-found", required_argument, nullptr, kNotFound},
        {"charset", required_argument, nullptr, kCharset},
        {"copy-to", required_argument, nullptr, kCopyTo},
        {"move-to", required_argument, nullptr, kMoveTo},
        {"trash", no_argument, nullptr, kTrash},
        {"rename-on-clash", no_argument, nullptr, kRenameOnClash},
        {"dry-run", no_argument, nullptr, kDryRun},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, 'V'},
        {nullptr, 0, nullptr, 0},
    };
    FindOptions options;
    opterr = 0;
    optind = 0; // start afresh (also resets getopt's state)
    for (;;) {
        const int c = getopt_long(argc, argv, ":k:e:xfda0hV", longOptions, nullptr);
        if (c == -1)
            break;
        const std::string given = optind > 0 && optind <= argc ? argv[optind - 1] : "";
        switch (c) {
        case 'k':
            options.keywordFiles.emplace_back(optarg);
            break;
        case 'e':
            options.extraKeywords.emplace_back(optarg);
            break;
        case 'x':
            options.fuzzy = false;
            break;
        case 'f':
            options.fuzzy = true;
            break;
        case 'd':
            options.folders = true;
            break;
        case 'a':
            options.allDisks = true;
            break;
        case '0':
            options.print0 = true;
            break;
        case kColumns:
            options.columns = true;
            break;
        case kListOrder:
            options.listOrder = true;
            break;
        case kNotFound:
            options.notFoundFile = optarg;
            break;
        case kCharset:
            options.codeset = text::codesetFromName(optarg);
            if (!options.codeset) {
                error = std::string("unknown charset '") + optarg + "' (use utf-8 or gbk)";
                return std::nullopt;
            }
            break;
        case kCopyTo:
        case kMoveTo:
        case kTrash:
            if (options.action != RowAction::None) {
                error = "only one of --copy-to, --move-to and --trash may be given, once";
                return std::nullopt;
            }
            options.action = c == kCopyTo ? RowAction::CopyTo : c == kMoveTo ? RowAction::MoveTo : RowAction::Trash;
            if (c != kTrash) {
                options.actionFolder = optarg;
                if (options.actionFolder.empty()) {
                    error =
                        std::string(c == kCopyTo ? "--copy-to" : "--move-to") + " needs a folder, not an empty text";
                    return std::nullopt;
                }
            }
            break;
        case kRenameOnClash:
            options.renameOnClash = true;
            break;
        case kDryRun:
            options.dryRun = true;
            break;
        case 'h':
            options.help = true;
            break;
        case 'V':
            options.version = true;
            break;
        case ':':
            error = optopt > 0 && optopt < 128
                        ? std::string("option requires an argument -- '") + static_cast<char>(optopt) + "'"
                        : "option '" + given + "' requires an argument";
            return std::nullopt;
        default:
            error = optopt > 0 && optopt < 128 ? std::string("invalid option -- '") + static_cast<char>(optopt) + "'"
                                               : "unrecognized option '" + given + "'";
            return std::nullopt;
        }
    }
    for (int i = optind; i < argc; ++i)
        options.roots.emplace_back(argv[i]);
    if (options.help || options.version)
        return options;
    if (options.allDisks && !options.roots.empty()) {
        error = "-a searches every local disk and takes no ROOT";
        return std::nullopt;
    }
    if (!options.allDisks && options.roots.empty()) {
        error = "no ROOT given (or use -a for every local disk)";
        return std::nullopt;
    }
    if (options.keywordFiles.empty() && options.extraKeywords.empty()) {
        error = "no keywords given (use -k FILE or -e TEXT)";
        return std::nullopt;
    }
    if (options.renameOnClash && options.action != RowAction::CopyTo && options.action != RowAction::MoveTo) {
        error = "--rename-on-clash needs --copy-to or --move-to";
        return std::nullopt;
    }
    if (options.dryRun && options.action == RowAction::None) {
        error = "--dry-run needs --copy-to, --move-to or --trash";
        return std::nullopt;
    }
    return options;
}

} // namespace quorvel
