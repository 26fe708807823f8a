#include "app/command_line.h"

#include <functional>
#include <iomanip>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/cleanup_engine.h"
#include "app/cleanup_steps.h"
#include "app/run_summary.h"
#include "app/version.h"
#include "platform/command_line_text.h"
#include "platform/console_text.h"
#include "platform/demo_folders.h"
#include "platform/native_stores.h"
#include "platform/run_log_file.h"

namespace larkspur {

namespace {

constexpr int kUsageError = 2;
constexpr int kOutputLost = 1;

// Shown on the window's status line while --demo works on the sample folder.
constexpr char kDemoNotice[] = "Demo: this window works on sample data, not on your own.";

struct Options {
  bool help = false;
  bool version = false;
  bool list_items = false;
  bool demo = false;
  bool tray = false;  // the window starts hidden in the notification area
  bool clean = false;
  bool preview = false;              // list what the items would erase, change nothing
  std::set<std::string_view> items;  // items to clean
};

void PrintHelp(std::ostream& out) {
  out << "Usage: larkspur " << kDemoUsage
      << "[--tray]\n"
         "  or:  larkspur "
      << kDemoUsage
      << "--clean ITEM[,ITEM...]\n"
         "  or:  larkspur "
      << kDemoUsage
      << "--preview ITEM[,ITEM...]\n"
         "  or:  larkspur --list-items | -h | --help | -V | --version\n"
         "\n"
         "Erases browsing traces of Internet Explorer, Firefox, Chrome and Edge (\"Chrome\"\n"
         "stands for Chrome, Chromium, Brave, Vivaldi and Opera). Without --clean it opens\n"
         "its window.\n"
         "\n"
         "Options:\n"
         "  --clean ITEMS   one clean-up run with these items ticked; every status line is\n"
         "                  printed on its own line, \"-->\" and the name of each thing erased,\n"
         "                  and last what the run erased and what stayed (ITEM \"all\" means\n"
         "                  every item); each run adds an entry to the log\n"
         "  --preview ITEMS what --clean ITEMS would erase now, each thing with its size, and\n"
         "                  \"Would erase ...\" last; nothing is changed (not with --clean)\n"
         "  --list-items    the item names with their captions\n"
         "  --tray          start with the window hidden in the notification area (minimised\n"
         "                  where there is none), as \"Start at sign-in\" does\n"
      << kDemoOptionHelp
      << "  -h, --help      this text\n"
         "  -V, --version   the program's version\n"
         "\n"
         "Exit status:\n"
         "  0  done\n"
         "  1  the program could not run (no window could open, no demo folder could be\n"
         "     made), or a run's output was lost (the run itself goes on)\n"
         "  2  a mistake in the options; nothing is deleted\n"
         "  3  something stayed: a file in use or refused, a folder that could not be\n"
         "     entered, a profile skipped, a browser running, Firefox's bookmarks not saved, a\n"
         "     history the system cannot clear; each is printed as \"stayed (REASON): NAME\", the\n"
         "     last line counts them, and stderr says what to do\n"
         "\n"
      << kFilesHelp;
}

void PrintItems(std::ostream& out) {
  const Form1 captions;
  for (const CleanupStep& step : kCleanupSteps) {
    out << std::left << std::setw(22) << step.item << step.browser << ": "
        << (captions.*step.box).Caption << '\n';
  }
  out << std::left << std::setw(22) << "all"
      << "every item above\n";
}

const CleanupStep* FindStep(std::string_view item) {
  for (const CleanupStep& step : kCleanupSteps)
    if (step.item == item)
      return &step;
  return nullptr;
}

// Adds the comma-separated items; the first unknown one comes back as the error.
std::optional<std::string> AddItems(std::string_view list, Options& options) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list.find(',', start);
    const std::string_view item = list.substr(start, comma - start);
    if (item == "all") {
      for (const CleanupStep& step : kCleanupSteps)
        options.items.insert(step.item);
    } else if (const CleanupStep* step = FindStep(item)) {
      options.items.insert(step->item);
    } else {
      return "unknown item '" + std::string(item) + "' (see --list-items)";
    }
    if (comma == std::string_view::npos)
      return std::nullopt;
    start = comma + 1;
  }
}

