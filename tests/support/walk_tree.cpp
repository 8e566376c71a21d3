#include "support/walk_tree.h"

#include <memory>
#include <random>

#include "changes/change_list.h"
#include "directory/names.h"
#include "platform/file_finder.h"
#include "scan/ini_scanner.h"
#include "scan/shortcut_scanner.h"
#include "support/file_scan_setup.h"
#include "support/recording_view.h"
#include "support/reference_walk.h"

namespace zeb::testing {
namespace {

// Texts both modes find something in: the search text OLDSRV, and tree paths through the
// sample directory's aliases (Bob.Sales.Acme, SYS.Unit.Org).
const char kIni[] =
    "[Servers]\r\nPath=\\\\OLDSRV\\data\r\nOLDSRV_Backup=\\\\oldsrv\\backup\r\n"
    "[Mail]\r\nOwner=\\\\ACME_TREE\\.Bob.Sales.Acme\r\n\\\\ACME_TREE\\.Bob.Sales.Acme=x\r\n";
const char kTarget[] = "\\\\ACME_TREE\\Org\\Unit\\SYS\\APPS\\OLDSRV.EXE";
const char kDirectory[] = "\\\\ACME_TREE\\Org\\Unit\\SYS\\APPS";

class Builder {
 public:
  Builder(const TreeMaker& maker, const std::string& root) : maker_(maker), root_(root) {}

  void Folder(const std::string& relative, std::uint32_t attributes = 0) {
    maker_.makeFolder(Path(relative), attributes);
  }
  void Ini(const std::string& relative, std::uint32_t attributes = 0) {
    // Each file names itself, so that every finding tells where it came from.
    maker_.writeFile(Path(relative), std::string(kIni) + "[Self]\r\nName=OLDSRV " + relative + "\r\n",
                     attributes);
  }
  void Plain(const std::string& relative) { maker_.writeFile(Path(relative), "plain\r\n", 0); }
  void Shortcut(const std::string& relative, std::uint32_t attributes = 0) {
    const std::string path = Path(relative);
    const std::unique_ptr<ShellLink> link = maker_.shellLinks.Create();
    if (!link || !link->SetPath(kTarget) || !link->SetWorkingDirectory(kDirectory) ||
        !link->SetArguments("/OLDSRV " + relative) || !link->Save(path))
      throw std::runtime_error("cannot make the shortcut " + path);
    // The shortcut object saves plain files; the attributes come with a rewrite.
    if (attributes) maker_.writeFile(path, maker_.readFile(path), attributes);
  }

 private:
  std::string Path(const std::string& relative) const { return root_ + "\\" + relative; }

