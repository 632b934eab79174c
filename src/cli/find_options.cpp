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
           "  -h, --help            show this help and exit\n"
           "  -V, --version         show the version and exit\n"
           "\n"
           "ASCII letters match without regard to case. Exit status: 0 when a row was found,\n"
           "1 when none was, 2 on bad usage or an unreadable keyword file.\n";
}

std::optional<FindOptions> parseFindOptions(int argc, char **argv, std::string &error)
{
    enum { kColumns = 256, kListOrder, kNotFound, kCharset };
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
    return options;
}

} // namespace quorvel