std::optional<std::string> Parse(int argc, char** argv, Options& options) {
  for (int index = 1; index < argc; ++index) {
    const std::string_view argument = argv[index];
    if (argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument == "--version" || argument == "-V") {
      options.version = true;
    } else if (argument == "--list-items") {
      options.list_items = true;
    } else if (argument == "--demo") {
      options.demo = true;
    } else if (argument == "--tray") {
      options.tray = true;
    } else if (argument == "--clean" || argument == "--preview") {
      if (index + 1 >= argc)
        return "option " + std::string(argument) + " needs a list of items";
      (argument == "--preview" ? options.preview : options.clean) = true;
      if (auto error = AddItems(argv[++index], options))
        return error;
    } else if (argument.starts_with("--clean=") || argument.starts_with("--preview=")) {
      (argument.starts_with("--preview=") ? options.preview : options.clean) = true;
      if (auto error = AddItems(argument.substr(argument.find('=') + 1), options))
        return error;
    } else {
      return "unknown option '" + std::string(argument) + "' (see --help)";
    }
  }
  if (options.clean && options.preview)
    return "--clean and --preview cannot be used together";
  return std::nullopt;
}

// The user's own folders, or with --demo those of a fresh sample folder; nullopt when that
// cannot be built.
std::optional<UserFolders> FoldersToUse(const Options& options, std::ostream& out,
                                        std::ostream& err) {
  if (!options.demo)
    return UserFoldersFromEnvironment();
  std::string error;
  std::optional<DemoFolders> demo = MakeDemoFolders(&error);
  if (!demo) {
    err << "larkspur: " << error << '\n';
    return std::nullopt;
  }
  out << "Demo folder: " << demo->root << '\n';
  return std::move(demo->folders);
}

// The exit code of a run in which something stayed (in use, refused, a browser running).
constexpr int kSomethingStayed = 3;

struct CleanResult {
  std::vector<std::string> notes;  // what to do about what stayed, for stderr
  bool anything_stayed = false;
};

CleanResult Clean(const Options& options, const UserFolders& folders, std::ostream& out,
                  std::ostream& err) {
  NativeStores stores =
      MakeNativeStores(folders, options.preview ? std::make_shared<PreviewLedger>() : nullptr);
  Form1 form;
  for (const CleanupStep& step : kCleanupSteps)
    if (options.items.contains(step.item))
      (form.*step.box).Value = kTicked;
  form.Label5.SetListener([&out](const std::string& text) {
    if (!text.empty())
      out << ConsoleLine(text) << '\n';
  });
  CleanupEngine engine(form, stores, options.preview);
  // An item of a browser with no data here says so instead of counting nothing.
  form.AbsentBrowsers = engine.AbsentBrowsers();
  engine.Record().OnStayed([&out, &options](const std::string& what, StayReason why) {
    out << ConsoleLine(StayedLine(what, why, options.preview)) << '\n';
  });
  if (options.preview)
    out << "Preview: nothing is changed.\n";
  engine.LoadCacheEntries();
  CleanResult result{engine.RunTickedSteps(false).notes, engine.Record().Total().StayedCount() > 0};
  if (!options.preview &&
      !RunLogFile(RunLogPath(folders))
           .Append(LogEntry(LocalTimestamp(), "command line", engine.Record().Items())))
    err << "larkspur: the run could not be written to the log\n";
  return result;
}

}  // namespace

int RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err,
                   const OpenWindow& open_window) {
  Options options;
  if (auto error = Parse(argc, argv, options)) {
    err << "larkspur: " << *error << '\n';
    return kUsageError;
  }
  if (options.help) {
    PrintHelp(out);
    return 0;
  }
  if (options.version) {
    out << "larkspur " << ProgramVersion() << '\n';
    return 0;
  }
  if (options.list_items) {
    PrintItems(out);
    return 0;
  }
  if (options.items.empty() && !open_window) {
    err << "larkspur: nothing to do; this build has no window, use --clean (see --help)\n";
    return kUsageError;
  }
  const std::optional<UserFolders> folders = FoldersToUse(options, out, err);
  if (!folders)
    return 1;
  if (options.items.empty()) {
    out.flush();
    return open_window(*folders,
                       WindowStart{options.demo ? kDemoNotice : "", options.demo, options.tray});
  }
  const CleanResult result = Clean(options, *folders, out, err);
  out.flush();
  for (const std::string& note : result.notes)
    err << "larkspur: " << ConsoleLine(note) << '\n';
  // A closed pipe or a full disk stops the printing, never the deleting.
  if (!out)
    return kOutputLost;
  return result.anything_stayed && !options.preview ? kSomethingStayed : 0;
}

}  // namespace larkspur