  const TreeMaker& maker_;
  std::string root_;
};

std::string DeepFolder() {
  std::string path = "deep";
  for (int level = 1; level < 24; ++level) path += "\\level" + std::to_string(level);
  return path;
}

}  // namespace

void MakeWalkTree(const TreeMaker& maker, const std::string& root, unsigned seed,
                  int randomFolders) {
  Builder tree(maker, root);
  tree.Folder("");
  tree.Ini("A.INI");
  tree.Ini("HIDDEN.INI", fileattr::kHidden);
  tree.Ini("SYSRO.INI", fileattr::kSystem | fileattr::kReadOnly);
  tree.Ini("old.inix");              // its 8.3 alias ends in ".INI"
  tree.Ini("verylongname.iniold");   // likewise
  tree.Ini(".dotted.ini");           // a file is scanned whatever its name begins with
  tree.Ini("e.ini.txt");             // neither name ends in ".INI"
  tree.Plain("README.TXT");
  tree.Shortcut("A.lnk");
  tree.Shortcut("Hidden.lnk", fileattr::kHidden);
  tree.Shortcut("System.lnk", fileattr::kSystem);
  tree.Shortcut("c.lnkx");           // its alias ends in ".LNK"
  maker.writeFile(root + "\\junk.lnk", "no shortcut\r\n", 0);
  tree.Folder("Folder.INI");         // a folder matching the pattern is entered, not read
  tree.Ini("Folder.INI\\IN.INI");
  tree.Folder("Folder.lnk");
  tree.Shortcut("Folder.lnk\\In.lnk");
  tree.Folder("hidden", fileattr::kHidden);
  tree.Ini("hidden\\H.INI");
  tree.Shortcut("hidden\\H.lnk");
  tree.Folder("system", fileattr::kSystem);
  tree.Ini("system\\S.INI");
  tree.Shortcut("system\\S.lnk");
  tree.Folder(".dotfolder");
  tree.Ini(".dotfolder\\D.INI");
  tree.Shortcut(".dotfolder\\D.lnk");
  tree.Folder("empty");
  tree.Folder("empty2\\empty3");
  tree.Ini(DeepFolder() + "\\DEEP.INI");
  tree.Shortcut(DeepFolder() + "\\Deep.lnk");
  tree.Ini("deep\\level1\\MID.INI");

  // Random folders below the fixed ones and below each other, each with a few files of
  // every kind; names that sort in varied places among their neighbours.
  std::mt19937 random(seed);
  std::vector<std::string> folders = {"", "deep", "deep\\level1", "empty2"};
  const char* const stems[] = {"b", "Z", "m_", "0x", "~t", "Long name with spaces", "x.y"};
  for (int i = 0; i < randomFolders; ++i) {
    const std::string& parent = folders[random() % folders.size()];
    std::string name = stems[random() % std::size(stems)] + std::to_string(i);
    const std::string folder = parent.empty() ? name : parent + "\\" + name;
    const unsigned kind = random() % 8;
    tree.Folder(folder, kind == 0 ? fileattr::kHidden : kind == 1 ? fileattr::kSystem : 0);
    folders.push_back(folder);
    const unsigned files = random() % 5;
    for (unsigned f = 0; f < files; ++f) {
      const std::string stem = folder + "\\" + stems[random() % std::size(stems)] + std::to_string(f);
      switch (random() % 6) {
        case 0: tree.Ini(stem + ".ini"); break;
        case 1: tree.Ini(stem + ".INI", fileattr::kHidden); break;
        case 2: tree.Shortcut(stem + ".lnk"); break;
        case 3: tree.Shortcut(stem + ".LNK", fileattr::kHidden); break;
        case 4: tree.Ini(stem + "longer.inixyz"); break;
        default: tree.Plain(stem + ".txt"); break;
      }
    }
  }
}

std::vector<std::string> WalkTreeReached(const std::string& root) {
  std::vector<std::string> paths;
  for (const char* relative : {"A.INI", "HIDDEN.INI", "SYSRO.INI", "old.inix",
                               "verylongname.iniold", ".dotted.ini", "A.lnk", "Hidden.lnk",
                               "System.lnk", "c.lnkx", "Folder.INI\\IN.INI", "Folder.lnk\\In.lnk",
                               "deep\\level1\\MID.INI"})
    paths.push_back(root + "\\" + relative);
  paths.push_back(root + "\\" + DeepFolder() + "\\DEEP.INI");
  paths.push_back(root + "\\" + DeepFolder() + "\\Deep.lnk");
  return paths;
}

std::vector<std::string> WalkTreeNotReached(const std::string& root) {
  std::vector<std::string> paths;
  for (const char* relative : {"e.ini.txt", "junk.lnk", "Folder.INI", "Folder.lnk",
                               "hidden\\H.INI", "hidden\\H.lnk", "system\\S.INI", "system\\S.lnk",
                               ".dotfolder\\D.INI", ".dotfolder\\D.lnk"})
    paths.push_back(root + "\\" + relative);
  return paths;
}

namespace {

// One scan run's worth of state around a walk: a recording view, the sample directory.
struct WalkRun {
  explicit WalkRun(Workstation& workstation, ProgramMode mode)
      : changes(view, view, flags),
        names(directory, directory.context, "ACME_TREE", view),
        shellLink(workstation.shellLinks.Create()),
        context{workstation, names, changes, view, flags, mode,
                mode == ProgramMode::kSearchAndReplace ? "OLDSRV" : "",
                mode == ProgramMode::kSearchAndReplace ? "NEWSRV" : "", std::string(),
                shellLink.get()} {
    flags.promptUser = true;
    flags.shortcutsTicked = true;
  }

  WalkOutcome Outcome() const {
    WalkOutcome outcome;
    for (const ChangeRec& change : changes)
      outcome.changes.push_back(std::to_string(change.kind) + " " +
                                std::to_string(change.subType) + " " + change.location + " | " +
                                change.oldText + " | " + change.newText);
    for (const RecordingView::Line& line : view.lines)
      outcome.lines.push_back((line.ticked ? "1 " : "0 ") + line.text);
    for (const auto& status : view.statusHistory)
      if (status.first == StatusLine::kMain1 || status.first == StatusLine::kMain2 ||
          status.first == StatusLine::kMain4)
        outcome.detailStatus.push_back(status);
    return outcome;
  }

  RecordingView view;
  RunFlags flags;
  SampleDirectory directory;
  ChangeList changes;
  DirectoryNames names;
  std::unique_ptr<ShellLink> shellLink;
  ScanContext context;
};

}  // namespace

WalkOutcome RunIniWalk(Workstation& workstation, WalkKind walk, ProgramMode mode,
                       const std::string& root) {
  WalkRun run(workstation, mode);
  if (walk == WalkKind::kReference)
    ReferenceScanIniFiles(run.context, root);
  else
    ScanIniFiles(run.context, root);
  return run.Outcome();
}

WalkOutcome RunShortcutWalk(Workstation& workstation, WalkKind walk, ProgramMode mode,
                            const std::string& root) {
  WalkRun run(workstation, mode);
  if (walk == WalkKind::kReference)
    ReferenceShortcutScan(run.context, "DESKTOP", root);
  else
    ShortcutScan(run.context, "DESKTOP", root);
  return run.Outcome();
}

}  // namespace zeb::testing
